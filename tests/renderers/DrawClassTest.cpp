// The class-coloured renderer: class colours from the settings, the kind
// colour for classes outside the table, and dashed outlines of type-0 regions.
#include <gtest/gtest.h>

#include <cmath>

#include "RenderFixtures.h"

namespace {

Gdk::RGBA inverted(const Gdk::RGBA& colour) {
  return rgba(1 - colour.get_red(), 1 - colour.get_green(), 1 - colour.get_blue(), colour.get_alpha());
}

void drawOne(Draw& renderer, baseShape* shape, const SurfaceProbe& probe, double scale = 1) {
  renderer.drawNew(std::vector<baseShape*>{shape}, probe.context(), scale, 0, 0);
}

// Whether the ring of radius 15 around (x, y) is painted all the way round.
::testing::AssertionResult wholeRing(const SurfaceProbe& probe, int x, int y, const Gdk::RGBA& colour) {
  for (int step = 0; step < 16; ++step) {
    const double angle = step * 3.14159265358979 / 8;
    const auto result = showsColour(probe, x + static_cast<int>(std::lround(15 * std::cos(angle))),
                                    y + static_cast<int>(std::lround(15 * std::sin(angle))), colour);
    if (!result) return result;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(DrawClassTest, ClassNumberPicksItsColourAndOneOutsideTheTableKeepsTheKindColour) {
  const Palette palette;
  struct Case {
    Kind kind;
    int clase;
    bool selected;
    Gdk::RGBA expected;
  };
  const Case cases[] = {
      {Kind::Region, 0, false, palette.region},
      {Kind::Region, 1, false, palette.classes[0]},
      {Kind::Region, 2, false, palette.classes[1]},
      {Kind::Region, 3, false, palette.classes[2]},
      {Kind::Region, 4, false, palette.region},  // one past the three colours
      {Kind::Region, 1000, false, palette.region},
      {Kind::Region, -1, false, palette.region},
      // Selected: the inverted kind colour, not the inverted class colour.
      {Kind::Region, 2, true, inverted(palette.region)},
      {Kind::Point, 3, false, palette.classes[2]},
      {Kind::Point, 7, false, palette.point},
      {Kind::Point, 1, true, inverted(palette.point)},
      {Kind::Circle, 2, false, palette.classes[1]},
      {Kind::Circle, 4, false, palette.circle},
      {Kind::Line, 1, false, palette.classes[0]},
      {Kind::Line, 9, false, palette.region},
      {Kind::Angle, 2, false, palette.classes[1]},
      {Kind::Angle, 5, false, palette.region},
  };
  const auto settings = paletteSettings();
  for (const Case& c : cases) {
    SCOPED_TRACE(nameOf(c.kind) + " of class " + std::to_string(c.clase) + (c.selected ? ", selected" : ""));
    ImageClass image("", 400, 400);
    DrawClassType renderer(&image);
    renderer.setPreferences(settings.get());
    ProbedShape probed = probedShape(c.kind, c.clase);
    probed.shape->setSelected(c.selected);
    SurfaceProbe probe(400, 400);
    drawOne(renderer, probed.shape.get(), probe);
    EXPECT_TRUE(showsColour(probe, probed.x, probed.y, c.expected));
  }
}

TEST(DrawClassTest, EachSettingsReplaceTheClassColoursWhole) {
  const Palette palette;
  ImageClass image("", 400, 400);
  DrawClassType renderer(&image);
  auto classOne = probedShape(Kind::Region, 1);
  auto classTwo = probedShape(Kind::Region, 2);

  // Before any settings the table is empty: every class keeps the kind colour.
  SurfaceProbe before(400, 400);
  drawOne(renderer, classOne.shape.get(), before);
  EXPECT_TRUE(showsColour(before, classOne.x, classOne.y, rgba(0, 0, 1, 1)));

  auto settings = paletteSettings();
  renderer.setPreferences(settings.get());
  settings->getClassPreferences() = {{0, 0, 1, 1}};  // one class, green
  renderer.setPreferences(settings.get());

  SurfaceProbe one(400, 400);
  drawOne(renderer, classOne.shape.get(), one);
  EXPECT_TRUE(showsColour(one, classOne.x, classOne.y, rgba(0, 1, 0, 1)));
  SurfaceProbe two(400, 400);
  drawOne(renderer, classTwo.shape.get(), two);
  EXPECT_TRUE(showsColour(two, classTwo.x, classTwo.y, palette.region));
}

TEST(DrawClassTest, InteriorPointsAndAngleMarksKeepTheirOwnClass) {
  const Palette palette;
  const auto settings = paletteSettings();
  ImageClass image("", 400, 400);
  DrawClassType renderer(&image);
  renderer.setPreferences(settings.get());

  auto region = makeRegion({{0.1, 0.1}, {0.9, 0.1}}, 1, 2);
  region->addPoint(makePoint(0.3, 0.6, 0).release());
  region->addPoint(makePoint(0.7, 0.6, 1).release());
  auto angle = makeAngle({{0.1, 0.9}, {0.5, 0.9}}, 3);
  SurfaceProbe probe(400, 400);
  renderer.drawNew(std::vector<baseShape*>{region.get(), angle.get()}, probe.context(), 1, 0, 0);

  EXPECT_TRUE(showsColour(probe, 200, 40, palette.classes[1]));
  EXPECT_TRUE(wholeRing(probe, 120, 240, palette.point));
  EXPECT_TRUE(wholeRing(probe, 280, 240, palette.classes[0]));
  EXPECT_TRUE(showsColour(probe, 120, 360, palette.classes[2]));  // the arm
  EXPECT_TRUE(showsColour(probe, 40, 360 - 15, palette.point));   // the first point's mark
}

TEST(DrawClassTest, OutlinesOfTypeZeroAreDashedFiftyOnFiftyOffScaledByTheZoom) {
  // A horizontal outline from window x 40 at window y 200. The dash offset 15
  // is not scaled: at scale 1 the stroke is on over [0, 35), off over
  // [35, 85), on over [85, 135) from the start; at scale 0.5 on over [0, 10),
  // off over [10, 35), on over [35, 60), off over [60, 85).
  struct Case {
    double scale;
    int type;
    std::vector<int> painted;
    std::vector<int> gaps;
  };
  const Case cases[] = {
      {1, 0, {17, 110}, {60, 160}},
      {0.5, 0, {5, 38, 47}, {14, 22, 72}},
      {1, 1, {17, 60, 110, 160}, {}},
      {0.5, 2, {5, 14, 22, 38, 47, 72}, {}},
  };
  const Palette palette;
  const auto settings = paletteSettings();
  for (const Case& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type) + " at scale " + std::to_string(c.scale));
    const int side = static_cast<int>(400 / c.scale);
    ImageClass image("", side, side);
    DrawClassType renderer(&image);
    renderer.setPreferences(settings.get());
    auto region = makeRegion({{0.1, 0.5}, {0.9, 0.5}}, c.type);
    SurfaceProbe probe(400, 400);
    drawOne(renderer, region.get(), probe, c.scale);

    for (int along : c.painted) EXPECT_TRUE(showsColour(probe, 40 + along, 200, palette.region)) << along;
    for (int along : c.gaps) EXPECT_TRUE(isBlank(probe, 40 + along, 200)) << along;
  }
}

TEST(DrawClassTest, InteriorPointsOfATypeZeroRegionAreSolidRings) {
  // With an outline and without one: the dash never reaches the points.
  const Palette palette;
  const auto settings = paletteSettings();
  for (bool withOutline : {true, false}) {
    SCOPED_TRACE(withOutline ? "with an outline" : "with an empty outline");
    ImageClass image("", 400, 400);
    DrawClassType renderer(&image);
    renderer.setPreferences(settings.get());
    auto region = withOutline ? makeRegion({{0.1, 0.1}, {0.9, 0.1}}, 0) : makeRegion({}, 0);
    region->addPoint(makePoint(0.5, 0.6).release());
    SurfaceProbe probe(400, 400);
    drawOne(renderer, region.get(), probe);
    EXPECT_TRUE(wholeRing(probe, 200, 240, palette.point));
  }
}
