#ifndef OUTLINEPATH_H
#define OUTLINEPATH_H

#include <cairomm/context.h>

#include <cmath>

// Adds a polyline, given in window pixels, to the current path of a Cairo
// context, passing on only the vertices that show at the window's resolution:
// stroking then costs in proportion to the outline's size on screen, not to
// its vertex count.
//
// A vertex is left out only when it lies within the tolerance of the straight
// segment drawn in its place, so the stroke's edges move by no more than
// that; the first and the last vertex are always kept. Mitred joins are kept
// as they are: a vertex where the outline turns so sharply that its mitre
// reaches past the tolerance is kept with both its neighbours, and no segment
// drawn replaces steps whose direction strays from the first of them by more
// than half that turn. The line width and join are read from the context
// when the path is made, so set them first.
//
// A dashed polyline is cut into its dashes here, along the lengths of the
// polyline as given, each dash a sub-path of its own. Stroked solid with the
// same cap and join, the dashes paint what Cairo's dashing of the whole
// polyline paints, and leaving vertices out cannot move them along the line.
//
// Bounds, when set, keep every coordinate passed to Cairo within a rectangle:
// the parts of the polyline outside it are left out as gaps are, so Cairo
// never works on a line far larger than what can show. Vertices must be
// finite, and differences between them too.
class OutlinePath {
 public:
  // Window pixels: moved by a twentieth of a pixel, a stroke's edge changes
  // the coverage of the pixels it crosses by about a twentieth.
  static constexpr double kTolerance = 0.05;

  explicit OutlinePath(const Cairo::RefPtr<Cairo::Context>& cr, double tolerance = kTolerance);
  OutlinePath(const OutlinePath&) = delete;
  OutlinePath& operator=(const OutlinePath&) = delete;

  // Dashes `on` long with gaps `off` long, the polyline starting `offset`
  // into the pattern, as cairo_set_dash takes them. Set before the first
  // vertex. A pattern of no length, or a negative one, leaves the line solid.
  void setDash(double on, double off, double offset);
  // The rectangle the drawn path stays in; none by default. Set before the
  // first vertex.
  void setBounds(double left, double top, double right, double bottom);

  // The first vertex, each next vertex in order, then finish.
  void moveTo(double x, double y);
  void lineTo(double x, double y);
  void finish();

 private:
  struct Vector {
    double x;
    double y;
  };

  // One sub-path: its first vertex, each next one, its end. A vertex is
  // held until the next one shows how sharply the outline turns there.
  void startRun(Vector point);
  void extendRun(Vector point);
  void endRun();
  bool sharpTurn(Vector in, Vector out) const;
  // The vertex after the last one taken: it either extends the segment
  // being built or, when it cannot, the pending vertex is drawn first.
  void take(Vector point);
  void drawPending();
  bool fitsAsEnd(Vector point) const;
  void narrowTo(Vector point);

  // The dash pattern `offset` into it.
  void startDashAt(double offset);
  // Moves the dash pattern `length` on along a part that is not drawn.
  void skipDash(double length);
  // Whether the dash pattern is on a dash (always for a solid line).
  bool onDash() const { return !dashed || dashIndex == 0; }
  // The part of the segment from `from` to `to` inside the bounds, as
  // fractions `enter` <= `leave` of its length; false when none of it is.
  bool clip(Vector from, Vector to, double& enter, double& leave) const;
  bool contains(Vector point) const;
  // The dashes (or the solid line) from `from` to `to`, all inside the bounds.
  void trace(Vector from, Vector to);
  // Ends the sub-path being drawn where the polyline leaves the bounds.
  void leaveBounds();

  const Cairo::RefPtr<Cairo::Context>& cr;
  const double tolerance;
  // Cosines of the turn at one vertex past which its mitre shows, and of
  // half that turn; -1 and -1 when joins are not mitred.
  double sharpCosine = -1;
  double spanCosine = -1;

  Vector before{0, 0};
  Vector held{0, 0};
  bool hasHeld = false;
  bool keepHeld = false;

  // The last vertex passed to Cairo, and the latest vertex that could end a
  // straight segment from it with every vertex in between within the
  // tolerance. `left` and `right` bound the directions from the anchor that
  // keep all those vertices close enough; `reach` is the squared distance of
  // the farthest, which a segment must reach so none lies past its end.
  // `heading` is the direction of the first step after the anchor.
  Vector anchor{0, 0};
  Vector pending{0, 0};
  bool hasPending = false;
  bool narrowed = false;
  Vector left{0, 0};
  Vector right{0, 0};
  double reach = 0;
  Vector heading{0, 0};

  bool dashed = false;
  double dashLengths[2] = {0, 0};
  double dashOffset = 0;
  int dashIndex = 0;  // 0 while a dash is drawn, 1 in a gap
  double dashRemaining = 0;
  Vector current{0, 0};

  double bounds[4] = {-HUGE_VAL, -HUGE_VAL, HUGE_VAL, HUGE_VAL};  // left, top, right, bottom
  bool inside = false;  // `current` lies within the bounds
};

#endif
