// The plain renderer and the frame it shares with the class-coloured one:
// rings, kind colours, selection, widths, hidden shapes, open outlines, and
// drawing with no picture.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RenderFixtures.h"
#include "ViewProfile.h"

namespace {

Gdk::RGBA inverted(const Gdk::RGBA& colour) {
  return rgba(1 - colour.get_red(), 1 - colour.get_green(), 1 - colour.get_blue(), colour.get_alpha());
}

void drawOne(Draw& renderer, baseShape* shape, const SurfaceProbe& probe, double scale = 1, double offset = 0) {
  renderer.drawNew(std::vector<baseShape*>{shape}, probe.context(), scale, offset, offset);
}

}  // namespace

TEST(DrawTest, DefaultPointMarkIsATranslucentBlueRingOfRadius45AndStroke15TimesScale) {
  const Gdk::RGBA defaultPoint = rgba(0, 0, 1, 0.4);
  for (Renderer kind : kBothRenderers) {
    for (double scale : {1.0, 0.5, 2.0}) {
      SCOPED_TRACE(nameOf(kind) + " at scale " + std::to_string(scale));
      ImageClass image("", 400, 400);
      auto renderer = makeRenderer(kind, &image);
      auto point = makePoint(0.5, 0.5);
      SurfaceProbe probe(400, 400);
      drawOne(*renderer, point.get(), probe, scale, 200 - 200 * scale);  // the point at (200, 200)

      const int ring = static_cast<int>(std::lround(45 * scale));
      const int halfStroke = static_cast<int>(std::lround(7.5 * scale));
      EXPECT_TRUE(showsColour(probe, 200 + ring, 200, defaultPoint));
      EXPECT_TRUE(showsColour(probe, 200, 200 - ring, defaultPoint));
      EXPECT_TRUE(isBlank(probe, 200, 200));
      EXPECT_TRUE(isBlank(probe, 200 + ring - halfStroke - 2, 200));
      EXPECT_TRUE(isBlank(probe, 200 + ring + halfStroke + 2, 200));
    }
  }
}

TEST(DrawTest, EachKindTakesItsColourAndTheInvertedKindColourWhenSelected) {
  const Palette palette;
  struct Case {
    Kind kind;
    Gdk::RGBA plain;      // unselected under Draw
    Gdk::RGBA classType;  // unselected under DrawClassType, class 0
    Gdk::RGBA selected;   // selected, under both
  };
  const Case cases[] = {
      {Kind::Point, palette.point, palette.point, inverted(palette.point)},
      {Kind::Region, palette.region, palette.region, inverted(palette.region)},
      {Kind::Circle, palette.circle, palette.circle, inverted(palette.circle)},
      {Kind::Line, palette.region, palette.region, inverted(palette.region)},
      // The plain renderer leaves an unselected angle's arms in the point colour.
      {Kind::Angle, palette.point, palette.region, inverted(palette.region)},
      // Open outlines ignore selection and class.
      {Kind::Arc, palette.region, palette.region, palette.region},
  };
  const auto settings = paletteSettings();
  for (const Case& c : cases) {
    for (Renderer kind : kBothRenderers) {
      for (bool selected : {false, true}) {
        SCOPED_TRACE(nameOf(c.kind) + " under " + nameOf(kind) + (selected ? ", selected" : ""));
        ImageClass image("", 400, 400);
        auto renderer = makeRenderer(kind, &image);
        renderer->setPreferences(settings.get());
        ProbedShape probed = probedShape(c.kind);
        probed.shape->setSelected(selected);
        SurfaceProbe probe(400, 400);
        drawOne(*renderer, probed.shape.get(), probe);

        const Gdk::RGBA& expected = selected ? c.selected : kind == Renderer::Plain ? c.plain : c.classType;
        EXPECT_TRUE(showsColour(probe, probed.x, probed.y, expected));
      }
    }
  }
}

