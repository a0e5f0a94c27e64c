#ifndef CANVASEDITOR_H
#define CANVASEDITOR_H

#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

#include "Angle.h"
#include "CanvasPolicy.h"
#include "CanvasView.h"
#include "EditHistory.h"
#include "FractionBox.h"
#include "Line.h"
#include "NotifyCode.h"
#include "Subject.h"
#include "arcShape.h"
#include "baseShape.h"
#include "circleShape.h"
#include "pointShape.h"
#include "regionShape.h"

// The image canvas without its widget: view, drawing tools, selection,
// editing, copy and paste, and the editing history, driven by pointer, wheel
// and key events in window coordinates. It tells its observers of every change
// by a notify code. The widget that hosts it supplies the picture's size, the
// window size of each frame, and redraws when asked.
//
// The canvas owns the shapes of its shape list and those undo took off it.
// Every other list it keeps (selection, history, copied region, shapes being
// drawn) only points into those shapes or into a region's inner points or an
// angle's points (the history alone into shapes taken off); whenever the
// shape list is replaced or a shape discarded, references to shapes that
// left both are dropped by identity, so none is ever followed after its shape
// was freed elsewhere.
//
// Observers may replace the shape list from inside notify: the handlers look
// at the list and the shapes being drawn again after every notification.
class CanvasEditor : public Subject {
 public:
  enum class WheelDirection { Up, Down, Other };

  explicit CanvasEditor(const CanvasPolicy& policy);
  // Frees only the shapes undo took off the list, which nobody else holds:
  // the shapes of the list outlive the canvas when others still hold the list
  // (polygonsClear frees them).
  virtual ~CanvasEditor();
  CanvasEditor(const CanvasEditor&) = delete;
  CanvasEditor& operator=(const CanvasEditor&) = delete;

  // Picture and window.
  // Forgets every shape of the old picture and shows one of the given size,
  // fitted to the window; notifies ViewChanged, then ImageLoaded.
  void showNewPicture(int width, int height);
  bool hasPicture() const { return view.hasPicture(); }
  const CanvasView& getView() const { return view; }
  int getImgWidth() const { return view.getImgWidth(); }
  int getImgHeight() const { return view.getImgHeight(); }
  void setImgWidth(int width) { view.setImgWidth(width); }
  void setImgHeight(int height) { view.setImgHeight(height); }
  int getWinWidth() const { return view.getWinWidth(); }
  int getWinHeight() const { return view.getWinHeight(); }
  void setWinWidth(int width) { view.setWinWidth(width); }
  void setWinHeight(int height) { view.setWinHeight(height); }
  // The widget's allocated size, read by zoom, pan and setCenter.
  void setAllocation(int width, int height);
  // Before painting a frame of the given window size: refits the picture in
  // fit mode, then computes the offsets and the part of the window covered.
  void prepareFrame(int width, int height);

  // View.
  // Fit mode on, ViewChanged.
  void set_image_from_file();
  // Fit mode on; the next frame fits the picture to the window.
  void fit();
  // Fits now; the overview box becomes the whole picture; ViewChanged.
  void fitImage(int winWidth, int winHeight, int imgWidth, int imgHeight);
  // One-to-one scale, centred; ViewChanged.
  void reset();
  // Centres the view on image fractions (x, y); ViewChanged.
  void setFocus(double focusX, double focusY);
  // Makes the last pointer position the centre.
  void setCenter();
  // The overview's box moved: shows the part between the given fractions at
  // the same scale. No notification.
  void setRectangleView(double left, double top, double right, double bottom);

  // Events, in window pixels. Each returns whether the event was consumed.
  bool pressButton(unsigned button, double x, double y);
  bool movePointer(double x, double y);
  bool releaseButton(unsigned button, double x, double y);
  bool scroll(WheelDirection direction, double deltaY, double x, double y);
  // False when the key is left to the widget's default handling (Delete is
  // acted on and then left to it too). `state` holds GDK modifier bits.
  bool pressKey(unsigned keyval, unsigned state);
  bool releaseKey(unsigned keyval);

