// The region corrections without widgets: cutting along an arc in both
// directions, split and complete on a shape list, merge by convex hull and
// the smaller-cell pass with its undo. Every list is freed at the end, so the
// sanitizer build catches a piece or candidate that is lost or freed twice.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "RegionTools.h"
#include "ShapeFixtures.h"
#include "circleShape.h"
#include "pointShape.h"

namespace {

// 1024 pixels: the fractions used below are exact in binary, so areas of
// mirrored pieces compare equal.
constexpr int side = 1024;

Vertices verticesOf(regionShape& region) {
  Vertices out;
  for (pointShape* p : region.getLinePoints()) out.emplace_back(p->getX(), p->getY());
  return out;
}

// [from, to) of `v`, or backwards from `from` down to `to` (exclusive) when
// from > to.
Vertices run(const Vertices& v, int from, int to) {
  Vertices out;
  if (from <= to)
    for (int i = from; i < to; ++i) out.push_back(v[i]);
  else
    for (int i = from; i > to; --i) out.push_back(v[i]);
  return out;
}

Vertices join(std::initializer_list<Vertices> parts) {
  Vertices out;
  for (const Vertices& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// A square from x 0.25 to 0.75 and y 0.25 to 0.75 with outline vertices at
// x = cut on its top (index 1) and bottom (index 4) edges, and the straight
// arc from the top one to the bottom one.
Vertices squareWithCut(double cut) {
  return {{0.25, 0.25}, {cut, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {cut, 0.75}, {0.25, 0.75}};
}
Vertices cutArc(double cut) { return {{cut, 0.25}, {cut, 0.5}, {cut, 0.75}}; }

// A region of 100 vertices cut by an arc whose ends lie just inside it,
// nearest to vertices 20 and 60, drawn either way. The first piece holds the outline before the
// nearer vertex and from the farther one on, the second the outline in
// between; each is closed by the arc in the direction that joins its ends.
TEST(RegionCut, HundredVertexRegionInBothDirections) {
  const Vertices outline = circleOutline(100, 0.5, 0.5, 0.3);
  const Vertices forwards = {{outline[20].first - 0.001, outline[20].second},
                             {0.5, 0.55},
                             {0.5, 0.5},
                             {0.45, 0.5},
                             {outline[60].first, outline[60].second + 0.001}};
  const Vertices backwards = run(forwards, 4, -1);

  struct Case {
    const char* name;
    Vertices arc;
    Vertices first;
    Vertices second;
  };
  const std::vector<Case> cases = {
      {"start near 20, end near 60", forwards, join({run(outline, 0, 20), forwards, run(outline, 60, 100)}),
       join({run(outline, 20, 60), run(forwards, 4, 0)})},
      {"start near 60, end near 20", backwards,
       join({run(outline, 0, 20), run(backwards, 4, 0), run(outline, 60, 100)}),
       join({run(outline, 20, 60), backwards})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<regionShape> region(makeRegion(1, outline));
    std::unique_ptr<arcShape> arc(makeArc(2, c.arc));
    RegionTools::Pieces pieces = RegionTools::cutAlongArc(*region, *arc, 7, RegionTools::ArcTool::Split);
    ASSERT_TRUE(pieces.first && pieces.second);
    EXPECT_EQ(verticesOf(*pieces.first), c.first);
    EXPECT_EQ(verticesOf(*pieces.second), c.second);
    EXPECT_EQ(pieces.first->getId(), 7);
    EXPECT_EQ(pieces.second->getId(), 8);
    EXPECT_TRUE(pieces.first->getManual());
    EXPECT_TRUE(pieces.first->getVisible());
  }
}

TEST(RegionCut, ArcStartingAndEndingAtOneVertexMakesALoopPiece) {
  const Vertices outline = squareWithCut(0.375);
  const Vertices loop = {{0.375, 0.25}, {0.5, 0.5}, {0.4, 0.26}};
  std::unique_ptr<regionShape> region(makeRegion(1, outline));
  std::unique_ptr<arcShape> arc(makeArc(2, loop));
  RegionTools::Pieces pieces = RegionTools::cutAlongArc(*region, *arc, 3, RegionTools::ArcTool::Split);
  ASSERT_TRUE(pieces.first && pieces.second);
  EXPECT_EQ(verticesOf(*pieces.first), join({run(outline, 0, 1), run(loop, 2, 0), run(outline, 1, 6)}));
  EXPECT_EQ(verticesOf(*pieces.second), loop);
}

TEST(RegionCut, NoVertexOnEitherSideCutsNothing) {
  std::unique_ptr<regionShape> empty(makeRegion(1, {}));
  std::unique_ptr<regionShape> square(makeRegion(2, squareWithCut(0.5)));
  std::unique_ptr<arcShape> arc(makeArc(3, cutArc(0.5)));
  std::unique_ptr<arcShape> noArc(makeArc(4, {}));
  EXPECT_FALSE(RegionTools::cutAlongArc(*empty, *arc, 5, RegionTools::ArcTool::Split).first);
  EXPECT_FALSE(RegionTools::cutAlongArc(*square, *noArc, 5, RegionTools::ArcTool::Split).first);
}

// The square from 0.25 to 0.75 with outline vertices at x = 0.375 and 0.625
// on its top edge and at 0.375 on its bottom edge: 512 x 512 pixels.
const Vertices squareOutline = {{0.25, 0.25}, {0.375, 0.25}, {0.625, 0.25}, {0.75, 0.25},
                                {0.75, 0.75}, {0.375, 0.75}, {0.25, 0.75}};
// The square without the quarter from x 0.5 and above y 0.5: an L of
// 196,608 square pixels.
const Vertices lOutline = {{0.25, 0.25}, {0.5, 0.25}, {0.5, 0.5}, {0.75, 0.5}, {0.75, 0.75}, {0.25, 0.75}};
const Vertices circle40 = circleOutline(40, 0.5, 0.5, 0.25);

// The area of the region of `outline`, as the results list it.
double areaOf(const Vertices& outline) {
  std::unique_ptr<regionShape> region(makeRegion(1, outline));
  return region->getArea(side, side);
}

// A split line that runs past the outline is used only between its first
// and last crossing of it: the pieces meet the outline where the line
// crosses it, and their areas add up to the region's. An end inside the
// region is still joined to its nearest outline vertex.
TEST(RegionCut, SplitLineOvershootingTheOutlineAddsNoArea) {
  // A line through the circle's centre along a symmetry axis halves it.
  const double halfCircle = areaOf(circle40) / 2;
  auto axis = [](double degrees) {
    const double dx = 0.3 * std::cos(degrees * M_PI / 180);
    const double dy = 0.3 * std::sin(degrees * M_PI / 180);
    return Vertices{{0.5 - dx, 0.5 - dy}, {0.5, 0.5}, {0.5 + dx, 0.5 + dy}};
  };
  struct Case {
    const char* name;
    Vertices outline;
    Vertices line;
    double firstArea;
    double secondArea;
  };
  const std::vector<Case> cases = {
      {"square, past both ends", squareOutline, {{0.375, 0.125}, {0.375, 0.5}, {0.375, 0.875}}, 65536, 196608},
      {"square, past the start only", squareOutline, {{0.375, 0.125}, {0.375, 0.7}}, 65536, 196608},
      {"square, past the end only", squareOutline, {{0.375, 0.3}, {0.375, 0.875}}, 65536, 196608},
      // Crossing the top edge at x 0.31875 and the bottom at the same x.
      {"square, a bent line past both ends", squareOutline, {{0.3, 0.1}, {0.35, 0.5}, {0.3, 0.9}}, 44236.8, 217907.2},
      {"circle, through two outline vertices", circle40, axis(45), halfCircle, halfCircle},
      {"circle, through two edges", circle40, axis(49.5), halfCircle, halfCircle},
      {"L, entering through the missing quarter", lOutline, {{0.625, 0.125}, {0.625, 0.875}}, 163840, 32768},
      {"L, across its foot", lOutline, {{0.125, 0.625}, {0.875, 0.625}}, 131072, 65536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<regionShape> region(makeRegion(1, c.outline));
    std::unique_ptr<arcShape> line(makeArc(2, c.line));
    RegionTools::Pieces pieces = RegionTools::cutAlongArc(*region, *line, 3, RegionTools::ArcTool::Split);
    ASSERT_TRUE(pieces.first && pieces.second);
    const double first = pieces.first->getArea(side, side);
    const double second = pieces.second->getArea(side, side);
    EXPECT_NEAR(first + second, region->getArea(side, side), 1);
    EXPECT_NEAR(first, c.firstArea, 1);
    EXPECT_NEAR(second, c.secondArea, 1);
  }
}

// A completion draws the missing outline outside the region; where its ends
// reach into the region they are cut at the outline, so the kept piece is
// the region with exactly the drawn bulge added. An end left outside is
// joined to its nearest outline vertex.
TEST(RegionCut, CompletionReachingIntoTheRegionAddsOnlyTheBulge) {
  // A bulge of 256 x 128 pixels on the top edge between x 0.375 and 0.625.
  const double completed = 262144 + 32768;
  struct Case {
    const char* name;
    Vertices line;
  };
  const std::vector<Case> cases = {
      {"both ends inside", {{0.375, 0.3}, {0.375, 0.125}, {0.625, 0.125}, {0.625, 0.3}}},
      {"start inside, end short of the outline", {{0.375, 0.3}, {0.375, 0.125}, {0.625, 0.125}, {0.625, 0.24}}},
      {"start short of the outline, end inside", {{0.375, 0.24}, {0.375, 0.125}, {0.625, 0.125}, {0.625, 0.3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShapeList list;
    regionShape* source = list.add(makeRegion(1, squareOutline));
    list.add(makeArc(2, c.line));
    RegionTools::ArcOutcome outcome =
        RegionTools::applyArc(list.shapes, source, RegionTools::ArcTool::Complete, side, side, 10);
    ASSERT_EQ(outcome.added.size(), 1u);
    EXPECT_NEAR(outcome.added[0]->getArea(side, side), completed, 1);
  }
}

// A line that does not run past the outline (ends inside it or on it for a
// split, outside it for a completion) is cut as it always was: each end
// joined to its nearest outline vertex, the backward run without the line's
// first point.
TEST(RegionCut, LineNotOvershootingCutsAsBefore) {
  const Vertices& o = squareOutline;
  const Vertices inside = {{0.375, 0.3}, {0.375, 0.5}, {0.375, 0.7}};
  const Vertices onOutline = {{0.375, 0.25}, {0.375, 0.5}, {0.375, 0.75}};
  const Vertices outside = {{0.375, 0.24}, {0.375, 0.125}, {0.625, 0.125}, {0.625, 0.24}};
  struct Case {
    const char* name;
    RegionTools::ArcTool tool;
    Vertices line;
    Vertices first;
    Vertices second;
  };
  using Tool = RegionTools::ArcTool;
  const std::vector<Case> cases = {
      {"split, ends inside", Tool::Split, inside, join({run(o, 0, 1), inside, run(o, 5, 7)}),
       join({run(o, 1, 5), run(inside, 2, 0)})},
      {"split, ends on outline vertices", Tool::Split, onOutline, join({run(o, 0, 1), onOutline, run(o, 5, 7)}),
       join({run(o, 1, 5), run(onOutline, 2, 0)})},
      {"completion, ends outside", Tool::Complete, outside, join({run(o, 0, 1), outside, run(o, 2, 7)}),
       join({run(o, 1, 2), run(outside, 3, 0)})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<regionShape> region(makeRegion(1, o));
    std::unique_ptr<arcShape> line(makeArc(2, c.line));
    RegionTools::Pieces pieces = RegionTools::cutAlongArc(*region, *line, 3, c.tool);
    ASSERT_TRUE(pieces.first && pieces.second);
    EXPECT_EQ(verticesOf(*pieces.first), c.first);
    EXPECT_EQ(verticesOf(*pieces.second), c.second);
  }
}

// The sum of the areas of the visible regions of `shapes`.
double visibleArea(const std::vector<baseShape*>& shapes) {
  double area = 0;
  for (baseShape* shape : shapes)
    if (shape->getTypeShape() == REGION && shape->getVisible()) area += shape->getArea(side, side);
  return area;
}

// A line that never crosses the outline and lies on the other side of it
// than its tool draws on (a split's beside the region, a completion's within
// it) has nothing to cut along: the region stays as it was, no piece is
// added, the arc is withdrawn and the result says why. Joined to the nearest
// outline vertices, such a line used to add the area between it and the
// outline.
TEST(RegionCut, LineNotCrossingTheOutlineCutsNothing) {
  using Tool = RegionTools::ArcTool;
  struct Case {
    const char* name;
    Tool tool;
    Vertices outline;
    Vertices line;
  };
  const std::vector<Case> cases = {
      {"split, a line beside the square", Tool::Split, squareOutline, {{0.8, 0.3}, {0.8, 0.5}, {0.8, 0.7}}},
      {"split, a bent line around a corner", Tool::Split, squareOutline, {{0.2, 0.7}, {0.2, 0.8}, {0.3, 0.8}}},
      {"split, a line in the L's missing quarter", Tool::Split, lOutline, {{0.55, 0.3}, {0.7, 0.45}}},
      {"split, a line along the top edge", Tool::Split, squareOutline, {{0.3, 0.25}, {0.7, 0.25}}},
      {"split, a click beside the circle", Tool::Split, circle40, {{0.9, 0.9}}},
      {"completion, a line within the square", Tool::Complete, squareOutline, {{0.4, 0.3}, {0.45, 0.5}, {0.4, 0.7}}},
      {"completion, a click within the circle", Tool::Complete, circle40, {{0.5, 0.5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShapeList list;
    regionShape* source = list.add(makeRegion(1, c.outline));
    arcShape* line = list.add(makeArc(2, c.line));
    const double before = visibleArea(list.shapes);
    EXPECT_FALSE(RegionTools::cutAlongArc(*source, *line, 3, c.tool).first);

    RegionTools::ArcOutcome outcome = RegionTools::applyArc(list.shapes, source, c.tool, side, side, 10);
    EXPECT_EQ(outcome.result, RegionTools::CutResult::LineDoesNotCross);
    EXPECT_EQ(outcome.source, nullptr);
    EXPECT_TRUE(outcome.added.empty());
    EXPECT_EQ(list.shapes.size(), 2u);
    EXPECT_TRUE(source->getVisible());
    EXPECT_FALSE(source->getDeleted());
    EXPECT_EQ(source->getName(), "Default name");
    EXPECT_FALSE(line->getVisible());
    EXPECT_DOUBLE_EQ(visibleArea(list.shapes), before);
  }
  EXPECT_NE(RegionTools::lineDoesNotCrossMessage(Tool::Split), RegionTools::lineDoesNotCrossMessage(Tool::Complete));
}

// The inner points of regions are saved with their ids too: a new region
// must not take one of theirs.
TEST(RegionTools, NextIdIsOneAboveTheLargestOfShapesAndInnerPoints) {
  ShapeList list;
  EXPECT_EQ(RegionTools::nextId(list.shapes), 1);
  list.add(makeRegion(3, {}));
  regionShape* withPoint = makeRegion(17, {});
  list.add(withPoint);
  list.add(makeRegion(5, {}));
  EXPECT_EQ(RegionTools::nextId(list.shapes), 18);
  withPoint->addPoint(new pointShape(0.5, 0.5, 40, true, false, false, true, 0, 0, 0));
  EXPECT_EQ(RegionTools::nextId(list.shapes), 41);
}

// Split and complete on a list that holds just the region and the arc, the
// region numbered with a gap below the arc. The square is cut at x = 0.375
// into a narrow left piece (diameter about 289 px) and a wide right one
// (about 500 px), or at 0.5 into two equal halves.
TEST(RegionTools, SplitAndCompleteAlongAnArc) {
  struct Case {
    const char* name;
    RegionTools::ArcTool tool;
    double cut;
    double minDiameter;
    // Smallest x and id of each kept piece, in order; the first piece takes
    // the id above the arc's, the second the next.
    std::vector<std::pair<double, int>> kept;
  };
  using Tool = RegionTools::ArcTool;
  const std::vector<Case> cases = {
      {"split keeps both pieces above the minimum", Tool::Split, 0.375, 200, {{0.25, 10}, {0.375, 11}}},
      {"split drops the piece at or below the minimum", Tool::Split, 0.375, 300, {{0.375, 11}}},
      {"split with both pieces too small adds none", Tool::Split, 0.375, 600, {}},
      {"complete keeps the larger piece", Tool::Complete, 0.375, 200, {{0.375, 11}}},
      {"complete keeps the second piece on equal areas", Tool::Complete, 0.5, 200, {{0.5, 11}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShapeList list;
    regionShape* source = list.add(makeRegion(4, squareWithCut(c.cut)));
    source->setType(1);
    source->setClase(3);
    source->setClaseAutomatic(2);
    source->setSelected(true);
    arcShape* arc = list.add(makeArc(9, cutArc(c.cut)));

    RegionTools::ArcOutcome outcome = RegionTools::applyArc(list.shapes, source, c.tool, side, side, c.minDiameter);

    EXPECT_TRUE(outcome.arcTaken());
    EXPECT_EQ(outcome.source, source);
    EXPECT_FALSE(arc->getVisible());
    EXPECT_TRUE(arc->getDeleted());
    EXPECT_FALSE(source->getVisible());
    EXPECT_FALSE(source->getSelected());
    EXPECT_TRUE(source->getDeleted());
    EXPECT_EQ(source->getName(), c.tool == Tool::Split ? "Split" : "Complete");
    ASSERT_EQ(list.shapes.size(), 2 + c.kept.size());
    ASSERT_EQ(outcome.added.size(), c.kept.size());
    for (std::size_t i = 0; i < c.kept.size(); ++i) {
      auto* piece = static_cast<regionShape*>(list.shapes[2 + i]);
      EXPECT_EQ(outcome.added[i], piece);
      EXPECT_DOUBLE_EQ(piece->getMin().getX(), c.kept[i].first);
      EXPECT_EQ(piece->getId(), c.kept[i].second);
      EXPECT_EQ(piece->getType(), 1);
      EXPECT_EQ(piece->getClase(), 3);
      EXPECT_EQ(piece->getClaseAutomatic(), 0);
      EXPECT_TRUE(piece->getVisible());
    }
  }
}

TEST(RegionTools, ArcWithoutARegionToCut) {
  struct Case {
    const char* name;
    bool endsWithArc;
    bool selectCircle;
    bool expectArcTaken;
  };
  const std::vector<Case> cases = {
      {"nothing selected: the arc is withdrawn, nothing cut", true, false, true},
      {"a circle selected: the arc is withdrawn, nothing cut", true, true, true},
      {"the list does not end with an arc: nothing changes", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShapeList list;
    regionShape* region = list.add(makeRegion(1, squareWithCut(0.5)));
    baseShape* circle = list.add(new circleShape(20, 0.1, 0.1, 2, true, false, false, true, 0, 0, 0));
    arcShape* arc = list.add(makeArc(3, cutArc(0.5)));
    if (!c.endsWithArc) std::swap(list.shapes[1], list.shapes[2]);

    RegionTools::ArcOutcome outcome = RegionTools::applyArc(list.shapes, c.selectCircle ? circle : nullptr,
                                                            RegionTools::ArcTool::Split, side, side, 10);
    EXPECT_EQ(outcome.arcTaken(), c.expectArcTaken);
    EXPECT_EQ(outcome.source, nullptr);
    EXPECT_EQ(list.shapes.size(), 3u);
    EXPECT_EQ(arc->getVisible(), !c.expectArcTaken);
    EXPECT_TRUE(region->getVisible());
    EXPECT_FALSE(region->getDeleted());
    EXPECT_TRUE(circle->getVisible());
  }
}

TEST(RegionTools, MergeJoinsRegionsIntoTheirHull) {
  ShapeList list;
  regionShape* left = list.add(makeRegion(1, circleOutline(12, 0.3, 0.5, 0.1)));
  regionShape* right = list.add(makeRegion(6, circleOutline(12, 0.6, 0.5, 0.1)));
  baseShape* circle = list.add(new circleShape(20, 0.9, 0.9, 3, true, true, false, true, 0, 0, 0));
  left->setClase(2);
  left->setType(1);

  regionShape* merged = RegionTools::mergeByHull(list.shapes, {left, circle, right}, side, side);

  ASSERT_NE(merged, nullptr);
  ASSERT_EQ(list.shapes.size(), 4u);
  EXPECT_EQ(list.shapes.back(), merged);
  EXPECT_EQ(merged->getId(), 7);
  EXPECT_EQ(merged->getClase(), 0);
  EXPECT_EQ(merged->getType(), 0);
  EXPECT_GT(merged->getLinePoints().size(), 10u);
  // The hull spans both discs, in pixels truncated and back to fractions.
  EXPECT_NEAR(merged->getMin().getX(), 0.2, 2.0 / side);
  EXPECT_NEAR(merged->getMax().getX(), 0.7, 2.0 / side);
  for (regionShape* source : {left, right}) {
    EXPECT_FALSE(source->getVisible());
    EXPECT_TRUE(source->getDeleted());
    EXPECT_EQ(source->getName(), "Merge");
  }
  EXPECT_TRUE(circle->getVisible());
  EXPECT_FALSE(circle->getDeleted());
}

// A merge that makes no region leaves its sources as they were, and fewer
// than three points never reach the hull.
TEST(RegionTools, MergeThatMakesNoRegionChangesNothing) {
  struct Case {
    const char* name;
    std::vector<Vertices> regions;
    int points;
  };
  const std::vector<Case> cases = {
      {"two triangles, a hull of 6 points",
       {{{0.1, 0.1}, {0.2, 0.1}, {0.15, 0.2}}, {{0.5, 0.5}, {0.6, 0.5}, {0.55, 0.6}}},
       0},
      {"two points and no region", {}, 2},
      {"nothing selected", {}, 0},
      {"one region of two vertices", {{{0.1, 0.1}, {0.2, 0.2}}}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShapeList list;
    std::vector<baseShape*> selected;
    for (const Vertices& outline : c.regions) selected.push_back(list.add(makeRegion(list.shapes.size() + 1, outline)));
    for (int i = 0; i < c.points; ++i)
      selected.push_back(list.add(new pointShape(0.1 * i, 0.1, 30 + i, true, true, false, true, 0, 0, 0)));

    EXPECT_EQ(RegionTools::mergeByHull(list.shapes, selected, side, side), nullptr);
    EXPECT_EQ(list.shapes.size(), selected.size());
    for (baseShape* shape : list.shapes) {
      EXPECT_TRUE(shape->getVisible());
      EXPECT_FALSE(shape->getDeleted());
      EXPECT_NE(shape->getName(), "Merge");
    }
  }
}

// Forty regions on a row of small squares, one of them hidden; candidates
// outside every region, inside the hidden one and inside a visible one.
TEST(RegionTools, SmallerCellPassAndItsUndo) {
  ShapeList list;
  for (int i = 0; i < 40; ++i) {
    const double x = 0.02 + 0.024 * i;
    list.add(makeRegion(i + 1, {{x, 0.1}, {x + 0.02, 0.1}, {x + 0.02, 0.12}, {x, 0.12}}));
  }
  list.shapes[5]->setVisible(false);
  const double hiddenX = 0.02 + 0.024 * 5 + 0.01;
  const double visibleX = 0.02 + 0.024 * 9 + 0.01;
  const std::vector<baseShape*> candidates = {
      makeRegion(0, circleOutline(8, 0.5, 0.5, 0.01)),
      makeRegion(0, circleOutline(8, visibleX, 0.11, 0.005)),
      makeRegion(0, circleOutline(8, hiddenX, 0.11, 0.005)),
      makeRegion(0, circleOutline(8, 0.7, 0.7, 0.01)),
  };

  EXPECT_EQ(RegionTools::addSmallerCells(list.shapes, candidates, side, side), 3);

  ASSERT_EQ(list.shapes.size(), 43u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list.shapes[40 + i]->getId(), 41 + i);
    EXPECT_EQ(list.shapes[40 + i]->getSmallerCell(), 1);
  }
  EXPECT_EQ(list.shapes[40], candidates[0]);
  EXPECT_EQ(list.shapes[41], candidates[2]);
  EXPECT_EQ(list.shapes[42], candidates[3]);
  EXPECT_EQ(RegionTools::nextId(list.shapes), 44);

  EXPECT_EQ(RegionTools::withdrawSmallerCells(list.shapes).size(), 3u);
  for (int i = 40; i < 43; ++i) {
    EXPECT_FALSE(list.shapes[i]->getVisible());
    EXPECT_TRUE(list.shapes[i]->getDeleted());
    EXPECT_EQ(list.shapes[i]->getName(), "Smaller");
    EXPECT_EQ(list.shapes[i]->getSmallerCell(), 1);
  }
  EXPECT_TRUE(RegionTools::withdrawSmallerCells(list.shapes).empty());
  EXPECT_EQ(list.shapes.size(), 43u);
  for (int i = 0; i < 40; ++i) EXPECT_FALSE(list.shapes[i]->getDeleted());
}

}  // namespace