TEST(DrawTest, SelectionWidensCirclesAndLinesOnlyUnderThePlainRenderer) {
  // At scale 2 on a 200 x 200 image: a circle of radius 20 pixels around the
  // centre has window radius 40; a horizontal line runs at window y 200.
  // Palette widths: circles 4 image pixels, lines 6.
  struct Case {
    Renderer renderer;
    Kind kind;
    bool selected;
    int onStroke;   // distance from the stroke's middle that is painted
    int offStroke;  // and one that is not
  };
  const Case cases[] = {
      {Renderer::Plain, Kind::Circle, false, 2, 6},     // 4 x 2 window pixels
      {Renderer::Plain, Kind::Circle, true, 8, 12},     // 10 x 2
      {Renderer::ClassType, Kind::Circle, true, 2, 6},  // 4 x 2 whatever the selection
      {Renderer::Plain, Kind::Line, false, 2, 5},       // 6 window pixels, not scaled
      {Renderer::Plain, Kind::Line, true, 4, 7},        // 10 window pixels
      {Renderer::ClassType, Kind::Line, false, 5, 8},   // 6 x 2: follows the zoom
      {Renderer::ClassType, Kind::Line, true, 5, 8},
  };
  const Palette palette;
  const auto settings = paletteSettings();
  for (const Case& c : cases) {
    SCOPED_TRACE(nameOf(c.kind) + " under " + nameOf(c.renderer) + (c.selected ? ", selected" : ""));
    ImageClass image("", 200, 200);
    auto renderer = makeRenderer(c.renderer, &image);
    renderer->setPreferences(settings.get());
    std::unique_ptr<baseShape> shape;
    if (c.kind == Kind::Circle)
      shape = makeCircle(20, 0.5, 0.5);
    else
      shape = makeLine(0.1, 0.5, 0.9, 0.5);
    shape->setSelected(c.selected);
    SurfaceProbe probe(400, 400);
    drawOne(*renderer, shape.get(), probe, 2);

    const Gdk::RGBA kindColour = c.kind == Kind::Circle ? palette.circle : palette.region;
    const Gdk::RGBA expected = c.selected ? inverted(kindColour) : kindColour;
    if (c.kind == Kind::Circle) {
      EXPECT_TRUE(showsColour(probe, 240 + c.onStroke, 200, expected));
      EXPECT_TRUE(isBlank(probe, 240 + c.offStroke, 200));
    } else {
      EXPECT_TRUE(showsColour(probe, 200, 200 + c.onStroke, expected));
      EXPECT_TRUE(isBlank(probe, 200, 200 + c.offStroke));
    }
  }
}

TEST(DrawTest, HiddenShapesAndHiddenInteriorPointsAreNotDrawn) {
  const Palette palette;
  const auto settings = paletteSettings();
  for (Renderer kind : kBothRenderers) {
    SCOPED_TRACE(nameOf(kind));
    ImageClass image("", 400, 400);
    auto renderer = makeRenderer(kind, &image);
    renderer->setPreferences(settings.get());

    std::vector<std::unique_ptr<baseShape>> hidden;
    for (Kind k : {Kind::Point, Kind::Region, Kind::Circle, Kind::Line, Kind::Angle, Kind::Arc})
      hidden.push_back(std::move(probedShape(k).shape));
    auto hiddenRegion = makeRegion({{0.1, 0.1}, {0.9, 0.1}}, 1);
    hiddenRegion->addPoint(makePoint(0.5, 0.6).release());
    hidden.push_back(std::move(hiddenRegion));
    std::vector<baseShape*> list;
    for (auto& shape : hidden) {
      shape->setVisible(false);
      list.push_back(shape.get());
    }
    SurfaceProbe empty(400, 400);
    renderer->drawNew(list, empty.context(), 1, 0, 0);
    EXPECT_TRUE(empty.blankEverywhere());

    // A shown region with one shown and one hidden interior point.
    auto region = makeRegion({{0.1, 0.1}, {0.9, 0.1}}, 1);
    region->addPoint(makePoint(0.3, 0.6).release());
    auto hiddenPoint = makePoint(0.7, 0.6);
    hiddenPoint->setVisible(false);
    region->addPoint(hiddenPoint.release());
    SurfaceProbe probe(400, 400);
    drawOne(*renderer, region.get(), probe);
    EXPECT_TRUE(showsColour(probe, 200, 40, palette.region));
    EXPECT_TRUE(showsColour(probe, 120 + 15, 240, palette.point));
    EXPECT_TRUE(isBlank(probe, 280 + 15, 240));
  }
}

