#include "CanvasEditor.h"

#include <gdk/gdk.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <iterator>
#include <unordered_set>
#include <utility>

#include "NotifyCode.h"
#include "PictureReach.h"
#include "ShapeIds.h"
#include "ShapeReplacement.h"

namespace {

using ShapeSet = std::unordered_set<const baseShape*>;

// Every item a reference of the canvas may point at while `shapes` is the
// shape list: the shapes, the inner points of its regions and the points of
// its angles.
ShapeSet reachableItems(const std::vector<baseShape*>& shapes) {
  ShapeSet items(shapes.begin(), shapes.end());
  for (baseShape* shape : shapes) {
    if (auto* region = dynamic_cast<regionShape*>(shape)) {
      for (baseShape* inner : region->getPoints()) items.insert(inner);
    } else if (auto* angle = dynamic_cast<Angle*>(shape)) {
      items.insert({angle->getp1(), angle->getVertex(), angle->getp3()});
    }
  }
  return items;
}

template <typename Shape>
void forgetIfGone(Shape*& pointer, const std::function<bool(const baseShape*)>& isGone) {
  if (pointer != nullptr && isGone(pointer)) pointer = nullptr;
}

}  // namespace

CanvasEditor::CanvasEditor(const CanvasPolicy& policy)
    : view(policy), policy(policy) {}

CanvasEditor::~CanvasEditor() {
  for (const baseShape* shape : takenOff) delete shape;
}

// ---------------------------------------------------------------- picture

void CanvasEditor::showNewPicture(int width, int height) {
  polygonsClear();
  view.setImgWidth(width);
  view.setImgHeight(height);
  requestRedraw();
  set_image_from_file();
  viewBoxChanged({0, 0, 1, 1});
  notify(ImageLoaded);
}

void CanvasEditor::setAllocation(int width, int height) {
  allocatedWidth = width;
  allocatedHeight = height;
}

void CanvasEditor::prepareFrame(int width, int height) {
  view.setWinWidth(width);
  view.setWinHeight(height);
  if (view.isFitting()) fitImage(width, height, view.getImgWidth(), view.getImgHeight());
  view.prepareFrame(width, height);
}

// ---------------------------------------------------------------- view

void CanvasEditor::announceView(bool changed) {
  if (!changed) return;
  requestRedraw();
  viewBoxChanged(view.getViewBox());
  notify(ViewChanged);
}

void CanvasEditor::set_image_from_file() {
  fit();
  notify(ViewChanged);
}

void CanvasEditor::fit() {
  view.setFitting(true);
  requestRedraw();
}

void CanvasEditor::fitImage(int winWidth, int winHeight, int imgWidth, int imgHeight) {
  announceView(view.fitImage(winWidth, winHeight, imgWidth, imgHeight));
}

void CanvasEditor::reset() { announceView(view.reset()); }

void CanvasEditor::setFocus(double focusX, double focusY) { announceView(view.setFocus(focusX, focusY)); }

void CanvasEditor::setCenter() {
  if (view.setCenter(lastXMouse, lastYMouse, allocatedWidth, allocatedHeight)) requestRedraw();
}

void CanvasEditor::setRectangleView(double left, double top, double right, double bottom) {
  if (view.setRectangleView(left, top, right, bottom)) requestRedraw();
}

bool CanvasEditor::scroll(WheelDirection direction, double deltaY, double x, double y) {
  double step = deltaY / 20;
  if (direction == WheelDirection::Up) step = -1.0 / 20;
  if (direction == WheelDirection::Down) step = 1.0 / 20;
  announceView(view.zoom(step, x, y, allocatedWidth, allocatedHeight));
  return true;
}

// ---------------------------------------------------------------- pointer

bool CanvasEditor::pressButton(unsigned button, double x, double y) {
  switch (button) {
    case 1:
      pressLeft(x, y);
      return true;
    case 2:
      if (buttonPointDraw) finishPointDraw();
      if (buttonAngle) finishAngleDraw();
      return false;
    case 3:
      pressRight(x, y);
      return true;
    default:
      return false;
  }
}

void CanvasEditor::pressRight(double x, double y) {
  rightButtonPressed = true;
  rightClick = true;
  lastXMouse = static_cast<int>(x);
  lastYMouse = static_cast<int>(y);
}

