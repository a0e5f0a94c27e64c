// Shapes drawn in bands on several threads paint exactly the bytes that one
// renderer call on one context paints: a crowded scene of overlapping
// translucent shapes of every kind, at several scales and offsets, on plain
// and on moved and clipped contexts, and contexts that cannot be cut into
// bands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <sstream>

#include "BandedRenderer.h"
#include "RenderFixtures.h"

namespace {

constexpr int kWidth = 643;
constexpr int kHeight = 487;

// Owns the shapes of the scene; `list` holds them in drawing order.
struct Scene {
  std::vector<std::unique_ptr<baseShape>> owned;
  std::vector<baseShape*> list;

  template <class Shape>
  Shape* add(std::unique_ptr<Shape> shape) {
    Shape* raw = shape.get();
    list.push_back(raw);
    owned.push_back(std::move(shape));
    return raw;
  }
};

// Hundreds of regions, dashed and solid, round and jagged, some selected,
// hidden or holding points, over and past the picture's edges, with points,
// circles, lines, angles and open outlines among them.
Scene crowdedScene() {
  std::mt19937 random(20240611);
  const auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  const auto chance = [&](double p) { return uniform(0, 1) < p; };
  const auto integer = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  Scene scene;
  for (int i = 0; i < 220; ++i) {
    auto region =
        std::make_unique<regionShape>(i + 1, !chance(0.05), chance(0.1), false, false, integer(0, 2), integer(0, 5), 0);
    const double cx = uniform(-0.05, 1.05);
    const double cy = uniform(-0.05, 1.05);
    const double radius = uniform(0.005, 0.2);
    const int vertices = integer(3, 200);
    const double jag = chance(0.3) ? 0.4 : 0.02;
    for (int v = 0; v < vertices; ++v) {
      const double angle = 2 * M_PI * v / vertices;
      const double r = radius * (1 + uniform(-jag, jag));
      region->addLinePoint(cx + r * std::cos(angle), cy + 1.3 * r * std::sin(angle));
    }
    if (chance(0.2)) {
      for (int p = integer(1, 4); p > 0; --p) {
        auto point = makePoint(cx + uniform(-radius, radius), cy + uniform(-radius, radius), integer(0, 4));
        point->setVisible(!chance(0.2));
        point->setSelected(chance(0.2));
        region->addPoint(point.release());
      }
    }
    scene.add(std::move(region));

    if (i % 4 == 0)
      scene.add(makePoint(uniform(-0.02, 1.02), uniform(-0.02, 1.02), integer(0, 4)))->setSelected(chance(0.2));
    if (i % 9 == 0)
      scene.add(makeCircle(uniform(2, 120), uniform(0, 1), uniform(0, 1), integer(0, 4)))->setSelected(chance(0.3));
    if (i % 11 == 0)
      scene.add(makeLine(uniform(0, 1), uniform(0, 1), uniform(0, 1), uniform(0, 1), integer(0, 4)))
          ->setSelected(chance(0.3));
    if (i % 13 == 0) {
      std::vector<std::pair<double, double>> places;
      for (int p = integer(1, 3); p > 0; --p) places.emplace_back(uniform(0, 1), uniform(0, 1));
      scene.add(makeAngle(places, integer(0, 3)))->setSelected(chance(0.3));
    }
    if (i % 17 == 0) {
      std::vector<std::pair<double, double>> vertices;
      for (int v = integer(2, 60); v > 0; --v) vertices.emplace_back(uniform(0, 1), uniform(0, 1));
      scene.add(makeArc(vertices));
    }
  }
  return scene;
}

// Translucent styles and class colours, so every overlap blends.
std::unique_ptr<Preferences> translucentSettings() {
  auto settings = std::make_unique<Preferences>();
  settings->getPointPreferences() = {0.1, 0.9, 0.3, 0.45, 3};
  settings->getCirclePreferences() = {0.7, 0.2, 0.9, 0.55, 4};
  settings->getRegionPreferences() = {0.9, 0.3, 0.1, 0.35, 7};
  settings->getClassPreferences() = {{0.4, 0.8, 0.2, 0.5}, {0.9, 0.1, 0.6, 0.3}, {0.1, 0.5, 0.9, 0.65}};
  return settings;
}

// A picture of opaque noise to draw over, the same every time.
Cairo::RefPtr<Cairo::ImageSurface> picture() {
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kWidth, kHeight);
  surface->flush();
  std::mt19937 random(7);
  unsigned char* data = surface->get_data();
  for (int y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * surface->get_stride());
    for (int x = 0; x < kWidth; ++x) row[x] = 0xff000000u | (random() & 0xffffffu);
  }
  surface->mark_dirty();
  return surface;
}