TEST(DrawTest, RegionOutlineIsLeftOpenBetweenItsLastAndFirstVertex) {
  const Palette palette;
  const auto settings = paletteSettings();
  for (Renderer kind : kBothRenderers) {
    SCOPED_TRACE(nameOf(kind));
    ImageClass image("", 400, 400);
    auto renderer = makeRenderer(kind, &image);
    renderer->setPreferences(settings.get());
    auto triangle = makeRegion({{0.2, 0.2}, {0.8, 0.2}, {0.8, 0.8}}, 1);
    SurfaceProbe probe(400, 400);
    drawOne(*renderer, triangle.get(), probe);

    EXPECT_TRUE(showsColour(probe, 200, 80, palette.region));
    EXPECT_TRUE(showsColour(probe, 320, 200, palette.region));
    EXPECT_TRUE(isBlank(probe, 200, 200));  // on the edge back to the first vertex
  }
}

TEST(DrawTest, CavitrasRendererClosesRegionOutlines) {
  const Palette palette;
  const auto settings = paletteSettings();
  ImageClass image("", 400, 400);
  std::unique_ptr<Draw> renderer(ViewProfile::cavitra().makeDraw(&image));
  renderer->setPreferences(settings.get());
  auto triangle = makeRegion({{0.2, 0.2}, {0.8, 0.2}, {0.8, 0.8}}, 1);
  SurfaceProbe probe(400, 400);
  drawOne(*renderer, triangle.get(), probe);

  EXPECT_TRUE(showsColour(probe, 200, 80, palette.region));
  EXPECT_TRUE(showsColour(probe, 200, 200, palette.region));  // the edge back to the first vertex
  EXPECT_TRUE(isBlank(probe, 260, 160));                      // inside: an outline, not a fill
}

// The first click of the region tool shows a round dot; the second a line.
TEST(DrawTest, CavitrasRegionOfOneOrTwoVerticesShowsADotOrALine) {
  const Palette palette;
  const auto settings = paletteSettings();
  ImageClass image("", 400, 400);
  std::unique_ptr<Draw> renderer(ViewProfile::cavitra().makeDraw(&image));
  renderer->setPreferences(settings.get());
  {
    auto dot = makeRegion({{0.5, 0.5}}, 1);
    SurfaceProbe probe(400, 400);
    drawOne(*renderer, dot.get(), probe);
    EXPECT_TRUE(showsColour(probe, 200, 200, palette.region));
    EXPECT_TRUE(isBlank(probe, 220, 200));
  }
  {
    auto line = makeRegion({{0.2, 0.5}, {0.8, 0.5}}, 1);
    SurfaceProbe probe(400, 400);
    drawOne(*renderer, line.get(), probe);
    EXPECT_TRUE(showsColour(probe, 80, 200, palette.region));
    EXPECT_TRUE(showsColour(probe, 200, 200, palette.region));
    EXPECT_TRUE(isBlank(probe, 200, 220));
  }
}

TEST(DrawTest, AnAngleWithOnlyItsFirstPointShowsOneMarkAndNoArm) {
  const Palette palette;
  const auto settings = paletteSettings();
  for (Renderer kind : kBothRenderers) {
    SCOPED_TRACE(nameOf(kind));
    ImageClass image("", 400, 400);
    auto renderer = makeRenderer(kind, &image);
    renderer->setPreferences(settings.get());
    auto angle = makeAngle({{0.25, 0.5}});
    SurfaceProbe probe(400, 400);
    drawOne(*renderer, angle.get(), probe);

    EXPECT_TRUE(showsColour(probe, 100 + 15, 200, palette.point));
    // The unplaced points wait at the origin; no mark and no arm reach them.
    EXPECT_TRUE(isBlank(probe, 50, 100));
    EXPECT_TRUE(isBlank(probe, 15, 0));
  }
}