void CanvasEditor::pressLeft(double x, double y) {
  if (!controlPressed) unSelect();
  lastXMouse = static_cast<int>(x);
  lastYMouse = static_cast<int>(y);
  view.updateOffsets();
  if (canDraw()) runDrawingTools();
  if (buttonSelect) selectAt();
  leftButtonPressed = true;
  requestRedraw();
}

bool CanvasEditor::canDraw() {
  if (!view.hasPicture()) return false;
  positionX = view.toFractionX(lastXMouse);
  positionY = view.toFractionY(lastYMouse);
  return 0 < positionX && positionX < 1 && 0 < positionY && positionY < 1;
}

void CanvasEditor::appendShape(baseShape* shape) {
  polygonsNew.push_back(shape);
  recordAddition(shape);
}

void CanvasEditor::recordAddition(baseShape* shape) {
  if (policy.undoTakesLastShape && !replacing) history.recordAddition(shape);
}

void CanvasEditor::runDrawingTools() {
  if (buttonSelectRectangle) {
    if (policy.selectionBoxFits) fit();
    selectionBox = FractionBox{positionX, positionY, positionX, positionY};
  }
  if (buttonPointDraw) {
    if (pointDrawRegion == nullptr) {
      pointDrawRegion = new regionShape(idDraw++, true, false, false, true, 0, 0, 0);
      appendShape(pointDrawRegion);
    }
    pointDrawRegion->addLinePoint(positionX, positionY);
    requestRedraw();
  }
  if (buttonCircles) {
    circle = new circleShape(0.0, positionX, positionY, idDraw++, true, false, false, true, 0, clase, 0);
    appendShape(circle);
  }
  if (buttonFreeHand) {
    freeHandRegion = new regionShape(idDraw++, true, false, false, true, 0, clase, 0);
    freeHandRegion->addLinePoint(positionX, positionY);
    appendShape(freeHandRegion);
  }
  if (buttonArc) {
    arcNew = new arcShape(idDraw++, true, false, false, true, 0, 0, 0);
    arcNew->addLinePoint(positionX, positionY);
    appendShape(arcNew);
  }
  if (buttonPoint) placePoint();
  if (buttonRule) {
    line = new Line(positionX, positionY, positionX, positionY, idDraw++, true, false, false, true, 0, 0, 0);
    appendShape(line);
  }
  if (buttonAngle) {
    if (angle == nullptr) {
      auto makePoint = [this](int id) {
        return new pointShape(positionX, positionY, id, true, false, false, true, 0, clase, 0);
      };
      angle = new Angle(makePoint(idDraw), makePoint(idDraw + 1), makePoint(idDraw + 2), idDraw + 3, true, false,
                        false, true, 0, 0, 0);
      idDraw += 4;
      appendShape(angle);
    }
    angle->addPoint(positionX, positionY, 0);
    requestRedraw();
  }
}

// A new point joins the first visible region that holds it, or stands alone
// when it lies in none; the two switches can refuse either, and a point
// placed nowhere is freed (its id stays used).
void CanvasEditor::placePoint() {
  auto* point = new pointShape(positionX, positionY, idDraw++, true, false, false, true, 0, clase, 0);
  bool insideRegion = false;
  for (baseShape* shape : polygonsNew) {
    auto* region = dynamic_cast<regionShape*>(shape);
    if (region == nullptr || !region->getVisible() || !region->insideAbsoluteCoordinates(positionX, positionY))
      continue;
    insideRegion = true;
    if (pointsInRegion) {
      region->addPoint(point);
      notify(ShapeAdded);
      return;
    }
  }
  if (pointsOutRegion && !insideRegion) {
    appendShape(point);
    notify(ShapeAdded);
    return;
  }
  delete point;
}