  // Tools. At most one is meant to be on; several run in a fixed order.
  void setButtonCircles(bool on) { buttonCircles = on; }
  void setButtonSelect(bool on) { buttonSelect = on; }
  void setButtonSelectRectangle(bool on) { buttonSelectRectangle = on; }
  void setButtonPoint(bool on) { buttonPoint = on; }
  void setButtonAngle(bool on) { buttonAngle = on; }
  void setButtonArc(bool on) { buttonArc = on; }
  void setButtonRule(bool on) { buttonRule = on; }
  // Whether the line tool is on.
  bool isMeasuring() const { return buttonRule; }
  // Both also finish the region their tool has open, whatever the value.
  void setButtonFreeHand(bool on);
  void setButtonPointDraw(bool on);
  // With the select tool, a left drag moves the selection as a whole, cut
  // where the first of its shapes meets the edge of where it may be: a move
  // never changes a shape's form.
  void setMoveObjects(bool on) { buttonMove = on; }
  void setPointsInRegion(bool on) { pointsInRegion = on; }
  void setPointsOutRegion(bool on) { pointsOutRegion = on; }
  // Smallest width and height, image pixels, of a region drawn by hand.
  void setMinimumRegionSize(int pixels) { minimunSizeFreeHand = pixels; }
  // Every tool off, shapes being drawn and the selection box dropped, the
  // selection emptied (flags kept), undo refused until the next deletion, fit
  // mode on; ViewChanged.
  void restoreButtons();
  // The same with the view kept as it is and moving the selection on.
  void restoreButtonsWithoutZoom();
  // Whether the last pointer position lies strictly inside the picture; also
  // stores that position in image fractions.
  bool canDraw();
  // Closes the region the point-by-point tool has open, or discards it when
  // too small.
  void finishPointDraw();
  // Closes the region the free-hand tool has open, or discards it when too
  // small.
  void finishFreeHandDraw();
  // Ends the angle being placed; one with fewer than three points is
  // discarded.
  void finishAngleDraw();

  // Shapes, selection and history.
  std::vector<baseShape*>& getPolygonsNew() { return polygonsNew; }
  const std::vector<baseShape*>& getPolygonsModelSelected() const { return polygonsModelSelected; }
  // Replaces the selection, which holds each item once; the shapes' selected
  // flags are not touched.
  void setPolygonsModelSelected(const std::vector<baseShape*>& selection);
  // Empties the selection; the shapes' selected flags are not touched.
  void resetPolygonsModelSelected() { polygonsModelSelected.clear(); }
  // Takes the caller's list as the shape list. Frees nothing: the caller owns
  // the shapes it left out, and every reference to them is dropped here. The
  // shapes undo took off stay the canvas's, unless the list holds them again.
  // Shapes new to the list are additions of the history (see undo), unless
  // a region tool hands them in. A shape or inner point new to the canvas
  // whose id another already has takes a new one (ShapeIds::makeUnique), and
  // the next id drawn lies above them all. Notifies nothing: the caller
  // refreshes what shows the shapes.
  void setPolygonsModel(std::vector<baseShape*> poligons);
  // Frees every shape of the list, empties it and clears the editing state;
  // ids start again at 1. Notifies ShapesDeleted when the list held shapes.
  void polygonsClear();
  // Empties the selection (flags untouched), both history lists, the copied
  // region and every shape being drawn, without following any pointer: for
  // callers about to free shapes of the list themselves.
  void clearEditingState();
  // Empties the selection and clears its items' selected flags, unless the
  // line or arc tool is on.
  void unSelect();
  // Undo takes back the newest step of the history: a region tool's
  // replacement whenever it is the newest, a deletion as the policy says,
  // and in Cavitra a shape put on the list (drawn, pasted or handed in by
  // setPolygonsModel) while it is shown. With no such step, Cavitra's undo
  // takes the last shape shown off the list, or takes back the replacement
  // that made it. Redo does again what the undos took back, latest first.
  // Both announce what came back (ShapeAdded) or went (ShapesDeleted).
  void undo();
  void redo();
  // Hides and marks deleted the given items that are shapes of the list or
  // inner points of its regions, recording each for undo; the others only
  // lose their selected mark. Empties the selection and announces
  // ShapesDeleted. The Delete key deletes the selection through it.
  void deleteItems(const std::vector<baseShape*>& items);
  // Runs a region tool that may replace `sources` by new shapes and records
  // its work as one step of the history. `tool` puts its new shapes (maybe
  // none) on the list and returns them, or returns nothing when it changed
  // nothing.
  using RegionTool = std::function<std::optional<std::vector<baseShape*>>()>;
  void replaceShapes(const std::vector<baseShape*>& sources, const RegionTool& tool);
  // Forgets the given shapes in the history, so that undo and redo never
  // bring back or hide again a shape a tool without undo has withdrawn.
  void forgetHistoryOf(const std::vector<baseShape*>& withdrawn);
  // The next shape drawn takes `id`, or the first id above every shape and
  // inner point the canvas holds (those undo took off included) when that is
  // larger: no two of its shapes share an id.
  void setIdDraw(int id);
  int getIdDraw() const { return idDraw; }
  const EditHistory& getHistory() const { return history; }
  // The shapes undo took off the list, in the order taken; the canvas owns
  // them until redo puts them back or a clear frees them.
  const std::vector<baseShape*>& getTakenOff() const { return takenOff; }
  const regionShape* getCopiedRegion() const { return freeHandPaste; }
  // The selection box being dragged, in image fractions.
  const std::optional<FractionBox>& getSelectionBox() const { return selectionBox; }

