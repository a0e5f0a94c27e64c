#include "BandedRenderer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "img_parallel.h"

namespace {

// Shapes per task while their rows are found, a few tasks per thread so a
// thread that is late to start does not hold the others up.
constexpr std::size_t kTasksPerThread = 4;
// The cost of drawing a shape, in outline vertices, over that of its
// vertices: every shape costs a stroke.
constexpr double kShapeCost = 16;

bool whole(double value) { return std::isfinite(value) && value == std::floor(value); }

// Rows [first, end) from one surface of a size and format to another.
void copyRows(const Cairo::RefPtr<Cairo::ImageSurface>& from, const Cairo::RefPtr<Cairo::ImageSurface>& to, int first,
              int end) {
  const int bytes = std::min(from->get_stride(), to->get_stride());
  const unsigned char* source = from->get_data();
  unsigned char* destination = to->get_data();
  for (int row = first; row < end; ++row)
    std::memcpy(destination + static_cast<std::ptrdiff_t>(row) * to->get_stride(),
                source + static_cast<std::ptrdiff_t>(row) * from->get_stride(), bytes);
}

}  // namespace

unsigned BandedRenderer::defaultThreads() {
  return std::clamp(static_cast<unsigned>(imaging_usable_cpus()), 1u, kMaxThreads);
}

BandedRenderer::BandedRenderer(unsigned threads) : pool(threads) {}

void BandedRenderer::draw(Draw& renderer, const std::vector<baseShape*>& shapes,
                          const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX, double OffsetY) {
  std::optional<Setting> setting;
  if (pool.size() > 1 && !shapes.empty()) setting = bandable(cr);
  if (!setting) {
    renderer.drawNew(shapes, cr, scale, OffsetX, OffsetY);
    return;
  }
  const int rows = setting->endRow - setting->firstRow;
  if (rows <= 0) return;

  // Each shape's rows, found once for all the bands, and before any band
  // starts, so no band reads a shape another thread is still reading for it.
  spans.assign(shapes.size(), std::nullopt);
  costs.assign(shapes.size(), 0);
  const std::size_t tasks = std::min(shapes.size(), std::size_t{pool.size()} * kTasksPerThread);
  pool.run(tasks, [&](std::size_t task) {
    const std::size_t end = shapes.size() * (task + 1) / tasks;
    for (std::size_t i = shapes.size() * task / tasks; i < end; ++i) {
      if (shapes[i] == nullptr || !shapes[i]->getVisible()) continue;
      spans[i] = renderer.rowSpan(shapes[i], scale, OffsetY, setting->miterLimit);
      // Cairo's curves stray from the true arcs by up to its tolerance.
      if (spans[i]) *spans[i] = {spans[i]->top - setting->tolerance, spans[i]->bottom + setting->tolerance};
      costs[i] = kShapeCost;
      if (auto* region = dynamic_cast<regionShape*>(shapes[i])) costs[i] += region->getLinePoints().size();
    }
  });

  const unsigned bands = std::min(pool.size(), static_cast<unsigned>(rows));
  const std::vector<int> ends = bandEnds(*setting, bands);
  prepareBands(setting->target, bands);
  pool.run(bands, [&](std::size_t band) {
    const int first = band == 0 ? setting->firstRow : ends[band - 1];
    drawBand(renderer, shapes, *setting, band, first, ends[band], scale, OffsetX, OffsetY);
  });
  setting->target->mark_dirty();
}

std::optional<BandedRenderer::Setting> BandedRenderer::bandable(const Cairo::RefPtr<Cairo::Context>& cr) {
  Setting setting;
  setting.target = Cairo::RefPtr<Cairo::ImageSurface>::cast_dynamic(cr->get_target());
  if (!setting.target) return std::nullopt;
  cairo_surface_t* target = setting.target->cobj();
  if (cairo_surface_status(target) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_data(target) == nullptr)
    return std::nullopt;

  // Only moves by whole pixels: the bands then add whole rows, and every
  // coordinate reaches the pixels through the same arithmetic as on the
  // caller's context.
  double scaleX = 0;
  double scaleY = 0;
  cairo_surface_get_device_scale(target, &scaleX, &scaleY);
  cairo_surface_get_device_offset(target, &setting.deviceX, &setting.deviceY);
  cr->get_matrix(setting.matrix);
  const Cairo::Matrix& m = setting.matrix;
  if (scaleX != 1 || scaleY != 1 || !whole(setting.deviceX) || !whole(setting.deviceY) || m.xx != 1 || m.yy != 1 ||
      m.xy != 0 || m.yx != 0 || !whole(m.x0) || !whole(m.y0))
    return std::nullopt;

  cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr->cobj());
  const bool representable = clip->status == CAIRO_STATUS_SUCCESS;
  for (int i = 0; representable && i < clip->num_rectangles; ++i) {
    const cairo_rectangle_t& r = clip->rectangles[i];
    setting.clip.push_back({r.x, r.y, r.width, r.height});
  }
  cairo_rectangle_list_destroy(clip);
  if (!representable) return std::nullopt;
  for (const Cairo::Rectangle& r : setting.clip)
    if (!whole(r.x) || !whole(r.y) || !whole(r.width) || !whole(r.height)) return std::nullopt;

  // Pending drawing reaches the pixels before they are read.
  setting.target->flush();
  if (!paintedOn(setting.target)) return std::nullopt;

  double x1 = 0;
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
  cr->get_clip_extents(x1, y1, x2, y2);
  const double rowOfUser = m.y0 + setting.deviceY;
  const double height = setting.target->get_height();
  setting.firstRow = static_cast<int>(std::clamp(std::floor(y1 + rowOfUser), 0.0, height));
  setting.endRow = static_cast<int>(std::clamp(std::ceil(y2 + rowOfUser), 0.0, height));

  setting.op = cr->get_operator();
  setting.tolerance = cr->get_tolerance();
  setting.antialias = cr->get_antialias();
  setting.fillRule = cr->get_fill_rule();
  setting.lineWidth = cr->get_line_width();
  setting.cap = cr->get_line_cap();
  setting.join = cr->get_line_join();
  setting.miterLimit = cr->get_miter_limit();
  cr->get_dash(setting.dashes, setting.dashOffset);
  return setting;
}

