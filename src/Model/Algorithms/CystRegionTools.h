#ifndef CYSTREGIONTOOLS_H
#define CYSTREGIONTOOLS_H

#include <functional>
#include <string>
#include <vector>

#include "RegionTools.h"

// Cavitra's corrections of the detected cysts, without widgets: removing the
// regions inside a hand-drawn mask, adding the cysts of a second detection
// pass that the classifier accepts, splitting and completing a region along a
// drawn arc, merging regions into their convex hull, and the undo and redo of
// the false-positive and added-cyst marks. Like the shared region tools they
// never take a shape off the list: what a tool withdraws is hidden and keeps
// its place, new regions are appended with ids above the largest on the list,
// and what each tool did is recorded in the shape's type code. Only the
// candidates and pieces a tool made itself and then rejects are freed.
class CystRegionTools {
 public:
  // The meaning Cavitra gives to a shape's type.
  enum TypeCode {
    Detected = 0,
    InnerRemoved = 1,
    FalsePositive = 2,
    FalsePositiveRestored = 22,
    AddedCyst = 3,
    AddedCystWithdrawn = 33,
    SplitMark = 4,
    CompletionMark = 5,
    MergeMark = 6,
  };

  // Share of the picture covered by the visible regions, in percent of the
  // picture's pixels, and the number of those regions. Other kinds of shape
  // and hidden regions never count; an empty picture gives 0.
  struct CystIndex {
    double percent = 0;
    int regions = 0;
  };
  static CystIndex cystIndex(const std::vector<baseShape*>& shapes, int width, int height);
  // The index as the panel shows it: its integer part and " %".
  static std::string indexText(double percent);

  // Every visible hand-drawn region acts as a mask: each visible detected
  // region whose centre it contains is hidden, marked deleted and typed
  // InnerRemoved. Returns the regions removed.
  static std::vector<baseShape*> removeInner(const std::vector<baseShape*>& shapes, int width, int height);

  // The undo and redo of a mark: every shape typed `from` (and, when
  // `onlyWithVisibility` is set, shown or hidden as `visibility` says) is
  // retyped `to` and shown or hidden by `show`. Returns how many changed.
  struct Remark {
    int from;
    bool onlyWithVisibility;
    bool visibility;
    int to;
    bool show;
  };
  static int remark(const std::vector<baseShape*>& shapes, const Remark& change);
  static const Remark undoFalsePositive;
  static const Remark redoFalsePositive;
  static const Remark undoAddedCysts;
  static const Remark redoAddedCysts;

  // The add-cysts pass. A candidate that contains the centre of a visible
  // region already on the list is freed; otherwise `isCyst` decides: an
  // accepted candidate is typed AddedCyst, numbered upward and appended, a
  // refused one is freed. Candidates are not tested against each other.
  // Returns the number appended.
  static int addCysts(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& candidates, int width,
                      int height, const std::function<bool(regionShape&)>& isCyst);

  // What an arc did to the list: the arc taken (hidden), the region cut
  // (hidden, typed with the tool's mark) and the pieces appended.
  using ArcOutcome = RegionTools::ArcOutcome;
  // The list ends with the arc just drawn; `selected` is the region to cut
  // (nothing is cut when it is not a region of the list, nor when the line
  // does not cross its outline, see RegionTools::cutAlongArc). Split keeps both
  // pieces whatever their size; complete keeps the larger by area (the second
  // on a tie) and frees the other. Kept pieces are hand-made regions typed
  // with the tool's mark. A list that does not end with an arc is untouched.
  static ArcOutcome applyArc(std::vector<baseShape*>& shapes, baseShape* selected, RegionTools::ArcTool tool,
                             int width, int height);

  // Joins the selected regions into their convex hull in pixels. Only when the
  // hull makes a region (more than 10 vertices) is it appended, typed
  // MergeMark, and are the sources hidden and typed MergeMark; otherwise
  // nothing changes. Returns the merged region or null.
  static regionShape* merge(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& selected, int width,
                            int height);

 private:
  static bool isVisibleRegion(baseShape* shape);
  // Hides a withdrawn source and gives it the tool's mark; it keeps its name
  // and is not marked deleted, so the shape's record tells what replaced it.
  static void hideWithMark(baseShape* shape, int mark);
};

#endif