Cairo::RefPtr<Cairo::ImageSurface> copyOf(const Cairo::RefPtr<Cairo::ImageSurface>& surface) {
  auto copy = Cairo::ImageSurface::create(surface->get_format(), surface->get_width(), surface->get_height());
  const auto cr = Cairo::Context::create(copy);
  cr->set_operator(Cairo::OPERATOR_SOURCE);
  cr->set_source(surface, 0, 0);
  cr->paint();
  return copy;
}

::testing::AssertionResult sameBytes(const Cairo::RefPtr<Cairo::ImageSurface>& found,
                                     const Cairo::RefPtr<Cairo::ImageSurface>& expected) {
  found->flush();
  expected->flush();
  int differing = 0;
  std::ostringstream first;
  for (int y = 0; y < kHeight; ++y) {
    const unsigned char* a = found->get_data() + y * found->get_stride();
    const unsigned char* b = expected->get_data() + y * expected->get_stride();
    for (int x = 0; x < 4 * kWidth; ++x) {
      if (a[x] == b[x]) continue;
      if (differing++ == 0) first << "first at pixel (" << x / 4 << ", " << y << ")";
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " bytes differ, " << first.str();
}

// Sets up a context on the surface before the shapes are drawn.
using Preparation = std::function<void(const Cairo::RefPtr<Cairo::Context>&)>;

struct View {
  double scale;
  double offsetX;
  double offsetY;
};

const View kViews[] = {{1, 0, 0}, {0.37, 61.3, 17.8}, {2.5, -400.25, -310.5}};

// Draws the scene with one call on one context, and in bands with each
// thread count, onto copies of the same start, and compares the bytes. The
// copies get the device offset before their contexts are made.
void expectBandsPaintAsOneCall(const Scene& scene, const Cairo::RefPtr<Cairo::ImageSurface>& start,
                               const Preparation& prepare, std::initializer_list<unsigned> threadCounts,
                               double deviceX = 0, double deviceY = 0) {
  const auto settings = translucentSettings();
  for (Renderer kind : kBothRenderers) {
    ImageClass image("", 800, 600);
    auto renderer = makeRenderer(kind, &image);
    renderer->setPreferences(settings.get());
    for (const View& view : kViews) {
      const auto expected = copyOf(start);
      expected->set_device_offset(deviceX, deviceY);
      const auto cr = Cairo::Context::create(expected);
      prepare(cr);
      renderer->drawNew(scene.list, cr, view.scale, view.offsetX, view.offsetY);
      ASSERT_FALSE(sameBytes(expected, start)) << "the scene paints nothing";
      for (unsigned threads : threadCounts) {
        SCOPED_TRACE(nameOf(kind) + " at scale " + std::to_string(view.scale) + " on " + std::to_string(threads) +
                     " threads");
        const auto found = copyOf(start);
        found->set_device_offset(deviceX, deviceY);
        const auto banded = Cairo::Context::create(found);
        prepare(banded);
        BandedRenderer bands(threads);
        ASSERT_EQ(bands.threads(), threads);
        bands.draw(*renderer, scene.list, banded, view.scale, view.offsetX, view.offsetY);
        EXPECT_TRUE(sameBytes(found, expected));
      }
    }
  }
}

Cairo::RefPtr<Cairo::ImageSurface> transparent() {
  return Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kWidth, kHeight);
}

}  // namespace

TEST(BandedRendererTest, BandsPaintTheBytesOfOneCallOverAPicture) {
  const Scene scene = crowdedScene();
  expectBandsPaintAsOneCall(scene, picture(), [](const auto&) {}, {2, 3, 5, 8});
}

TEST(BandedRendererTest, BandsPaintTheBytesOfOneCallOnATransparentSurface) {
  const Scene scene = crowdedScene();
  // Transparent but for one pixel, so Cairo no longer takes it for blank.
  const auto start = transparent();
  start->flush();
  start->get_data()[4 * 20 + 3] = 0x10;
  start->mark_dirty();
  expectBandsPaintAsOneCall(scene, start, [](const auto&) {}, {2, 7});
  // Blank, as Cairo makes it.
  expectBandsPaintAsOneCall(scene, transparent(), [](const auto&) {}, {3});
}

