#include <benchmark/benchmark.h>
#include <gdk/gdk.h>
#include <gdkmm/wrap_init.h>
#include <giomm/init.h>
#include <glibmm/init.h>

#include <cmath>
#include <vector>

#include "BandedRenderer.h"
#include "CanvasEditor.h"
#include "CanvasPainter.h"
#include "DrawClassType.h"
#include "ProgramProfile.h"

namespace {

constexpr int kWindowWidth = 1920;
constexpr int kWindowHeight = 1080;

// A round region of `vertices` vertices centred at (cx, cy), image fractions.
regionShape* roundRegion(double cx, double cy, double radius, int vertices, int id) {
  auto* region = new regionShape(id, true, false, false, false, 0, 1, 0);
  for (int i = 0; i < vertices; ++i) {
    const double angle = 2 * M_PI * i / vertices;
    region->addLinePoint(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
  }
  return region;
}

// `count` regions on a square grid between image fractions 0.05 and 0.95.
std::vector<baseShape*> regionGrid(int count, int vertices) {
  std::vector<baseShape*> shapes;
  const int side = static_cast<int>(std::ceil(std::sqrt(count)));
  const double cell = 0.9 / side;
  for (int i = 0; i < count; ++i) {
    const double cx = 0.05 + (i % side + 0.5) * cell;
    const double cy = 0.05 + (i / side + 0.5) * cell;
    shapes.push_back(roundRegion(cx, cy, 0.4 * cell, vertices, i + 1));
  }
  return shapes;
}

Glib::RefPtr<Gdk::Pixbuf> picture(int side) {
  auto pixbuf = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, side, side);
  pixbuf->fill(0x80604000);
  return pixbuf;
}

// One frame of the canvas at 1920 x 1080 in fit mode: the visible part of the
// picture, then every shape in bands. Arguments: picture side in pixels,
// regions, threads (0: as many as the canvas takes on this machine).
void BM_FullRedraw(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const Glib::RefPtr<Gdk::Pixbuf> image = picture(side);
  ImageClass record("bench.ppm", side, side);
  DrawClassType renderer(&record);
  CanvasEditor canvas(ProgramProfile::lumora().canvas);
  canvas.showNewPicture(side, side);
  canvas.setPolygonsModel(regionGrid(static_cast<int>(state.range(1)), 500));
  CanvasPainter painter;
  const unsigned threads =
      state.range(2) > 0 ? static_cast<unsigned>(state.range(2)) : BandedRenderer::defaultThreads();
  BandedRenderer bands(threads);
  state.counters["threads"] = threads;
  const auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, kWindowWidth, kWindowHeight);
  const auto cr = Cairo::Context::create(surface);
  for (auto _ : state) {
    canvas.prepareFrame(kWindowWidth, kWindowHeight);
    const CanvasView& view = canvas.getView();
    painter.paintPicture(cr, image, view);
    bands.draw(renderer, canvas.getPolygonsNew(), cr, view.getScale(), view.getOffsetX(), view.getOffsetY());
    surface->flush();
  }
  canvas.polygonsClear();
}
BENCHMARK(BM_FullRedraw)
    ->ArgNames({"side", "regions", "threads"})
    ->ArgsProduct({{1000, 8000}, {0, 100, 1000}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

// Box selection over the whole picture, then Delete, with 10,000 regions.
void BM_SelectAllThenDelete(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    CanvasEditor canvas(ProgramProfile::lumora().canvas);
    canvas.setAllocation(1000, 1000);
    canvas.showNewPicture(1000, 1000);
    canvas.prepareFrame(1000, 1000);
    canvas.setPolygonsModel(regionGrid(count, 8));
    canvas.setButtonSelectRectangle(true);
    state.ResumeTiming();

    canvas.pressButton(1, 10, 10);
    canvas.movePointer(990, 990);
    canvas.releaseButton(1, 990, 990);
    canvas.pressKey(GDK_KEY_Delete, 0);

    state.PauseTiming();
    if (canvas.getHistory().getUndoList().size() != static_cast<std::size_t>(count))
      state.SkipWithError("not every region was deleted");
    canvas.polygonsClear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SelectAllThenDelete)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  Glib::init();
  Gio::init();
  Gdk::wrap_init();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