bool CanvasEditor::movePointer(double x, double y) {
  const int px = static_cast<int>(x);
  const int py = static_cast<int>(y);
  if (rightButtonPressed) {
    rightClick = false;
    const bool moved = view.pan(px, py, lastXMouse, lastYMouse, allocatedWidth, allocatedHeight);
    lastXMouse = px;
    lastYMouse = py;
    announceView(moved);
    return true;
  }
  if (circle != nullptr && leftButtonPressed && canDraw()) {
    const double scale = view.getScale();
    const double radiusX = std::fabs(std::trunc((px - lastXMouse) / scale));
    const double radiusY = std::fabs(std::trunc((py - lastYMouse) / scale));
    // At a small scale a short drag spans many picture sizes: the radius
    // stays within what an annotation file may hold.
    const PictureReach reach(getImgWidth(), getImgHeight());
    circle->setRadius(std::min(std::max(radiusX, radiusY), reach.largestRadius()));
    requestRedraw();
    return true;
  }
  if (selectionBox && leftButtonPressed && canDraw()) {
    lastXMouse = px;
    lastYMouse = py;
    view.updateOffsets();
    canDraw();
    selectionBox->x1 = positionX;
    selectionBox->y1 = positionY;
    requestRedraw();
    return true;
  }
  if (buttonRule && leftButtonPressed && canDraw() && !polygonsNew.empty()) {
    lastXMouse = px;
    lastYMouse = py;
    view.updateOffsets();
    // The end stays on the picture, as a stroke's points do.
    followStroke(px, py);
    if (line != nullptr) line->setCoordinates(positionX, positionY);
    requestRedraw();
    return true;
  }
  if (buttonFreeHand && leftButtonPressed && canDraw()) {
    followStroke(px, py);
    if (freeHandRegion != nullptr) freeHandRegion->addLinePoint(positionX, positionY);
    requestRedraw();
    return true;
  }
  if (buttonArc && leftButtonPressed && canDraw() && !polygonsNew.empty()) {
    followStroke(px, py);
    if (arcNew != nullptr) arcNew->addLinePoint(positionX, positionY);
    requestRedraw();
    return true;
  }
  if (buttonSelect && leftButtonPressed && buttonMove && view.hasPicture()) {
    moveSelection(px, py);
    return true;
  }
  return false;
}

void CanvasEditor::followStroke(int x, int y) {
  auto keepInside = [](double fraction) {
    if (fraction < 0) return 0.001;
    if (fraction > 1.0) return 0.999;
    return fraction;
  };
  positionX = keepInside(view.toFractionX(x));
  positionY = keepInside(view.toFractionY(y));
}

bool CanvasEditor::releaseButton(unsigned button, double x, double y) {
  if (button == 1) {
    releaseLeft();
    return false;
  }
  if (button == 3) {
    releaseRight(x, y);
    return true;
  }
  return false;
}

void CanvasEditor::releaseRight(double x, double y) {
  rightButtonPressed = false;
  if (!rightClick) view.shiftFocus(lastXMouse - x, lastYMouse - y);
  requestRedraw();
}

// Observers may replace the shape list inside each notification; the shapes
// being drawn are then dropped if they left it, so each step reads them anew.
void CanvasEditor::releaseLeft() {
  if (!polygonsNew.empty()) {
    if (buttonRule) notify(LineFinished);
    if (buttonFreeHand && freeHandRegion != nullptr) {
      finishFreeHandDraw();
      notify(ShapeAdded);
    }
    if (buttonArc && arcNew != nullptr) {
      requestRedraw();
      notify(ArcFinished);
    }
    if (buttonCircles && circle != nullptr) {
      if (circle->getRadius() < 1.0) {
        discardShape(circle);
      } else {
        notify(ShapeAdded);
      }
    }
  }
  line = nullptr;
  arcNew = nullptr;
  circle = nullptr;
  if (selectionBox) {
    const FractionBox box = *selectionBox;
    selectionBox.reset();
    selectInBox(box);
  }
  leftButtonPressed = false;
  requestRedraw();
}

// ---------------------------------------------------------------- finishing shapes

void CanvasEditor::setButtonFreeHand(bool on) {
  buttonFreeHand = on;
  finishFreeHandDraw();
}

void CanvasEditor::setButtonPointDraw(bool on) {
  buttonPointDraw = on;
  finishPointDraw();
}

void CanvasEditor::finishFreeHandDraw() { finishRegion(freeHandRegion); }

void CanvasEditor::finishPointDraw() { finishRegion(pointDrawRegion); }