TEST(DrawTest, NothingIsDrawnWithoutAPictureOrAPositiveScale) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    int width;
    int height;
    double scale;
  };
  const Case cases[] = {
      {"no picture", 0, 0, 1}, {"no height", 400, 0, 1}, {"zero scale", 400, 400, 0}, {"NaN scale", 400, 400, nan}};
  const auto settings = paletteSettings();
  for (const Case& c : cases) {
    for (Renderer kind : kBothRenderers) {
      SCOPED_TRACE(std::string(c.name) + " under " + nameOf(kind));
      ImageClass image("", c.width, c.height);
      auto renderer = makeRenderer(kind, &image);
      renderer->setPreferences(settings.get());
      std::vector<std::unique_ptr<baseShape>> shapes;
      for (Kind k : {Kind::Point, Kind::Region, Kind::Circle, Kind::Line, Kind::Angle, Kind::Arc})
        shapes.push_back(std::move(probedShape(k).shape));
      shapes.push_back(makeRegion({{0.1, 0.1}, {0.9, 0.1}}, 0));  // dashed under DrawClassType
      std::vector<baseShape*> list;
      for (auto& shape : shapes) list.push_back(shape.get());
      SurfaceProbe probe(400, 400);
      renderer->drawNew(list, probe.context(), c.scale, 0, 0);

      EXPECT_TRUE(probe.blankEverywhere());
      EXPECT_EQ(cairo_status(probe.context()->cobj()), CAIRO_STATUS_SUCCESS);
    }
  }
}

// Shapes read from a damaged file may lie anywhere or have no size at all:
// Cairo is handed nothing beyond two picture widths left and right of the
// picture and two heights above and below it, the parts of outlines and lines
// inside that reach are still drawn, and shapes whose place or size is not
// finite, or that lie beyond it, are left out.
TEST(DrawTest, DrawingStaysWithinTwoPictureSizesAroundThePicture) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    std::unique_ptr<baseShape> shape;
    bool drawn;
  };
  Case cases[] = {
      {"circle of radius 1e7 around the picture", makeCircle(1e7, 0.5, 0.5), false},
      {"circle of infinite radius", makeCircle(inf, 0.5, 0.5), false},
      {"circle of radius NaN", makeCircle(nan, 0.5, 0.5), false},
      {"circle 1e5 pictures away", makeCircle(10, 1e5, 0.5), false},
      {"point 1e5 pictures away", makePoint(0.5, -1e5), false},
      {"point at NaN", makePoint(nan, 0.5), false},
      {"region with a vertex 1e7 pictures away", makeRegion({{0.5, 0.5}, {-1e7, 0.5}, {0.5, 0.8}}, 1), true},
      {"region with an infinite vertex", makeRegion({{0.2, 0.2}, {inf, 0.5}, {0.8, 0.8}}, 1), true},
      {"dashed region with a vertex 1e5 pictures away", makeRegion({{0.5, 0.5}, {1e5, 0.5}}, 0), true},
      {"line to 1e100", makeLine(0.5, 0.5, 1e100, 1e100), true},
      {"arc with a vertex 1e9 pictures away", makeArc({{0.5, 0.5}, {0.5, -1e9}}), true},
      {"angle with an arm 1e9 pictures long", makeAngle({{0.5, 0.5}, {0.5, 0.2}, {1e9, 0.2}}), true},
  };
  // A picture of 100 x 80 at scale 1: the reach is [-200, 300] x [-160, 240],
  // with room for half a stroke and its caps.
  const double margin = 10;
  const auto settings = paletteSettings();
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImageClass image("", 100, 80);
    DrawClassType renderer(&image);
    renderer.setPreferences(settings.get());
    const auto recording =
        Cairo::RefPtr<Cairo::Surface>(new Cairo::Surface(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA,
                                                                                         nullptr), true));
    const auto cr = Cairo::Context::create(recording);
    renderer.drawNew(std::vector<baseShape*>{c.shape.get()}, cr, 1, 0, 0);
    EXPECT_EQ(cairo_status(cr->cobj()), CAIRO_STATUS_SUCCESS);

    double x = 0, y = 0, width = 0, height = 0;
    cairo_recording_surface_ink_extents(recording->cobj(), &x, &y, &width, &height);
    EXPECT_EQ(width > 0, c.drawn);
    if (width == 0) continue;
    EXPECT_GE(x, -200 - margin);
    EXPECT_GE(y, -160 - margin);
    EXPECT_LE(x + width, 300 + margin);
    EXPECT_LE(y + height, 240 + margin);
  }
}

