// Outlines passed to Cairo without the vertices too close together to show:
// the path shrinks with the outline's size on screen, the picture does not
// change, and dashes stay where Cairo's own dashing puts them.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "OutlinePath.h"
#include "RenderFixtures.h"

namespace {

constexpr double kPi = 3.14159265358979;
constexpr int kSide = 400;

struct Vertex {
  double x;
  double y;
};

// A closed-looking round outline of `count` vertices around the centre of a
// 400 x 400 window, its radius waving by `wave` pixels seven times round and
// each vertex jittered by up to `jitter` pixels.
std::vector<Vertex> roundOutline(int count, double radius, double wave, double jitter) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> shake(-jitter, jitter);
  std::vector<Vertex> outline;
  for (int i = 0; i < count; ++i) {
    const double angle = 2 * kPi * i / count;
    const double r = radius + wave * std::sin(7 * angle);
    outline.push_back(
        {kSide / 2 + r * std::cos(angle) + shake(random), kSide / 2 + r * std::sin(angle) + shake(random)});
  }
  return outline;
}

struct PathCount {
  int moves = 0;
  int lines = 0;
};

PathCount countPath(const Cairo::RefPtr<Cairo::Context>& cr) {
  PathCount count;
  cairo_path_t* path = cairo_copy_path(cr->cobj());
  for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
    if (path->data[i].header.type == CAIRO_PATH_MOVE_TO) ++count.moves;
    if (path->data[i].header.type == CAIRO_PATH_LINE_TO) ++count.lines;
  }
  cairo_path_destroy(path);
  return count;
}

void traceThrough(OutlinePath& path, const std::vector<Vertex>& outline) {
  path.moveTo(outline.front().x, outline.front().y);
  for (std::size_t i = 1; i < outline.size(); ++i) path.lineTo(outline[i].x, outline[i].y);
  path.finish();
}

// How far apart two renders are: the largest difference of any channel of
// any pixel, in 8-bit steps, and the overlap of the painted areas: the sum
// over pixels of the smaller opacity over the sum of the larger.
struct Difference {
  int largest = 0;
  double overlap = 0;
};

Difference compare(const Cairo::RefPtr<Cairo::ImageSurface>& a, const Cairo::RefPtr<Cairo::ImageSurface>& b) {
  a->flush();
  b->flush();
  Difference difference;
  long both = 0;
  long either = 0;
  for (int y = 0; y < a->get_height(); ++y) {
    const unsigned char* rowA = a->get_data() + y * a->get_stride();
    const unsigned char* rowB = b->get_data() + y * b->get_stride();
    for (int x = 0; x < a->get_width(); ++x) {
      for (int channel = 0; channel < 4; ++channel)
        difference.largest = std::max(difference.largest, std::abs(rowA[4 * x + channel] - rowB[4 * x + channel]));
      both += std::min(rowA[4 * x + 3], rowB[4 * x + 3]);
      either += std::max(rowA[4 * x + 3], rowB[4 * x + 3]);
    }
  }
  difference.overlap = either > 0 ? static_cast<double>(both) / either : 1;
  return difference;
}

}  // namespace

TEST(OutlinePathTest, ADenseOutlineBecomesAsFewSegmentsAsItsSizeOnScreenNeeds) {
  // Radius 50: vertices 0.08 pixels apart, then 0.8 pixels apart.
  for (int count : {4000, 400}) {
    SCOPED_TRACE(std::to_string(count) + " vertices");
    const auto outline = roundOutline(count, 50, 0, 0);
    SurfaceProbe probe(kSide, kSide);
    OutlinePath path(probe.context());
    traceThrough(path, outline);
    const PathCount traced = countPath(probe.context());
    EXPECT_EQ(traced.moves, 1);
    // Chords whose middle is 0.05 pixels off a circle of radius 50 are about
    // 4.5 pixels long: some seventy to go round.
    EXPECT_GE(traced.lines, 40);
    EXPECT_LE(traced.lines, 110);
  }
}

TEST(OutlinePathTest, VerticesThatShowAreAllKeptAndTheEndsAlways) {
  SurfaceProbe probe(kSide, kSide);
  const Cairo::RefPtr<Cairo::Context>& cr = probe.context();
  // A staircase of one-pixel steps, then a sharp corner made of vertices a
  // tenth of a pixel apart, ending on a vertex just past the last one kept.
  std::vector<Vertex> outline;
  for (int step = 0; step < 10; ++step) {
    outline.push_back({100.0 + step, 100.0 + step});
    outline.push_back({101.0 + step, 100.0 + step});
  }
  for (int i = 1; i <= 100; ++i) outline.push_back({110 + 0.1 * i, 110});
  for (int i = 1; i <= 100; ++i) outline.push_back({120, 110 + 0.1 * i});
  outline.push_back({120, 120.01});
  OutlinePath path(cr);
  traceThrough(path, outline);

  std::vector<Vertex> kept;
  cairo_path_t* traced = cairo_copy_path(cr->cobj());
  for (int i = 0; i < traced->num_data; i += traced->data[i].header.length)
    kept.push_back({traced->data[i + 1].point.x, traced->data[i + 1].point.y});
  cairo_path_destroy(traced);

  ASSERT_GE(kept.size(), 22u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_DOUBLE_EQ(kept[i].x, outline[i].x) << i;
    EXPECT_DOUBLE_EQ(kept[i].y, outline[i].y) << i;
  }
  // The corner, or a vertex within the tolerance of it.
  EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [](const Vertex& v) {
    return std::hypot(v.x - 120, v.y - 110) <= OutlinePath::kTolerance + 1e-9;
  }));
  // Cairo keeps coordinates in 1/256 of a pixel.
  EXPECT_NEAR(kept.back().x, 120, 1 / 256.0);
  EXPECT_NEAR(kept.back().y, 120.01, 1 / 256.0);
  EXPECT_LE(kept.size(), 24u);
}

