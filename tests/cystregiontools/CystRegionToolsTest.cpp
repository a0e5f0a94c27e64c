// Cavitra's cyst corrections without widgets: the cyst index after each tool,
// remove-inner, the containment rule of the add-cysts pass, split, complete
// and merge on small fixtures, and undo and redo by type code. Every list is
// freed at the end, so the sanitizer build catches a piece or candidate that
// is lost or freed twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "CystRegionTools.h"
#include "ShapeFixtures.h"
#include "circleShape.h"

namespace {

using Tools = CystRegionTools;

constexpr int side = 1000;

Vertices square(double x0, double y0, double size) {
  return {{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}};
}

double percentOf(const std::vector<baseShape*>& shapes) { return Tools::cystIndex(shapes, side, side).percent; }

TEST(CystIndex, CountsOnlyVisibleRegions) {
  ShapeList list;
  // Two visible squares of 100 x 100 pixels, a hidden one, a circle and a
  // point: 2 % of a 1000 x 1000 picture.
  list.add(makeRegion(1, square(0.1, 0.1, 0.1)));
  list.add(makeRegion(2, square(0.5, 0.5, 0.1)));
  list.add(makeRegion(3, square(0.3, 0.3, 0.3)))->setVisible(false);
  list.add(new circleShape(50, 0.8, 0.8, 4, true, false, false, true, 0, 0, 0));
  const Tools::CystIndex index = Tools::cystIndex(list.shapes, side, side);
  EXPECT_NEAR(index.percent, 2.0, 1e-9);
  EXPECT_EQ(index.regions, 2);
}

TEST(CystIndex, EmptyListAndEmptyPictureGiveZero) {
  ShapeList list;
  EXPECT_EQ(Tools::cystIndex(list.shapes, side, side).percent, 0);
  EXPECT_EQ(Tools::cystIndex(list.shapes, side, side).regions, 0);
  list.add(makeRegion(1, square(0.1, 0.1, 0.1)));
  EXPECT_EQ(Tools::cystIndex(list.shapes, 0, 0).percent, 0);
}

TEST(CystIndex, TextTruncatesTheIntegerPart) {
  const std::vector<std::pair<double, const char*>> cases = {
      {0, "0 %"}, {0.99, "0 %"}, {0.5, "0 %"}, {12.83, "12 %"}, {99.9, "99 %"}, {100, "100 %"},
      // Shapes from a file can cover the picture many times over: the figure
      // is held within what the text can show, never wrapped to a negative.
      {1e30, "1000000000000000000 %"}, {HUGE_VAL, "1000000000000000000 %"}, {std::nan(""), "0 %"}};
  for (const auto& [percent, text] : cases) EXPECT_EQ(Tools::indexText(percent), text) << percent;
}

TEST(RemoveInner, HandDrawnMaskWithdrawsTheDetectedRegionsItContains) {
  ShapeList list;
  // The mask is the first shape: every position acts as a mask.
  regionShape* mask = list.add(makeRegion(1, square(0.1, 0.1, 0.5), true));
  regionShape* insideA = list.add(makeRegion(2, square(0.15, 0.15, 0.1)));
  regionShape* insideB = list.add(makeRegion(3, square(0.3, 0.3, 0.1)));
  regionShape* insideC = list.add(makeRegion(4, square(0.45, 0.45, 0.1)));
  regionShape* outside = list.add(makeRegion(5, square(0.8, 0.8, 0.1)));
  regionShape* innerManual = list.add(makeRegion(6, square(0.2, 0.4, 0.05), true));
  const double before = percentOf(list.shapes);

  const std::vector<baseShape*> removed = Tools::removeInner(list.shapes, side, side);

  EXPECT_EQ(removed, (std::vector<baseShape*>{insideA, insideB, insideC}));
  for (regionShape* region : {insideA, insideB, insideC}) {
    EXPECT_FALSE(region->getVisible());
    EXPECT_TRUE(region->getDeleted());
    EXPECT_EQ(region->getType(), Tools::InnerRemoved);
  }
  for (regionShape* region : {mask, outside, innerManual}) {
    EXPECT_TRUE(region->getVisible());
    EXPECT_EQ(region->getType(), Tools::Detected);
  }
  EXPECT_NEAR(before - percentOf(list.shapes), 3.0, 1e-9);
}

TEST(RemoveInner, WorksWithOneMaskAndOneRegion) {
  ShapeList list;
  regionShape* detected = list.add(makeRegion(1, square(0.3, 0.3, 0.1)));
  list.add(makeRegion(2, square(0.2, 0.2, 0.4), true));
  EXPECT_EQ(Tools::removeInner(list.shapes, side, side).size(), 1u);
  EXPECT_FALSE(detected->getVisible());
}

TEST(Remarks, UndoAndRedoByTypeCode) {
  ShapeList list;
  baseShape* falsePositive = list.add(makeRegion(1, square(0.1, 0.1, 0.1)));
  falsePositive->setType(Tools::FalsePositive);
  falsePositive->setVisible(false);
  baseShape* cyst = list.add(makeRegion(2, square(0.3, 0.3, 0.1)));
  cyst->setType(Tools::AddedCyst);
  baseShape* detected = list.add(makeRegion(3, square(0.5, 0.5, 0.1)));

  EXPECT_EQ(Tools::remark(list.shapes, Tools::undoFalsePositive), 1);
  EXPECT_TRUE(falsePositive->getVisible());
  EXPECT_EQ(falsePositive->getType(), Tools::FalsePositiveRestored);
  EXPECT_EQ(Tools::remark(list.shapes, Tools::redoFalsePositive), 1);
  EXPECT_FALSE(falsePositive->getVisible());
  EXPECT_EQ(falsePositive->getType(), Tools::FalsePositive);

  EXPECT_EQ(Tools::remark(list.shapes, Tools::undoAddedCysts), 1);
  EXPECT_FALSE(cyst->getVisible());
  EXPECT_EQ(cyst->getType(), Tools::AddedCystWithdrawn);
  EXPECT_NEAR(percentOf(list.shapes), 1.0, 1e-9);
  // A second undo finds no visible added cyst.
  EXPECT_EQ(Tools::remark(list.shapes, Tools::undoAddedCysts), 0);
  EXPECT_EQ(Tools::remark(list.shapes, Tools::redoAddedCysts), 1);
  EXPECT_TRUE(cyst->getVisible());
  EXPECT_EQ(cyst->getType(), Tools::AddedCyst);
  EXPECT_NEAR(percentOf(list.shapes), 2.0, 1e-9);

  EXPECT_TRUE(detected->getVisible());
  EXPECT_EQ(detected->getType(), Tools::Detected);
}

TEST(AddCysts, KeepsAcceptedCandidatesThatCoverNoExistingCentre) {
  ShapeList list;
  for (int id = 1; id <= 24; ++id) list.add(makeRegion(id, square(0.01 * id, 0.9, 0.005)));
  // A large visible region and a hidden one.
  list.add(makeRegion(25, square(0.1, 0.1, 0.4)));
  regionShape* hidden = list.add(makeRegion(26, square(0.62, 0.12, 0.06)));
  hidden->setVisible(false);

  std::vector<baseShape*> candidates = {
      makeRegion(0, square(0.2, 0.2, 0.05)),   // inside the large region, off its centre: kept
      makeRegion(0, square(0.6, 0.1, 0.1)),    // contains only the hidden region's centre: kept
      makeRegion(0, square(0.25, 0.25, 0.1)),  // contains the large region's centre: rejected
      makeRegion(0, square(0.7, 0.7, 0.05)),   // refused by the classifier
  };
  baseShape* refused = candidates[3];
  int asked = 0;
  const int added = Tools::addCysts(list.shapes, candidates, side, side, [&](regionShape& region) {
    ++asked;
    return &region != refused;
  });

  EXPECT_EQ(added, 2);
  EXPECT_EQ(asked, 3);
  ASSERT_EQ(list.shapes.size(), 28u);
  EXPECT_EQ(list.shapes[26], candidates[0]);
  EXPECT_EQ(list.shapes[27], candidates[1]);
  EXPECT_EQ(list.shapes[26]->getId(), 27);
  EXPECT_EQ(list.shapes[27]->getId(), 28);
  EXPECT_EQ(list.shapes[26]->getType(), Tools::AddedCyst);
  EXPECT_EQ(RegionTools::nextId(list.shapes), 29);
}

TEST(AddCysts, NoCandidatesChangeNothing) {
  ShapeList list;
  list.add(makeRegion(1, square(0.1, 0.1, 0.1)));
  EXPECT_EQ(Tools::addCysts(list.shapes, {}, side, side, [](regionShape&) { return true; }), 0);
  EXPECT_EQ(list.shapes.size(), 1u);
}

// A circle of 40 vertices cut by a vertical arc through its middle, reaching
// `reach` above and below the centre (the circle's radius is 0.25).
struct CutFixture : ::testing::Test {
  ShapeList list;
  regionShape* source = nullptr;
  arcShape* arc = nullptr;
  void build(double arcX, double reach = 0.25) {
    list.add(makeRegion(1, square(0.8, 0.8, 0.1)));
    source = list.add(makeRegion(2, circleOutline(40, 0.5, 0.5, 0.25)));
    arc = list.add(makeArc(3, {{arcX, 0.5 - reach}, {arcX, 0.5}, {arcX, 0.5 + reach}}));
  }
};

TEST_F(CutFixture, SplitKeepsBothPiecesAndHidesTheSource) {
  build(0.5);
  const double before = percentOf(list.shapes);
  const Tools::ArcOutcome outcome = Tools::applyArc(list.shapes, source, RegionTools::ArcTool::Split, side, side);
  ASSERT_EQ(outcome.added.size(), 2u);
  EXPECT_EQ(outcome.source, source);
  EXPECT_FALSE(source->getVisible());
  EXPECT_FALSE(source->getDeleted());
  EXPECT_EQ(source->getType(), Tools::SplitMark);
  EXPECT_FALSE(arc->getVisible());
  for (regionShape* piece : outcome.added) {
    EXPECT_TRUE(piece->getVisible());
    EXPECT_TRUE(piece->getManual());
    EXPECT_EQ(piece->getType(), Tools::SplitMark);
  }
  EXPECT_EQ(outcome.added[0]->getId(), 4);
  EXPECT_EQ(outcome.added[1]->getId(), 5);
  EXPECT_EQ(Tools::cystIndex(list.shapes, side, side).regions, 3);
  EXPECT_NEAR(percentOf(list.shapes), before, 0.05);
}

// A split line drawn well past the cyst on both sides: the pieces share the
// cyst's area, so the index stays where it was (within a square pixel).
TEST_F(CutFixture, SplitAlongALinePastTheOutlineKeepsTheIndex) {
  build(0.45, 0.4);
  const double before = percentOf(list.shapes);
  const Tools::ArcOutcome outcome = Tools::applyArc(list.shapes, source, RegionTools::ArcTool::Split, side, side);
  ASSERT_EQ(outcome.added.size(), 2u);
  const double onePixel = 100.0 / (static_cast<double>(side) * side);
  EXPECT_NEAR(percentOf(list.shapes), before, onePixel);
}

// A line that does not cross the cyst's outline, beside it for a split or
// within it for a completion, has nothing to cut along: the cyst keeps its
// type and stays shown, the arc is hidden, and the index stays where it was.
TEST(ArcTools, LineNotCrossingTheOutlineLeavesTheIndex) {
  using Tool = RegionTools::ArcTool;
  struct Case {
    const char* name;
    Tool tool;
    Vertices line;
  };
  const std::vector<Case> cases = {
      {"split, beside the cyst", Tool::Split, {{0.8, 0.25}, {0.8, 0.5}, {0.8, 0.75}}},
      {"split, just off its edge", Tool::Split, {{0.76, 0.4}, {0.77, 0.5}, {0.76, 0.6}}},
      {"split, between two cysts", Tool::Split, {{0.78, 0.8}, {0.78, 0.9}}},
      {"completion, within the cyst", Tool::Complete, {{0.5, 0.4}, {0.5, 0.5}, {0.5, 0.6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShapeList list;
    list.add(makeRegion(1, square(0.8, 0.8, 0.1)));
    regionShape* source = list.add(makeRegion(2, circleOutline(40, 0.5, 0.5, 0.25)));
    arcShape* arc = list.add(makeArc(3, c.line));
    const Tools::CystIndex before = Tools::cystIndex(list.shapes, side, side);

    const Tools::ArcOutcome outcome = Tools::applyArc(list.shapes, source, c.tool, side, side);
    EXPECT_EQ(outcome.result, RegionTools::CutResult::LineDoesNotCross);
    EXPECT_TRUE(outcome.added.empty());
    EXPECT_EQ(list.shapes.size(), 3u);
    EXPECT_TRUE(source->getVisible());
    EXPECT_EQ(source->getType(), Tools::Detected);
    EXPECT_FALSE(arc->getVisible());
    const Tools::CystIndex after = Tools::cystIndex(list.shapes, side, side);
    EXPECT_DOUBLE_EQ(after.percent, before.percent);
    EXPECT_EQ(after.regions, before.regions);
  }
}

TEST_F(CutFixture, SplitKeepsEvenATinyPiece) {
  build(0.7499);
  const Tools::ArcOutcome outcome = Tools::applyArc(list.shapes, source, RegionTools::ArcTool::Split, side, side);
  EXPECT_EQ(outcome.added.size(), 2u);
}

TEST(ArcTools, CompleteKeepsTheSecondPieceOnATie) {
  // A square with its edge midpoints, cut through the middle into two
  // mirrored halves of exactly equal area.
  ShapeList list;
  list.add(makeRegion(1, square(0.8, 0.8, 0.1)));
  regionShape* source = list.add(makeRegion(2, {{0.25, 0.25}, {0.5, 0.25}, {0.75, 0.25}, {0.75, 0.5},
                                               {0.75, 0.75}, {0.5, 0.75}, {0.25, 0.75}, {0.25, 0.5}}));
  list.add(makeArc(3, {{0.5, 0.25}, {0.5, 0.5}, {0.5, 0.75}}));
  const Tools::ArcOutcome outcome = Tools::applyArc(list.shapes, source, RegionTools::ArcTool::Complete, side, side);
  ASSERT_EQ(outcome.added.size(), 1u);
  EXPECT_EQ(outcome.added[0]->getId(), 5);
  EXPECT_EQ(outcome.added[0]->getType(), Tools::CompletionMark);
  EXPECT_EQ(source->getType(), Tools::CompletionMark);
  EXPECT_FALSE(source->getVisible());
  EXPECT_EQ(list.shapes.size(), 4u);
}

TEST(ArcTools, WorkFromTwoShapesOn) {
  ShapeList list;
  regionShape* source = list.add(makeRegion(1, circleOutline(40, 0.5, 0.5, 0.25)));
  list.add(makeArc(2, {{0.5, 0.25}, {0.5, 0.75}}));
  EXPECT_EQ(Tools::applyArc(list.shapes, source, RegionTools::ArcTool::Split, side, side).added.size(), 2u);
}

TEST(ArcTools, ArcWithoutSelectedRegionIsOnlyHidden) {
  ShapeList list;
  list.add(makeRegion(1, circleOutline(40, 0.5, 0.5, 0.25)));
  arcShape* arc = list.add(makeArc(2, {{0.5, 0.25}, {0.5, 0.75}}));
  const Tools::ArcOutcome outcome = Tools::applyArc(list.shapes, nullptr, RegionTools::ArcTool::Split, side, side);
  EXPECT_TRUE(outcome.arcTaken());
  EXPECT_EQ(outcome.source, nullptr);
  EXPECT_FALSE(arc->getVisible());
  EXPECT_EQ(list.shapes.size(), 2u);
}

TEST(Merge, HullOfTwoRegionsReplacesThem) {
  ShapeList list;
  regionShape* a = list.add(makeRegion(1, circleOutline(20, 0.3, 0.5, 0.1)));
  regionShape* b = list.add(makeRegion(2, circleOutline(20, 0.6, 0.5, 0.1)));
  regionShape* merged = Tools::merge(list.shapes, {a, b}, side, side);
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(merged->getId(), 3);
  EXPECT_EQ(merged->getType(), Tools::MergeMark);
  for (regionShape* source : {a, b}) {
    EXPECT_FALSE(source->getVisible());
    EXPECT_FALSE(source->getDeleted());
    EXPECT_EQ(source->getType(), Tools::MergeMark);
  }
  EXPECT_EQ(Tools::cystIndex(list.shapes, side, side).regions, 1);
}

// A region of a file may reach far beyond the picture; its pixels lie beyond
// the range of an int. The hull keeps such a vertex on its side of the
// picture, and the index stays a figure.
TEST(Merge, AVertexFarBeyondThePictureStaysOnItsSide) {
  ShapeList list;
  Vertices far = circleOutline(20, 0.3, 0.5, 0.1);
  far.emplace_back(5e6, 0.5);  // 5e9 pixels to the right
  regionShape* a = list.add(makeRegion(1, far));
  regionShape* b = list.add(makeRegion(2, circleOutline(20, 0.6, 0.5, 0.1)));
  regionShape* merged = Tools::merge(list.shapes, {a, b}, side, side);
  ASSERT_NE(merged, nullptr);
  double rightmost = 0;
  for (pointShape* vertex : merged->getLinePoints()) rightmost = std::max(rightmost, vertex->getX());
  EXPECT_GE(rightmost, 1e5);
  const double percent = percentOf(list.shapes);
  EXPECT_TRUE(std::isfinite(percent) && percent > 0) << percent;
}

TEST(Merge, HullTooSmallLeavesTheSourcesUntouched) {
  ShapeList list;
  regionShape* a = list.add(makeRegion(1, square(0.1, 0.1, 0.1)));
  regionShape* b = list.add(makeRegion(2, square(0.3, 0.1, 0.1)));
  EXPECT_EQ(Tools::merge(list.shapes, {a, b}, side, side), nullptr);
  for (regionShape* source : {a, b}) {
    EXPECT_TRUE(source->getVisible());
    EXPECT_EQ(source->getType(), Tools::Detected);
  }
  EXPECT_EQ(list.shapes.size(), 2u);
}

}  // namespace
