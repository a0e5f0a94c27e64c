#ifndef REGIONTOOLS_H
#define REGIONTOOLS_H

#include <memory>
#include <vector>

#include "arcShape.h"
#include "baseShape.h"
#include "regionShape.h"

// The region corrections of the side panels, without widgets: cutting a
// region along a drawn arc (split and complete), joining regions into the
// convex hull of their outlines (merge), and adding and withdrawing the
// cells of the smaller-cell pass. They work on a shape list the caller then
// hands back to the canvas: a source region is never taken off the list but
// withdrawn (hidden, marked deleted and named after the tool), and new
// regions are appended. A new region that is not kept is freed at once.
//
// New shapes are numbered from one above the largest id on the list (inner
// points included), so that ids stay unique whatever gaps detection or
// deletion left.
class RegionTools {
 public:
  enum class ArcTool { Split, Complete };

  // What a cut along an arc came to.
  enum class CutResult {
    Cut,
    // The list does not end with an arc.
    NoArc,
    // No region to cut, or an outline or arc without a vertex.
    NoRegion,
    // The line does not cross the outline and lies wholly on the other side
    // of it than its tool draws on: a split's beside the region, a
    // completion's within it. It has nothing to cut along.
    LineDoesNotCross,
  };

  // The two pieces of a region cut along an arc; null unless the result is
  // Cut.
  struct Pieces {
    CutResult result = CutResult::NoRegion;
    std::unique_ptr<regionShape> first;
    std::unique_ptr<regionShape> second;
  };

  // What an arc did to the list.
  struct ArcOutcome {
    CutResult result = CutResult::NoArc;
    // The region that was cut, now withdrawn; null when nothing was cut.
    regionShape* source = nullptr;
    // The pieces appended to the list (none, one or two).
    std::vector<regionShape*> added;
    // The list ended with an arc, which is now withdrawn.
    bool arcTaken() const { return result != CutResult::NoArc; }
  };

  // What the panels tell the user when the tool's line does not cross the
  // region's outline.
  static const char* lineDoesNotCrossMessage(ArcTool tool);

  // One above the largest id on the list and among its regions' inner
  // points, which are saved with their ids too; 1 for an empty list.
  static int nextId(const std::vector<baseShape*>& shapes);

  // Cuts `source` along `arc`. A split draws its line across the region, a
  // completion draws the missing outline outside it; an end of the arc that
  // overshoots to the other side of the outline is cut off at the arc's
  // crossing of the outline nearest to that end, and the pieces meet the
  // outline exactly there, so that no area beyond the drawn path joins them. An
  // end that stops short of the outline, or lies on it, is joined to the
  // outline vertex nearest to it (the first of equally near ones). The first
  // piece keeps the outline before the earlier of the two ends and from the
  // later one on, the second the outline in between; each is closed by the arc,
  // run in the direction that joins its outline ends. The pieces are new
  // hand-made regions with ids `firstId` and `firstId` + 1, visible, class,
  // type and automatic class 0. No pieces when the outline or the arc has no
  // vertex, or when the arc does not cross the outline and lies wholly on the
  // other side of it than the tool draws on.
  static Pieces cutAlongArc(regionShape& source, arcShape& arc, int firstId, ArcTool tool);

  // The arc just drawn is the last shape of `shapes`: withdraws it and, when
  // `selected` is a region of the list, cuts that region along it; a line
  // that does not cross the outline leaves the region as it is.
  // Split keeps each piece whose diameter exceeds `minDiameter`; complete
  // keeps the larger piece by area (the second on a tie). Kept pieces take the
  // source's type and class and are appended; the source is withdrawn and
  // named "Split" or "Complete". A list that does not end with an arc is left
  // untouched.
  static ArcOutcome applyArc(std::vector<baseShape*>& shapes, baseShape* selected, ArcTool tool, int width, int height,
                             double minDiameter);

  // The convex hull, in whole pixels, of the outlines of the regions among
  // `shapes` (other kinds are left out), as a new hand-made region with id
  // `id`, class and type 0; null when the hull has 10 vertices or fewer, or
  // fewer than three points go into it.
  static std::unique_ptr<regionShape> hullOf(const std::vector<baseShape*>& shapes, int width, int height, int id);

  // Joins the outlines of the selected regions (shapes of other kinds are left
  // alone) into their convex hull in pixels. When the hull has more than 10
  // vertices it becomes a new region appended to `shapes`, class and type 0,
  // and the regions that made it are withdrawn and named "Merge"; the new
  // region is returned. Otherwise nothing changes and null is returned.
  static regionShape* mergeByHull(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& selected, int width,
                                  int height);

  // The smaller-cell pass: appends each candidate whose position lies in no
  // visible region already on the list, numbered upward and marked as a
  // smaller cell; frees the others. Candidates are not tested against each
  // other. Returns the number appended.
  static int addSmallerCells(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& candidates, int width,
                             int height);

  // Withdraws every smaller cell still shown, named "Smaller"; the mark stays,
  // so a second call changes nothing. Returns the shapes withdrawn.
  static std::vector<baseShape*> withdrawSmallerCells(const std::vector<baseShape*>& shapes);

  // Hides a shape, unselects it, marks it deleted and gives it `name`.
  static void withdraw(baseShape* shape, const char* name);
};

#endif