// A region drawn by hand is kept, closed by a copy of its first vertex, when
// it has more than two vertices and is wider and taller than the minimum.
void CanvasEditor::finishRegion(regionShape*& open) {
  regionShape* region = open;
  open = nullptr;
  if (region != nullptr) {
    pointShape max = region->getMax();
    pointShape min = region->getMin();
    const double width = std::fabs(max.getX() * getImgWidth() - min.getX() * getImgWidth());
    const double height = std::fabs(max.getY() * getImgHeight() - min.getY() * getImgHeight());
    std::vector<pointShape*>& outline = region->getLinePoints();
    if (outline.size() > 2 && width > minimunSizeFreeHand && height > minimunSizeFreeHand) {
      region->addLinePoint(outline.front()->getX(), outline.front()->getY());
    } else {
      discardShape(region);
    }
  }
  requestRedraw();
}

void CanvasEditor::finishAngleDraw() {
  Angle* open = angle;
  angle = nullptr;
  if (open != nullptr && open->pointsUpdatedAngle() < 3) discardShape(open);
  requestRedraw();
}

void CanvasEditor::discardShape(baseShape* shape) {
  polygonsNew.erase(std::remove(polygonsNew.begin(), polygonsNew.end(), shape), polygonsNew.end());
  const ShapeSet parts = reachableItems({shape});
  dropReferences([&parts](const baseShape* item) { return parts.count(item) != 0; });
  if (shape->getId() == idDraw - 1) --idDraw;
  delete shape;
}

void CanvasEditor::restoreTools(bool fitting) {
  view.setFitting(fitting);
  rightClick = true;
  leftButtonPressed = false;
  rightButtonPressed = false;
  buttonCircles = false;
  buttonPointDraw = false;
  buttonFreeHand = false;
  buttonPoint = false;
  buttonRule = false;
  buttonAngle = false;
  buttonArc = false;
  buttonSelectRectangle = false;
  history.disarmUndo();
  dropShapesInProgress();
  polygonsModelSelected.clear();
  requestRedraw();
  notify(ViewChanged);
}

void CanvasEditor::restoreButtons() {
  buttonMove = false;
  restoreTools(true);
}

void CanvasEditor::restoreButtonsWithoutZoom() {
  buttonMove = true;
  restoreTools(false);
}

// ---------------------------------------------------------------- selection

void CanvasEditor::select(baseShape* item) {
  item->setSelected(true);
  addToSelection(item);
}

// A shape pressed again with Control, or boxed again, stays in the selection
// once: a move moves each item of it once.
void CanvasEditor::addToSelection(baseShape* item) {
  if (std::find(polygonsModelSelected.begin(), polygonsModelSelected.end(), item) == polygonsModelSelected.end())
    polygonsModelSelected.push_back(item);
}

void CanvasEditor::unSelect() {
  if (buttonRule || buttonArc) return;
  for (baseShape* item : polygonsModelSelected) item->setSelected(false);
  polygonsModelSelected.clear();
}

// The first shape of the list under the pointer is selected, or every one
// when the policy says so; within a region a visible inner point not yet
// selected comes before the region itself, and an angle's points before the
// angle. Angles are found even when hidden. The list is walked by index:
// an observer may replace it inside a notification.
void CanvasEditor::selectAt() {
  const double x = view.toImageX(lastXMouse);
  const double y = view.toImageY(lastYMouse);
  const int width = getImgWidth();
  const int height = getImgHeight();
  for (std::size_t i = 0; i < polygonsNew.size(); ++i) {
    baseShape* shape = polygonsNew[i];
    if (auto* found = dynamic_cast<Angle*>(shape)) {
      if (selectAngleAt(found, x, y) && !policy.selectsEveryShapeUnderPointer) return;
      continue;
    }
    if (!shape->getVisible() || !shape->inside(x, y, width, height)) continue;
    if (auto* region = dynamic_cast<regionShape*>(shape)) {
      selectRegionAt(region, x, y);
    } else {
      select(shape);
      if (policy.announcesSelection) notify(ShapeSelected);
    }
    if (!policy.selectsEveryShapeUnderPointer) return;
  }
}

bool CanvasEditor::selectAngleAt(Angle* found, double x, double y) {
  const int width = getImgWidth();
  const int height = getImgHeight();
  for (pointShape* point : {found->getp1(), found->getVertex(), found->getp3()}) {
    if (point->inside(x, y, width, height)) {
      select(point);
      return true;
    }
  }
  if (!found->inside(x, y, width, height)) return false;
  select(found);
  return true;
}