TEST(BandedRendererTest, BandsKeepTheContextsMoveClipAndLineStyle) {
  const Scene scene = crowdedScene();
  // As a widget's context in a window: moved by whole pixels and clipped.
  expectBandsPaintAsOneCall(scene, picture(),
                            [](const Cairo::RefPtr<Cairo::Context>& cr) {
                              cr->translate(17, -9);
                              cr->rectangle(31, 40, 500, 300);
                              cr->rectangle(100, 380, 200, 60);
                              cr->clip();
                            },
                            {3, 8});
  // Line style the renderer leaves as it finds it.
  expectBandsPaintAsOneCall(scene, picture(),
                            [](const Cairo::RefPtr<Cairo::Context>& cr) {
                              cr->set_line_join(Cairo::LINE_JOIN_ROUND);
                              cr->set_miter_limit(3);
                              cr->set_tolerance(0.4);
                              cr->set_dash(std::vector<double>{9, 4}, 2);
                              cr->set_operator(Cairo::OPERATOR_ADD);
                            },
                            {4});
  // On a surface with a device offset.
  expectBandsPaintAsOneCall(
      scene, picture(), [](const auto&) {}, {5}, -12, 25);
}

// Shapes from a damaged file: far off, huge or not finite. Their rows are
// unknown or reach far past the target; the bands still paint what one call
// paints, and the drawing ends.
TEST(BandedRendererTest, FarAndNonFiniteShapesAreBandedAsOneCallDrawsThem) {
  const double inf = std::numeric_limits<double>::infinity();
  Scene scene;
  scene.add(makeRegion({{0.2, 0.2}, {0.8, 0.3}, {0.5, 0.9}}, 1));
  scene.add(makeCircle(1e300, 0.5, 0.5));
  scene.add(makeCircle(inf, 0.5, 0.5));
  scene.add(makeCircle(40, 0.5, -1e12));
  scene.add(makePoint(std::nan(""), 0.5));
  scene.add(makeRegion({{0.5, 0.5}, {-1e9, 0.6}, {0.4, 1e9}}, 0));
  scene.add(makeLine(0.1, 0.1, 1e200, -1e200));
  expectBandsPaintAsOneCall(scene, picture(), [](const auto&) {}, {4});
}

TEST(BandedRendererTest, ContextsThatCannotBeBandedAreDrawnAsOneCall) {
  const Scene scene = crowdedScene();
  // A scale, a move by part of a pixel, and a round clip.
  expectBandsPaintAsOneCall(scene, picture(), [](const auto& cr) { cr->scale(1.5, 0.75); }, {4});
  expectBandsPaintAsOneCall(scene, picture(), [](const auto& cr) { cr->translate(0.5, 0.25); }, {4});
  expectBandsPaintAsOneCall(scene, picture(),
                            [](const Cairo::RefPtr<Cairo::Context>& cr) {
                              cr->arc(300, 200, 150, 0, 2 * M_PI);
                              cr->clip();
                            },
                            {4});
  // One thread.
  expectBandsPaintAsOneCall(scene, picture(), [](const auto&) {}, {1});
}

TEST(BandedRendererTest, ARecordingIsDrawnAsOneCall) {
  const Scene scene = crowdedScene();
  const auto settings = translucentSettings();
  ImageClass image("", 800, 600);
  DrawClassType renderer(&image);
  renderer.setPreferences(settings.get());
  const auto replay = [&](bool banded) {
    const auto recording = Cairo::RecordingSurface::create();
    const auto cr = Cairo::Context::create(recording);
    BandedRenderer bands(4);
    if (banded)
      bands.draw(renderer, scene.list, cr, 1, 0, 0);
    else
      renderer.drawNew(scene.list, cr, 1, 0, 0);
    const auto result = transparent();
    const auto out = Cairo::Context::create(result);
    out->set_source(recording, 0, 0);
    out->paint();
    return result;
  };
  EXPECT_TRUE(sameBytes(replay(true), replay(false)));
}

TEST(BandedRendererTest, NothingIsDrawnWithoutAPictureSizeOrScale) {
  const Scene scene = crowdedScene();
  for (double scale : {0.0, -1.0}) {
    ImageClass image("", 800, 600);
    DrawClassType renderer(&image);
    const auto surface = picture();
    const auto before = copyOf(surface);
    BandedRenderer bands(4);
    bands.draw(renderer, scene.list, Cairo::Context::create(surface), scale, 0, 0);
    EXPECT_TRUE(sameBytes(surface, before));
  }
  ImageClass empty("", 0, 0);
  DrawClassType renderer(&empty);
  const auto surface = picture();
  const auto before = copyOf(surface);
  BandedRenderer bands(4);
  bands.draw(renderer, scene.list, Cairo::Context::create(surface), 1, 0, 0);
  EXPECT_TRUE(sameBytes(surface, before));
}
