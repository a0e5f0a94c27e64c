// The fingerprint that tells unsaved work: every change a save would keep
// counts, selecting does not, and recording takes the state as saved.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Angle.h"
#include "Line.h"
#include "SavedShapes.h"
#include "ShapeFixtures.h"
#include "circleShape.h"
#include "pointShape.h"

namespace {

pointShape* newPoint(int id, double x, double y) {
  return new pointShape(x, y, id, true, false, false, true, 0, 0, 0);
}

// One shape of every kind, a region with an inner point among them.
void fill(ShapeList& list) {
  regionShape* region = list.add(makeRegion(1, {{0.1, 0.1}, {0.3, 0.1}, {0.3, 0.3}}));
  region->addPoint(newPoint(2, 0.2, 0.15));
  list.add(new circleShape(4.0, 0.6, 0.6, 3, true, false, false, true, 0, 0, 0));
  list.add(newPoint(4, 0.8, 0.2));
  list.add(new Line(0.1, 0.9, 0.5, 0.9, 5, true, false, false, true, 0, 0, 0));
  list.add(new Angle(newPoint(0, 0.7, 0.7), newPoint(0, 0.7, 0.8), newPoint(0, 0.8, 0.8), 6, true, false, false,
                     true, 0, 0, 0));
  list.add(makeArc(7, {{0.4, 0.4}, {0.5, 0.45}}));
}

TEST(SavedShapes, AnEmptyAnnotationIsSavedFromTheStart) {
  const SavedShapes saved;
  EXPECT_FALSE(saved.differ({}));
  ShapeList list;
  fill(list);
  EXPECT_TRUE(saved.differ(list.shapes));
}

TEST(SavedShapes, EveryChangeASaveKeepsCountsAndRecordingTakesItAsSaved) {
  struct Case {
    const char* change;
    std::function<void(ShapeList&)> apply;
  };
  const Case cases[] = {
      {"a shape drawn", [](ShapeList& l) { l.add(newPoint(9, 0.5, 0.5)); }},
      {"a shape taken off the list",
       [](ShapeList& l) {
         delete l.shapes.back();
         l.shapes.pop_back();
       }},
      {"a shape deleted", [](ShapeList& l) { l.shapes[2]->setDeleted(true); }},
      {"a shape hidden", [](ShapeList& l) { l.shapes[1]->setVisible(false); }},
      {"a class changed", [](ShapeList& l) { l.shapes[0]->setClase(2); }},
      {"the automatic class changed", [](ShapeList& l) { l.shapes[0]->setClaseAutomatic(1); }},
      {"the type changed", [](ShapeList& l) { l.shapes[1]->setType(22); }},
      {"a smaller-cell mark", [](ShapeList& l) { l.shapes[0]->setSmallerCell(1); }},
      {"renamed by a tool", [](ShapeList& l) { l.shapes[0]->setName("merge"); }},
      {"a new id", [](ShapeList& l) { l.shapes[2]->setId(12); }},
      {"a region moved", [](ShapeList& l) { l.shapes[0]->move(0.01, 0); }},
      {"a vertex added", [](ShapeList& l) { static_cast<regionShape*>(l.shapes[0])->addLinePoint(0.1, 0.3); }},
      {"an inner point marked",
       [](ShapeList& l) { static_cast<regionShape*>(l.shapes[0])->getPoints()[0]->setClase(3); }},
      {"a circle resized", [](ShapeList& l) { static_cast<circleShape*>(l.shapes[1])->setRadius(5.0); }},
      {"a point moved", [](ShapeList& l) { static_cast<pointShape*>(l.shapes[2])->setCoordinates(0.8, 0.3); }},
      {"a line end moved", [](ShapeList& l) { static_cast<Line*>(l.shapes[3])->setCoordinates(0.6, 0.9); }},
      {"an angle arm moved", [](ShapeList& l) { static_cast<Angle*>(l.shapes[4])->addPoint(0.9, 0.9, 3); }},
      {"an arc extended", [](ShapeList& l) { static_cast<arcShape*>(l.shapes[5])->addLinePoint(0.6, 0.5); }},
      {"two shapes swapped", [](ShapeList& l) { std::swap(l.shapes[1], l.shapes[2]); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    ShapeList list;
    fill(list);
    SavedShapes saved;
    saved.record(list.shapes);
    ASSERT_FALSE(saved.differ(list.shapes));
    c.apply(list);
    EXPECT_TRUE(saved.differ(list.shapes));
    saved.record(list.shapes);
    EXPECT_FALSE(saved.differ(list.shapes));
  }
}

TEST(SavedShapes, SelectingIsNoChange) {
  ShapeList list;
  fill(list);
  SavedShapes saved;
  saved.record(list.shapes);
  for (baseShape* shape : list.shapes) shape->setSelected(true);
  EXPECT_FALSE(saved.differ(list.shapes));
}

TEST(SavedShapes, EqualAnnotationsHaveOneFingerprint) {
  ShapeList one;
  ShapeList other;
  fill(one);
  fill(other);
  EXPECT_EQ(SavedShapes::fingerprint(one.shapes), SavedShapes::fingerprint(other.shapes));
}

}  // namespace