void CanvasEditor::selectRegionAt(regionShape* region, double x, double y) {
  const int width = getImgWidth();
  const int height = getImgHeight();
  for (baseShape* inner : region->getPoints()) {
    if (inner->getVisible() && inner->inside(x, y, width, height) && !inner->getSelected()) {
      select(inner);
      return;
    }
  }
  select(region);
  requestRedraw();
  notify(RegionSelected);
}

// The box takes free points inside it, regions wholly inside it and the
// visible inner points inside it; circles, lines, arcs and angles never.
void CanvasEditor::selectInBox(const FractionBox& box) {
  for (baseShape* shape : polygonsNew) {
    if (dynamic_cast<pointShape*>(shape) != nullptr) {
      if (box.contains(shape->getX(), shape->getY())) select(shape);
    } else if (auto* region = dynamic_cast<regionShape*>(shape)) {
      pointShape max = region->getMax();
      pointShape min = region->getMin();
      if (box.contains(max.getX(), max.getY()) && box.contains(min.getX(), min.getY())) select(region);
      for (baseShape* inner : region->getPoints()) {
        if (inner->getVisible() && box.contains(inner->getX(), inner->getY()) && !inner->getSelected())
          select(inner);
      }
    }
  }
}

// The selection moves as one: the shift is cut by every moved shape in turn,
// so that each keeps its form within where it may be (the picture, or for a
// circle's centre the reach an annotation file may hold) and all keep their
// places relative to each other, as the selection box keeps its size at the
// picture's edge.
void CanvasEditor::moveSelection(int x, int y) {
  double dx = (x - lastXMouse) / (getImgWidth() * view.getScale());
  double dy = (y - lastYMouse) / (getImgHeight() * view.getScale());
  lastXMouse = x;
  lastYMouse = y;
  for (baseShape* item : polygonsModelSelected) item->limitMove(dx, dy);
  for (baseShape* item : polygonsModelSelected) item->move(dx, dy);
  requestRedraw();
  if (policy.announcesSelection) notify(SelectionMoved);
}

void CanvasEditor::setPolygonsModelSelected(const std::vector<baseShape*>& selection) {
  polygonsModelSelected.clear();
  for (baseShape* item : selection) addToSelection(item);
  requestRedraw();
}

// ---------------------------------------------------------------- editing

bool CanvasEditor::pressKey(unsigned keyval, unsigned state) {
  switch (keyval) {
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R:
      controlPressed = true;
      return true;
    case GDK_KEY_Delete:
      deleteItems(polygonsModelSelected);
      return false;
    case GDK_KEY_h: {
      const FractionBox& visible = view.getVisibleFractions();
      std::cout << "PorcentajeX --> " << visible.x0 << "PorcentajeXfinal--> " << visible.x1 << std::endl;
      return false;
    }
    default:
      break;
  }
  const unsigned modifiers = GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK;
  if ((state & modifiers) != GDK_CONTROL_MASK) return false;
  switch (keyval) {
    case GDK_KEY_z:
    case GDK_KEY_Z:
      undo();
      return true;
    case GDK_KEY_c:
    case GDK_KEY_C:
      copySelection();
      return true;
    case GDK_KEY_v:
    case GDK_KEY_V:
      paste();
      return true;
    case GDK_KEY_y:
    case GDK_KEY_Y:
      redo();
      return true;
    default:
      return false;
  }
}

bool CanvasEditor::releaseKey(unsigned keyval) {
  if (keyval == GDK_KEY_Control_L || keyval == GDK_KEY_Control_R) {
    controlPressed = false;
    requestRedraw();
  }
  return true;
}

// Deleting hides shapes and inner points and records them for undo; nothing
// leaves its list. Items that are neither (an angle's points) just lose their
// mark. `items` may be the selection itself, which is emptied only at the end.
void CanvasEditor::deleteItems(const std::vector<baseShape*>& items) {
  const ShapeSet inList(polygonsNew.begin(), polygonsNew.end());
  ShapeSet innerPoints;
  for (baseShape* shape : polygonsNew) {
    if (auto* region = dynamic_cast<regionShape*>(shape)) {
      for (baseShape* inner : region->getPoints()) innerPoints.insert(inner);
    }
  }
  auto hide = [this](baseShape* item) {
    item->setSelected(false);
    item->setVisible(false);
    item->setDeleted(true);
    history.recordDeletion(item);
  };
  for (baseShape* item : items) {
    if (inList.count(item) != 0) hide(item);
  }
  for (baseShape* item : items) {
    if (innerPoints.count(item) != 0) {
      hide(item);
    } else {
      item->setSelected(false);
    }
  }
  polygonsModelSelected.clear();
  requestRedraw();
  notify(ShapesDeleted);
}

