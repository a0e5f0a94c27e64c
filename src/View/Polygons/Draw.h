#ifndef DRAW_H
#define DRAW_H

#include <cairomm/context.h>
#include <gdkmm/rgba.h>

#include <optional>
#include <vector>

#include "Angle.h"
#include "ImageClass.h"
#include "Line.h"
#include "PictureReach.h"
#include "Preferences.h"
#include "arcShape.h"
#include "baseShape.h"
#include "circleShape.h"
#include "pointShape.h"
#include "regionShape.h"

// Paints annotation shapes with Cairo, one fixed style per shape kind; a
// selected shape takes the inverted colour. Shape positions are fractions of
// the image, so every drawing call gets the canvas's view: `scale` (window
// pixels per image pixel) and the window position of the image's top-left
// corner (OffsetX, OffsetY).
//
// Shapes read from a file may lie anywhere: Cairo is never handed a
// coordinate or radius beyond the reach (PictureReach: two picture widths
// left and right of the picture, two heights above and below it). Outlines
// and lines are cut at the reach; a point or circle whose place lies beyond
// it, or whose radius is larger than its narrower extent, is not drawn, nor
// is a vertex, point or circle whose place or size is not finite.
class Draw {
 public:
  // Whether a region's outline ends at its last vertex or goes back to the
  // first.
  enum class RegionOutline { Open, Closed };

  explicit Draw(ImageClass* image, RegionOutline regionOutline = RegionOutline::Open);
  virtual ~Draw() = default;
  Draw(const Draw&) = delete;
  Draw& operator=(const Draw&) = delete;

  // Draws every visible shape of the list in order, later ones over earlier
  // ones, each through the operation for its kind. Nothing is drawn while the
  // image has no area or the scale is not positive: shapes then have no place.
  virtual void drawNew(const std::vector<baseShape*>& poligons, const Cairo::RefPtr<Cairo::Context>& cr, double scale,
                       double OffsetX, double OffsetY);

  // Takes the size of a newly loaded picture from its image record (none for
  // a null record); the record is not kept.
  virtual void setImage(ImageClass* image);
  // Takes red, green and blue; point marks are always drawn at alpha 0.4.
  virtual void setColorPoint(Gdk::RGBA colour);
  virtual void setColorFreeHand(Gdk::RGBA colour);
  virtual void setColorCircle(Gdk::RGBA colour);
  // The colour with red, green and blue inverted and the same alpha.
  virtual Gdk::RGBA getOposite(Gdk::RGBA colour);
  virtual float getLineWidthCircle();
  // The width setters take a style width w and store 2 w + 5 (2 w + 8 for
  // regions).
  virtual void setLineWidthCircle(float w);
  virtual float getLinewWidthPoint();
  virtual void setLinewWidthPoint(float w);
  virtual float getLineWidthFreeHand();
  virtual void setLineWidthFreeHand(float w);
  virtual Gdk::RGBA getColorPoint();
  virtual Gdk::RGBA getColorFreeHand();
  virtual Gdk::RGBA getColorCircle();
  // Takes the point, circle and region styles (blue, red, green, alpha,
  // width); a style of any length other than five is ignored.
  virtual void setPreferences(Preferences* preferences);

  // One shape each. A null shape draws nothing.
  virtual void drawNew(pointShape* point, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                       double OffsetY);
  virtual void drawNew(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                       double OffsetY);
  virtual void drawNew(circleShape* circle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                       double OffsetY);
  virtual void drawNew(Line* line, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                       double OffsetY);
  virtual void drawNew(arcShape* arc, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                       double OffsetY);
  virtual void drawNew(Angle* angle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                       double OffsetY);

  // Window rows from `top` to `bottom`; empty when top > bottom.
  struct RowSpan {
    double top;
    double bottom;
  };
  // The window rows that drawing the shape through the list drawing can
  // paint, with room to spare: stroke widths, round and square caps, mitres
  // up to `miterLimit` half widths and the pixel an edge shades are counted,
  // Cairo's flattening of curves is not. Known for points, circles and
  // regions holding nothing but points; other shapes may paint anywhere.
  // Only reads the renderer and the shape, so it may run on several threads
  // at once.
  virtual std::optional<RowSpan> rowSpan(baseShape* shape, double scale, double OffsetY, double miterLimit) const;

 protected:
  // The kind colour, inverted when the shape is selected.
  Gdk::RGBA colourBySelection(const baseShape& shape, const Gdk::RGBA& kindColour);

  // The drawing of each kind with its colour (and width) chosen by the caller,
  // so the class-coloured renderers share the geometry.
  void drawPointWith(pointShape* point, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                     double OffsetY, const Gdk::RGBA& colour);
  void drawRegionWith(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                      double OffsetY, const Gdk::RGBA& colour, bool dashed);
  void drawCircleWith(circleShape* circle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                      double OffsetY, const Gdk::RGBA& colour, double imageLineWidth);
  void drawLineWith(Line* line, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX, double OffsetY,
                    const Gdk::RGBA& colour, double windowLineWidth);
  void drawAngleWith(Angle* angle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                     double OffsetY, const Gdk::RGBA& lineColour);

  Gdk::RGBA colorPoint;
  Gdk::RGBA colorFreeHand;
  Gdk::RGBA colorCircle;
  float lineWidthCircle = 5.0f;
  float lineWidthPoint = 15.0f;
  float lineWidthFreeHand = 5.0f;
  double imgWidth = 0;
  double imgHeight = 0;

 private:
  RegionOutline regionOutline;
  // Dashes and gaps in window pixels, and how far into the pattern an outline
  // starts; with no length (as `{}` gives) the outline is solid.
  struct DashPattern {
    double on;
    double off;
    double offset;
  };

  // Adds a path through the vertices in order, from the first to the last
  // (and back to the first when `closed`), through OutlinePath: vertices too
  // close together to show are passed over. A dashed outline becomes one
  // sub-path per dash, to be stroked solid.
  void tracePolyline(const Cairo::RefPtr<Cairo::Context>& cr, const std::vector<pointShape*>& vertices, double scale,
                     double OffsetX, double OffsetY, const DashPattern& dash = {}, bool closed = false) const;
  // The same for vertices given as picture fractions {x0, y0, x1, y1, ...}.
  void tracePolyline(const Cairo::RefPtr<Cairo::Context>& cr, const std::vector<double>& fractions, double scale,
                     double OffsetX, double OffsetY, const DashPattern& dash, bool closed) const;

  // The window rectangle drawing stays in: the picture's reach.
  PictureReach reach(double scale, double OffsetX, double OffsetY) const;
  // Whether a mark of `radius` window pixels around (x, y) may be drawn: all
  // finite, the place within the reach and the radius no larger than it.
  bool placeable(double x, double y, double radius, const PictureReach& within) const;
  double windowX(double fraction, double scale, double OffsetX) const;
  double windowY(double fraction, double scale, double OffsetY) const;
};

#endif