TEST(OutlinePathTest, EachDashIsASubPathOfItsOwn) {
  // A straight outline 400 pixels long, dashes 50 on and 50 off starting 15
  // into the pattern: on over [0, 35), then from 85, 185, 285 and 385.
  SurfaceProbe probe(kSide, kSide);
  OutlinePath path(probe.context());
  path.setDash(50, 50, 15);
  std::vector<Vertex> outline;
  for (int i = 0; i <= 4000; ++i) outline.push_back({0.1 * i, 200});
  traceThrough(path, outline);
  const PathCount traced = countPath(probe.context());
  EXPECT_EQ(traced.moves, 5);
  EXPECT_EQ(traced.lines, 5);
}

TEST(OutlinePathTest, PatternsOfNoLengthLeaveTheOutlineSolid) {
  for (const auto& [on, off] : {std::pair{0.0, 0.0}, std::pair{-5.0, 10.0}}) {
    SurfaceProbe probe(kSide, kSide);
    OutlinePath path(probe.context());
    path.setDash(on, off, 15);
    traceThrough(path, {{10, 10}, {390, 10}});
    const PathCount traced = countPath(probe.context());
    EXPECT_EQ(traced.moves, 1);
    EXPECT_EQ(traced.lines, 1);
  }
}

TEST(OutlinePathTest, RegionsLookAsWithEveryVertexPassedToCairo) {
  // The renderer's stroke of dense outlines against Cairo's own stroke of
  // every vertex, with Cairo's own dashing: smooth, wavy, jittered (sharp
  // mitres at every vertex) and sparse outlines, solid and dashed, at two
  // zooms. Edges may move by the tolerance, so a pixel's opacity by some
  // tenth; the painted areas overlap all but a few hundredths.
  //
  // Jittered outlines are compared solid only: where a dash ends a fraction
  // of a pixel past a sharp turn, Cairo's dashing of the whole outline and its
  // stroking of that dash alone disagree on the mitre, every vertex kept.
  struct Case {
    const char* name;
    int vertices;
    double wave;
    double jitter;
    std::vector<int> types;
  };
  const Case cases[] = {
      {"smooth", 3000, 0, 0, {1, 0}},
      {"wavy", 3000, 8, 0, {1, 0}},
      {"jittered", 3000, 0, 0.3, {1}},
      {"sparse", 60, 5, 0, {1, 0}},
  };
  const Palette palette;
  const auto settings = paletteSettings();
  for (const Case& c : cases) {
    for (int type : c.types) {
      for (double scale : {1.0, 0.5}) {
        SCOPED_TRACE(std::string(c.name) + (type == 0 ? ", dashed" : ", solid") + " at scale " + std::to_string(scale));
        const int side = static_cast<int>(kSide / scale);
        ImageClass image("", side, side);
        DrawClassType renderer(&image);
        renderer.setPreferences(settings.get());
        const auto outline = roundOutline(c.vertices, 120, c.wave, c.jitter);
        std::vector<std::pair<double, double>> fractions;
        for (const Vertex& v : outline) fractions.emplace_back(v.x / kSide, v.y / kSide);
        auto region = makeRegion(fractions, type);
        auto drawn = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kSide, kSide);
        renderer.drawNew(std::vector<baseShape*>{region.get()}, Cairo::Context::create(drawn), scale, 0, 0);

        auto expected = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kSide, kSide);
        auto cr = Cairo::Context::create(expected);
        cr->set_source_rgba(palette.region.get_red(), palette.region.get_green(), palette.region.get_blue(), 1);
        cr->set_line_width(6 * scale);
        cr->set_line_cap(Cairo::LINE_CAP_ROUND);
        if (type == 0) cr->set_dash(std::vector<double>{50 * scale, 50 * scale}, 15);
        cr->move_to(outline.front().x, outline.front().y);
        for (const Vertex& v : outline) cr->line_to(v.x, v.y);
        cr->stroke();

        const Difference difference = compare(drawn, expected);
        EXPECT_LE(difference.largest, 38);
        EXPECT_GE(difference.overlap, 0.975);
      }
    }
  }
}