 protected:
  // Hooks for the hosting widget.
  virtual void requestRedraw() {}
  // The overview's box of the visible part changed; called before the
  // ViewChanged it belongs to.
  virtual void viewBoxChanged(const FractionBox& /*box*/) {}

 private:
  // The class given to new points, circles, free-hand regions and angle
  // points.
  static constexpr int clase = 0;

  void pressLeft(double x, double y);
  void pressRight(double x, double y);
  void releaseLeft();
  void releaseRight(double x, double y);
  void runDrawingTools();
  void placePoint();
  void selectAt();
  // Selects the angle's point under (x, y), image pixels, or else the angle
  // when it holds that point; false when neither does.
  bool selectAngleAt(Angle* found, double x, double y);
  // Selects the region's first visible inner point under (x, y) not yet
  // selected, or else the region itself, announcing it.
  void selectRegionAt(regionShape* region, double x, double y);
  void selectInBox(const FractionBox& box);
  // Marks the item selected and adds it to the selection.
  void select(baseShape* item);
  void addToSelection(baseShape* item);
  void moveSelection(int x, int y);
  void copySelection();
  void paste();
  // Sends ViewChanged with the view's box when a view operation did anything.
  void announceView(bool changed);
  // Redraws and tells observers that shapes came back (ShapeAdded) or went
  // (ShapesDeleted).
  void announceEdit(NotifyCode code);
  void restoreTools(bool fitting);
  // The position of the pointer (x, y) in image fractions, kept inside the
  // picture, for strokes and measuring lines that leave it.
  void followStroke(int x, int y);
  void appendShape(baseShape* shape);
  // Records a shape put on the list as a step of the history, where the
  // policy lets undo take shapes off the list.
  void recordAddition(baseShape* shape);
  void finishRegion(regionShape*& open);
  // Takes a shape made by a tool off the list, drops every reference to it
  // and its parts, gives its id back when it took the last one, and frees it.
  void discardShape(baseShape* shape);
  // Drops every reference to the items for which `isGone` holds: those of
  // the tools (selection, copied region, shapes being drawn) and the steps
  // of the history.
  void dropReferences(const std::function<bool(const baseShape*)>& isGone);
  void dropToolReferences(const std::function<bool(const baseShape*)>& isGone);
  // The shapes of the list and those undo took off.
  std::vector<baseShape*> heldShapes() const;
  // Gives the shapes of the list not in `heldBefore`, and their inner points,
  // ids no other item has, and sets the next id above all.
  void numberNewcomers(const std::unordered_set<const baseShape*>& heldBefore);
  // Cavitra's undo with no step to take back.
  void takeLastShownShapeOff();
  // Moves a shape of the list to those undo took off.
  void takeOff(baseShape* shape);
  // Leaves every tool with nothing open and no selection box dragged,
  // without touching the shapes: they stay on the list, or the caller frees
  // them.
  void dropShapesInProgress();
  // Calls `visit` on each tool's pointer to the shape it has open: the one
  // list of them, so that no tool is missed when they are dropped.
  template <class Visit>
  void forEachShapeInProgress(Visit visit) {
    visit(circle);
    visit(line);
    visit(arcNew);
    visit(freeHandRegion);
    visit(pointDrawRegion);
    visit(angle);
  }

  CanvasView view;
  EditHistory history;
  const CanvasPolicy policy;
  std::vector<baseShape*> takenOff;
  int allocatedWidth = 0;
  int allocatedHeight = 0;
  int lastXMouse = 0;
  int lastYMouse = 0;
  double positionX = 0;
  double positionY = 0;

  bool rightButtonPressed = false;
  bool rightClick = true;  // no motion yet with the right button held
  bool leftButtonPressed = false;
  bool controlPressed = false;
  bool buttonCircles = false;
  bool buttonPointDraw = false;
  bool buttonFreeHand = false;
  bool buttonSelect = false;
  bool buttonMove = false;
  bool buttonSelectRectangle = false;
  bool buttonPoint = false;
  bool buttonRule = false;
  bool buttonAngle = false;
  bool buttonArc = false;
  bool pointsInRegion = true;
  bool pointsOutRegion = true;
  int idDraw = 1;
  int minimunSizeFreeHand = 100;
  bool replacing = false;  // a region tool of replaceShapes is running

  std::vector<baseShape*> polygonsNew;
  std::vector<baseShape*> polygonsModelSelected;

  // Shapes being drawn: each points at the shape its tool opened and is null
  // when that tool has nothing open.
  circleShape* circle = nullptr;
  Line* line = nullptr;
  arcShape* arcNew = nullptr;
  regionShape* freeHandRegion = nullptr;
  regionShape* pointDrawRegion = nullptr;
  Angle* angle = nullptr;
  std::optional<FractionBox> selectionBox;
  // The copied region, pasted once.
  regionShape* freeHandPaste = nullptr;
};

#endif
