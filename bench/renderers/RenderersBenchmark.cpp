// One full redraw of the annotation by the class-coloured renderer into a
// 1920 x 1080 window: 0, 100 and 1,000 regions of 500 vertices, solid (type 1)
// and dashed (type 0), with the image filling the window (zoom 10 = scale 1);
// and 1,000 regions zoomed out (scale 0.1) and in (scale 2, most regions
// outside the window). The picture under the shapes is not part of this.
// The same in bands on as many threads as the canvas takes, over a grey
// window.
#include <benchmark/benchmark.h>
#include <cairomm/context.h>
#include <cairomm/surface.h>

#include <cmath>
#include <memory>
#include <vector>

#include "BandedRenderer.h"
#include "DrawClassType.h"
#include "ImageClass.h"
#include "Preferences.h"
#include "regionShape.h"

namespace {

constexpr int kWindowWidth = 1920;
constexpr int kWindowHeight = 1080;
constexpr int kVertices = 500;

// Round regions of radius 40 pixels with centres spread over the whole image,
// as a detection result would be.
std::vector<std::unique_ptr<regionShape>> makeRegions(int count, int type) {
  std::vector<std::unique_ptr<regionShape>> regions;
  const int columns = 40;
  for (int i = 0; i < count; ++i) {
    auto region = std::make_unique<regionShape>(i + 1, true, false, false, false, type, i % 4, 0);
    const double centreX = (i % columns + 0.5) / columns;
    const double centreY = ((i / columns) % 25 + 0.5) / 25;
    for (int v = 0; v < kVertices; ++v) {
      const double angle = 2 * 3.14159265358979 * v / kVertices;
      region->addLinePoint(centreX + 40 * std::cos(angle) / kWindowWidth,
                           centreY + 40 * std::sin(angle) / kWindowHeight);
    }
    regions.push_back(std::move(region));
  }
  return regions;
}

// The class-coloured renderer with the default settings over a window-sized
// image, and `count` regions of the given type to draw into a window surface.
struct Scene {
  Scene(int count, int type) : regions(makeRegions(count, type)) {
    renderer.setPreferences(&settings);
    for (const auto& region : regions) list.push_back(region.get());
  }

  ImageClass image{"", kWindowWidth, kWindowHeight};
  DrawClassType renderer{&image};
  Preferences settings;
  std::vector<std::unique_ptr<regionShape>> regions;
  std::vector<baseShape*> list;
  Cairo::RefPtr<Cairo::ImageSurface> surface =
      Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kWindowWidth, kWindowHeight);
  Cairo::RefPtr<Cairo::Context> cr = Cairo::Context::create(surface);
};

void BM_RedrawRegions(benchmark::State& state) {
  const double scale = state.range(2) / 10.0;
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    scene.renderer.drawNew(scene.list, scene.cr, scale, 0, 0);
    scene.surface->flush();
  }
}

void BM_RedrawRegionsInBands(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  scene.cr->set_source_rgb(0.5, 0.5, 0.5);
  scene.cr->paint();
  BandedRenderer bands;
  state.counters["threads"] = bands.threads();
  for (auto _ : state) {
    bands.draw(scene.renderer, scene.list, scene.cr, 1, 0, 0);
    scene.surface->flush();
  }
}

}  // namespace

BENCHMARK(BM_RedrawRegionsInBands)
    ->ArgNames({"regions", "type"})
    ->ArgsProduct({{100, 1000}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_RedrawRegions)
    ->ArgNames({"regions", "type", "zoom"})
    ->ArgsProduct({{0, 100, 1000}, {1, 0}, {10}})
    ->Args({1000, 1, 1})
    ->Args({1000, 1, 20})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