std::vector<int> BandedRenderer::bandEnds(const Setting& setting, unsigned bands) const {
  // The cost of the shapes whose rows are known, each spread evenly over its
  // rows within the target's: differences first, then the cost of each row.
  const int rows = setting.endRow - setting.firstRow;
  const double rowOfUser = setting.matrix.y0 + setting.deviceY;
  std::vector<double> perRow(rows + 1, 0.0);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (!spans[i] || costs[i] == 0) continue;
    const double top = std::max(spans[i]->top + rowOfUser, static_cast<double>(setting.firstRow));
    const double bottom = std::min(spans[i]->bottom + rowOfUser, static_cast<double>(setting.endRow));
    if (!(top < bottom)) continue;
    const int first = static_cast<int>(top) - setting.firstRow;
    const int end = std::max(first + 1, static_cast<int>(std::ceil(bottom)) - setting.firstRow);
    const double share = costs[i] / (end - first);
    perRow[first] += share;
    perRow[end] -= share;
  }
  double total = 0;
  double density = 0;
  for (int row = 0; row < rows; ++row) {
    density += perRow[row];
    // A row with no shape in it still costs its copying.
    perRow[row] = density + 1;
    total += perRow[row];
  }
  // Each band ends where its share of the total is reached, and has a row.
  std::vector<int> ends(bands, setting.endRow);
  double reached = 0;
  int row = 0;
  for (unsigned band = 0; band + 1 < bands; ++band) {
    const double share = total * (band + 1) / bands;
    const int lowest = band == 0 ? 1 : ends[band - 1] - setting.firstRow + 1;
    const int highest = rows - static_cast<int>(bands - 1 - band);
    while (row < highest && (row < lowest || reached + perRow[row] <= share)) reached += perRow[row++];
    ends[band] = setting.firstRow + row;
  }
  return ends;
}

bool BandedRenderer::paintedOn(const Cairo::RefPtr<Cairo::ImageSurface>& surface) {
  // Cairo marks a surface blank only while every byte is zero, so a byte that
  // is not shows it is not marked.
  const unsigned char* data = surface->get_data();
  const std::size_t rowBytes = surface->get_stride();
  const std::size_t bytes = rowBytes * surface->get_height();
  std::size_t i = 0;
  for (; i + sizeof(std::uint64_t) <= bytes; i += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, data + i, sizeof word);
    if (word != 0) return true;
  }
  for (; i < bytes; ++i)
    if (data[i] != 0) return true;
  return false;
}

void BandedRenderer::prepareBands(const Cairo::RefPtr<Cairo::ImageSurface>& target, unsigned bands) {
  if (bandSurfaces.size() < bands) bandSurfaces.resize(bands);
  for (unsigned band = 0; band < bands; ++band) {
    Cairo::RefPtr<Cairo::ImageSurface>& surface = bandSurfaces[band];
    if (!surface || surface->get_width() != target->get_width() || surface->get_height() != target->get_height() ||
        surface->get_format() != target->get_format())
      surface = Cairo::ImageSurface::create(target->get_format(), target->get_width(), target->get_height());
  }
}

void BandedRenderer::drawBand(Draw& renderer, const std::vector<baseShape*>& shapes, const Setting& setting,
                              std::size_t band, int firstRow, int endRow, double scale, double OffsetX,
                              double OffsetY) const {
  const Cairo::RefPtr<Cairo::ImageSurface>& surface = bandSurfaces[band];
  surface->flush();
  copyRows(setting.target, surface, firstRow, endRow);
  // The band surface holds the target's pixels, so Cairo no longer takes it
  // for blank.
  surface->mark_dirty();
  surface->set_device_offset(setting.deviceX, setting.deviceY);

  {
    const auto cr = Cairo::Context::create(surface);
    cr->set_matrix(setting.matrix);
    for (const Cairo::Rectangle& r : setting.clip) cr->rectangle(r.x, r.y, r.width, r.height);
    cr->clip();
    cr->set_operator(setting.op);
    cr->set_tolerance(setting.tolerance);
    cr->set_antialias(setting.antialias);
    cr->set_fill_rule(setting.fillRule);
    cr->set_line_width(setting.lineWidth);
    cr->set_line_cap(setting.cap);
    cr->set_line_join(setting.join);
    cr->set_miter_limit(setting.miterLimit);
    cr->set_dash(setting.dashes, setting.dashOffset);

    // The band's rows in user space.
    const double rowOfUser = setting.matrix.y0 + setting.deviceY;
    const double top = firstRow - rowOfUser;
    const double bottom = endRow - rowOfUser;
    std::vector<baseShape*> inBand;
    inBand.reserve(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      const std::optional<Draw::RowSpan>& span = spans[i];
      if (span && (span->bottom < top || span->top > bottom)) continue;
      inBand.push_back(shapes[i]);
    }
    renderer.drawNew(inBand, cr, scale, OffsetX, OffsetY);
  }
  surface->flush();
  copyRows(surface, setting.target, firstRow, endRow);
}