// Undo and redo tell observers what came back or went, so that the counts
// and the results table follow them.
void CanvasEditor::undo() {
  bool tookOff = false;
  const bool undone = history.undo([this, &tookOff](baseShape* shape) {
    takeOff(shape);
    tookOff = true;
  });
  if (!policy.undoTakesLastShape) {
    if (undone) announceEdit(ShapeAdded);
    return;
  }
  if (undone) {
    // One undo takes back one step; the next takes back a deletion only
    // after a new one.
    history.disarmUndo();
    announceEdit(tookOff ? ShapesDeleted : ShapeAdded);
    return;
  }
  takeLastShownShapeOff();
}

// A hidden shape stays: taking it off would change nothing on screen. A
// region tool's new shape goes as the tool's step, which brings its sources
// back; any other shape leaves the list.
void CanvasEditor::takeLastShownShapeOff() {
  const auto isShown = [](const baseShape* shape) { return shape->getVisible(); };
  const auto shown = std::find_if(polygonsNew.rbegin(), polygonsNew.rend(), isShown);
  if (shown == polygonsNew.rend()) return;
  baseShape* last = *shown;
  if (history.undoReplacementThatMade(last)) {
    announceEdit(ShapeAdded);
    return;
  }
  takeOff(last);
  history.recordTakenOff(last);
  announceEdit(ShapesDeleted);
}

// The shape leaves the list with its inner points, and the history keeps its
// steps, since redo may put it back.
void CanvasEditor::takeOff(baseShape* shape) {
  polygonsNew.erase(std::remove(polygonsNew.begin(), polygonsNew.end(), shape), polygonsNew.end());
  const ShapeSet parts = reachableItems({shape});
  dropToolReferences([&parts](const baseShape* item) { return parts.count(item) != 0; });
  takenOff.push_back(shape);
}

// A shape taken off comes back at the end of the list; the list never holds
// a shape twice, since a shape taken off is off the list until then.
void CanvasEditor::redo() {
  bool putBack = false;
  const bool redone = history.redo([this, &putBack](baseShape* shape) {
    takenOff.erase(std::remove(takenOff.begin(), takenOff.end(), shape), takenOff.end());
    polygonsNew.push_back(shape);
    putBack = true;
  });
  if (redone) announceEdit(putBack ? ShapeAdded : ShapesDeleted);
}

void CanvasEditor::announceEdit(NotifyCode code) {
  requestRedraw();
  notify(code);
}

// Only a region can be copied; the selection is emptied in any case.
void CanvasEditor::copySelection() {
  std::cout << "Pulsando control c " << std::endl;
  if (!polygonsModelSelected.empty()) {
    if (auto* region = dynamic_cast<regionShape*>(polygonsModelSelected.front())) {
      freeHandPaste = region;
      region->setSelected(false);
    }
    polygonsModelSelected.clear();
  }
  requestRedraw();
}

// The copy takes the copied region's outline only and lands a tenth of the
// picture toward the picture's middle. One copy allows one paste.
void CanvasEditor::paste() {
  std::cout << "Pulsando control v " << idDraw << std::endl;
  regionShape* source = freeHandPaste;
  freeHandPaste = nullptr;
  requestRedraw();
  if (source == nullptr) return;
  auto* copy = new regionShape(idDraw++, true, false, false, false, 0, 0, 0);
  for (pointShape* vertex : source->getLinePoints()) copy->addLinePoint(vertex->getX(), vertex->getY());
  appendShape(copy);
  copy->move(copy->getX() > 0.5 ? -0.1 : 0.1, copy->getY() > 0.5 ? -0.1 : 0.1);
  notify(ShapeAdded);
}

// ---------------------------------------------------------------- shape list

