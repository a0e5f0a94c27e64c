#ifndef BANDEDRENDERER_H
#define BANDEDRENDERER_H

#include <cairomm/context.h>
#include <cairomm/surface.h>

#include <optional>
#include <vector>

#include "Draw.h"
#include "WorkerPool.h"
#include "baseShape.h"

// Draws a shape list through a renderer as Draw::drawNew does, byte for
// byte, but on several threads: the rows a context may paint are cut into
// horizontal bands, one per thread. Each band copies its rows of the target
// into a surface of its own of the target's size, draws there every shape
// that can reach those rows (Draw::rowSpan) in the list's order, and copies
// the rows back.
//
// Why a whole surface per band rather than a band-sized one or a clip:
// Cairo builds a stroke's outline against the bounds of the surface and its
// clip, so a stroke cut by a band's edge comes out a little different. On a
// surface of the same size, with the same clip, every stroke is made as on
// the target, and only the rows of other bands, which are thrown away, hold
// anything else.
//
// Bands need an image surface they can address, and one Cairo knows is not
// blank (on a blank surface Cairo takes a shortcut for the first stroke): a
// context on any other surface, on a surface of nothing but zero bytes, with
// a clip that is not a set of pixel rectangles or a transformation that is
// more than a move by whole pixels is drawn on directly, on the calling
// thread, as it is with a single thread. The band contexts take the caller's
// transformation, clip, operator, tolerance, antialiasing, line style and
// dashes, but not its source: the renderer sets its own before it paints
// anything.
class BandedRenderer {
 public:
  // At most this many threads by default.
  static constexpr unsigned kMaxThreads = 8;
  // One per core, within the bound; 1 where the core count is unknown.
  static unsigned defaultThreads();

  explicit BandedRenderer(unsigned threads = defaultThreads());
  BandedRenderer(const BandedRenderer&) = delete;
  BandedRenderer& operator=(const BandedRenderer&) = delete;

  unsigned threads() const { return pool.size(); }

  // Draws on the calling thread's behalf, which waits for every band. Not to
  // be called again until it returns. The renderer is used from every thread
  // at once, so it must only read itself and the shapes while drawing.
  void draw(Draw& renderer, const std::vector<baseShape*>& shapes, const Cairo::RefPtr<Cairo::Context>& cr,
            double scale, double OffsetX, double OffsetY);

 private:
  // What the bands take from the caller's context and its target.
  struct Setting {
    Cairo::RefPtr<Cairo::ImageSurface> target;
    double deviceX = 0;
    double deviceY = 0;
    Cairo::Matrix matrix;
    // The clip in user space, and the target's rows it lets through.
    std::vector<Cairo::Rectangle> clip;
    int firstRow = 0;
    int endRow = 0;
    Cairo::Operator op = Cairo::OPERATOR_OVER;
    double tolerance = 0.1;
    Cairo::Antialias antialias = Cairo::ANTIALIAS_DEFAULT;
    Cairo::FillRule fillRule = Cairo::FILL_RULE_WINDING;
    double lineWidth = 2;
    Cairo::LineCap cap = Cairo::LINE_CAP_BUTT;
    Cairo::LineJoin join = Cairo::LINE_JOIN_MITER;
    double miterLimit = 10;
    std::vector<double> dashes;
    double dashOffset = 0;
  };
  // The setting, or nothing when the context cannot be drawn on in bands.
  static std::optional<Setting> bandable(const Cairo::RefPtr<Cairo::Context>& cr);
  // Where each band's rows end, so the bands cost about the same to draw.
  std::vector<int> bandEnds(const Setting& setting, unsigned bands) const;
  // Whether any byte of the surface is not zero.
  static bool paintedOn(const Cairo::RefPtr<Cairo::ImageSurface>& surface);
  // Band surfaces of the target's size and format.
  void prepareBands(const Cairo::RefPtr<Cairo::ImageSurface>& target, unsigned bands);
  // The target's rows from `firstRow` up to `endRow`, on band surface `band`.
  void drawBand(Draw& renderer, const std::vector<baseShape*>& shapes, const Setting& setting, std::size_t band,
                int firstRow, int endRow, double scale, double OffsetX, double OffsetY) const;

  WorkerPool pool;
  // Each shape's rows in the frame being drawn.
  std::vector<std::optional<Draw::RowSpan>> spans;
  // Each shape's cost to draw, 0 for one that draws nothing.
  std::vector<double> costs;
  // One per band, kept from frame to frame while the target's size lasts.
  std::vector<Cairo::RefPtr<Cairo::ImageSurface>> bandSurfaces;
};

#endif