TEST(DrawTest, OneShapeDrawnAtScaleZeroLeavesTheContextUsable) {
  ImageClass image("", 400, 400);
  DrawClassType renderer(&image);
  auto dashed = makeRegion({{0.1, 0.1}, {0.9, 0.1}}, 0);
  auto circle = makeCircle(50, 0.5, 0.5);
  SurfaceProbe probe(400, 400);
  renderer.drawNew(dashed.get(), probe.context(), 0, 0, 0);
  renderer.drawNew(circle.get(), probe.context(), 0, 0, 0);
  EXPECT_EQ(cairo_status(probe.context()->cobj()), CAIRO_STATUS_SUCCESS);
}

TEST(DrawTest, NullImageRecordMeansNoPicture) {
  Draw renderer(nullptr);
  auto point = makePoint(0.5, 0.5);
  SurfaceProbe probe(400, 400);
  drawOne(renderer, point.get(), probe);
  EXPECT_TRUE(probe.blankEverywhere());

  ImageClass image("", 400, 400);
  renderer.setImage(&image);
  drawOne(renderer, point.get(), probe);
  EXPECT_FALSE(probe.blankEverywhere());
}

TEST(DrawTest, SettingsStylesAreTakenOnlyWhenTheyHoldFiveNumbers) {
  for (std::size_t length : {0u, 4u, 6u}) {
    SCOPED_TRACE("point style of " + std::to_string(length) + " numbers");
    Preferences settings;
    settings.getPointPreferences().assign(length, 0.5);
    settings.getCirclePreferences() = {0.1, 0.2, 0.3, 0.4, 7};  // blue, red, green, alpha, width
    ImageClass image("", 400, 400);
    Draw renderer(&image);
    renderer.setPreferences(&settings);

    EXPECT_TRUE(sameColour(renderer.getColorPoint(), rgba(0, 0, 1, 0.4)));
    EXPECT_FLOAT_EQ(renderer.getLinewWidthPoint(), 15);
    EXPECT_TRUE(sameColour(renderer.getColorCircle(), rgba(0.2, 0.3, 0.1, 0.4)));
    EXPECT_FLOAT_EQ(renderer.getLineWidthCircle(), 7);
  }
}

TEST(DrawTest, WidthSettersTakeAStyleWidthAndPointColoursStayTranslucent) {
  ImageClass image("", 400, 400);
  Draw renderer(&image);
  renderer.setLineWidthCircle(3);
  renderer.setLinewWidthPoint(3);
  renderer.setLineWidthFreeHand(3);
  EXPECT_FLOAT_EQ(renderer.getLineWidthCircle(), 11);
  EXPECT_FLOAT_EQ(renderer.getLinewWidthPoint(), 11);
  EXPECT_FLOAT_EQ(renderer.getLineWidthFreeHand(), 14);

  renderer.setColorPoint(rgba(0.2, 0.3, 0.4, 1));
  renderer.setColorFreeHand(rgba(0.2, 0.3, 0.4, 0.9));
  EXPECT_TRUE(sameColour(renderer.getColorPoint(), rgba(0.2, 0.3, 0.4, 0.4)));
  EXPECT_TRUE(sameColour(renderer.getColorFreeHand(), rgba(0.2, 0.3, 0.4, 0.9)));
  EXPECT_TRUE(sameColour(renderer.getOposite(rgba(0.2, 0.3, 0.4, 0.7)), rgba(0.8, 0.7, 0.6, 0.7)));
}