void CanvasEditor::setPolygonsModel(std::vector<baseShape*> poligons) {
  const ShapeSet before(polygonsNew.begin(), polygonsNew.end());
  // By address alone: the caller may have freed the shapes it leaves out.
  ShapeSet heldBefore = before;
  heldBefore.insert(takenOff.begin(), takenOff.end());
  polygonsNew = std::move(poligons);
  const ShapeSet listed = reachableItems(polygonsNew);
  const auto isListed = [&listed](const baseShape* item) { return listed.count(item) != 0; };
  // A shape undo took off that comes back with the new list is the list's
  // again, not one redo may add a second time.
  takenOff.erase(std::remove_if(takenOff.begin(), takenOff.end(), isListed), takenOff.end());
  history.forgetTakenOff(isListed);
  // The shapes still taken off are the canvas's own: the history keeps the
  // steps that involve them.
  ShapeSet kept = reachableItems(takenOff);
  kept.insert(listed.begin(), listed.end());
  dropReferences([&kept](const baseShape* item) { return kept.count(item) == 0; });
  // Shapes a use case added (found cysts, say) are the newest changes.
  for (baseShape* shape : polygonsNew)
    if (before.count(shape) == 0) recordAddition(shape);
  numberNewcomers(heldBefore);
  requestRedraw();
}

std::vector<baseShape*> CanvasEditor::heldShapes() const {
  std::vector<baseShape*> held = polygonsNew;
  held.insert(held.end(), takenOff.begin(), takenOff.end());
  return held;
}

// Shapes the canvas held before keep their ids, with their inner points,
// which only the canvas adds to a region it holds; so does a newcomer whose id
// no other item has, as the shapes of a file do. A newcomer sharing one (a
// file holding an id twice, a tool numbering from the list alone, which knows
// nothing of the shapes undo took off) takes an id above all.
void CanvasEditor::numberNewcomers(const ShapeSet& heldBefore) {
  std::vector<baseShape*> holders;
  std::vector<baseShape*> newcomers;
  for (baseShape* shape : heldShapes()) (heldBefore.count(shape) != 0 ? holders : newcomers).push_back(shape);
  idDraw = ShapeIds::makeUnique(ShapeIds::itemsOf(holders), ShapeIds::itemsOf(newcomers), idDraw);
}

void CanvasEditor::setIdDraw(int id) { idDraw = std::max(id, ShapeIds::next(heldShapes())); }

void CanvasEditor::replaceShapes(const std::vector<baseShape*>& sources, const RegionTool& tool) {
  ShapeReplacement step(sources);
  // The tool's new shapes are the replacement's, not additions of their own.
  replacing = true;
  const std::optional<std::vector<baseShape*>> added = tool();
  replacing = false;
  if (!added) return;
  step.finish(*added);
  history.recordReplacement(std::move(step));
}

void CanvasEditor::forgetHistoryOf(const std::vector<baseShape*>& withdrawn) {
  history.forget([&withdrawn](const baseShape* item) {
    return std::find(withdrawn.begin(), withdrawn.end(), item) != withdrawn.end();
  });
}

void CanvasEditor::dropReferences(const std::function<bool(const baseShape*)>& isGone) {
  dropToolReferences(isGone);
  history.forget(isGone);
}

void CanvasEditor::dropToolReferences(const std::function<bool(const baseShape*)>& isGone) {
  polygonsModelSelected.erase(
      std::remove_if(polygonsModelSelected.begin(), polygonsModelSelected.end(), isGone),
      polygonsModelSelected.end());
  forgetIfGone(freeHandPaste, isGone);
  forEachShapeInProgress([&isGone](auto*& open) { forgetIfGone(open, isGone); });
}

void CanvasEditor::dropShapesInProgress() {
  forEachShapeInProgress([](auto*& open) { open = nullptr; });
  selectionBox.reset();
}

void CanvasEditor::clearEditingState() {
  polygonsModelSelected.clear();
  history.clear();
  freeHandPaste = nullptr;
  dropShapesInProgress();
}

void CanvasEditor::polygonsClear() {
  clearEditingState();
  const bool hadShapes = !polygonsNew.empty();
  ShapeSet unique(polygonsNew.begin(), polygonsNew.end());
  unique.insert(takenOff.begin(), takenOff.end());
  for (const baseShape* shape : unique) delete shape;
  polygonsNew.clear();
  takenOff.clear();
  idDraw = 1;
  std::cout << "En scrollimage::polygonsClear(): " << std::endl;
  // Counts and tables shown beside the canvas follow it.
  if (hadShapes) announceEdit(ShapesDeleted);
}
