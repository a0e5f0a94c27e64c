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

void BM_RedrawRegions(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const int type = static_cast<int>(state.range(1));
  const double scale = state.range(2) / 10.0;
  ImageClass image("", kWindowWidth, kWindowHeight);
  DrawClassType renderer(&image);
  Preferences settings;
  renderer.setPreferences(&settings);
  const auto regions = makeRegions(count, type);
  std::vector<baseShape*> list;
  for (const auto& region : regions) list.push_back(region.get());

  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kWindowWidth, kWindowHeight);
  auto cr = Cairo::Context::create(surface);
  for (auto _ : state) {
    renderer.drawNew(list, cr, scale, 0, 0);
    surface->flush();
  }
}

void BM_RedrawRegionsInBands(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const int type = static_cast<int>(state.range(1));
  ImageClass image("", kWindowWidth, kWindowHeight);
  DrawClassType renderer(&image);
  Preferences settings;
  renderer.setPreferences(&settings);
  const auto regions = makeRegions(count, type);
  std::vector<baseShape*> list;
  for (const auto& region : regions) list.push_back(region.get());

  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kWindowWidth, kWindowHeight);
  auto cr = Cairo::Context::create(surface);
  cr->set_source_rgb(0.5, 0.5, 0.5);
  cr->paint();
  BandedRenderer bands;
  state.counters["threads"] = bands.threads();
  for (auto _ : state) {
    bands.draw(renderer, list, cr, 1, 0, 0);
    surface->flush();
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
