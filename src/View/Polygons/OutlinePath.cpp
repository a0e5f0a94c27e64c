#include "OutlinePath.h"

#include <algorithm>
#include <cmath>

namespace {

// Positive when b turns counter-clockwise from a.
double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

double dot(double ax, double ay, double bx, double by) { return ax * bx + ay * by; }

// Whether the angle between two vectors has a cosine below `cosine`, from
// their dot product and the product of their squared lengths.
bool cosineBelow(double dotProduct, double squaredLengths, double cosine) {
  const double bound = cosine * cosine * squaredLengths;
  if (cosine >= 0) return dotProduct < 0 || dotProduct * dotProduct < bound;
  return dotProduct < 0 && dotProduct * dotProduct > bound;
}

}  // namespace

OutlinePath::OutlinePath(const Cairo::RefPtr<Cairo::Context>& cr, double tolerance) : cr(cr), tolerance(tolerance) {
  // A join turning by t reaches w / 2 (1 / cos(t / 2) - 1) past the round
  // edge of a line w wide; it shows once that passes the tolerance. Turns
  // past the mitre limit end in a bevel instead; counting them sharp all the
  // same only keeps a few more vertices.
  const double halfWidth = cr->get_line_width() / 2;
  if (cr->get_line_join() == Cairo::LINE_JOIN_MITER && halfWidth > 0) {
    spanCosine = halfWidth / (halfWidth + tolerance);
    sharpCosine = 2 * spanCosine * spanCosine - 1;
  }
}

void OutlinePath::setDash(double on, double off, double offset) {
  dashed = on >= 0 && off >= 0 && on + off > 0;
  dashLengths[0] = on;
  dashLengths[1] = off;
  dashOffset = offset;
}

void OutlinePath::setBounds(double left, double top, double right, double bottom) {
  bounds[0] = left;
  bounds[1] = top;
  bounds[2] = right;
  bounds[3] = bottom;
}

void OutlinePath::moveTo(double x, double y) {
  current = {x, y};
  if (dashed) startDashAt(dashOffset);
  inside = contains(current);
  if (inside && onDash()) startRun(current);
}

void OutlinePath::lineTo(double x, double y) {
  const Vector to{x, y};
  const double dx = to.x - current.x;
  const double dy = to.y - current.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  double enter = 1;
  double leave = 1;
  const bool shows = clip(current, to, enter, leave);
  const auto at = [&](double t) {
    if (t == 0) return current;
    if (t == 1) return to;
    return Vector{current.x + dx * t, current.y + dy * t};
  };
  if (!shows) enter = 1;
  if (enter > 0) {
    leaveBounds();
    skipDash(length * enter);
  }
  if (shows) {
    const Vector from = at(enter);
    if (!inside) {
      inside = true;
      if (onDash()) startRun(from);
    }
    trace(from, at(leave));
    if (leave < 1) {
      leaveBounds();
      skipDash(length * (1 - leave));
    }
  }
  current = to;
}

void OutlinePath::trace(Vector from, Vector to) {
  if (!dashed) {
    extendRun(to);
    return;
  }
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  // Every dash end that falls on this segment, then the rest of it.
  double along = 0;
  while (length - along > dashRemaining) {
    along += dashRemaining;
    const Vector end{from.x + dx * along / length, from.y + dy * along / length};
    if (dashIndex == 0) {
      extendRun(end);
      endRun();
    } else {
      startRun(end);
    }
    dashIndex = 1 - dashIndex;
    dashRemaining = dashLengths[dashIndex];
  }
  dashRemaining -= length - along;
  if (dashIndex == 0) extendRun(to);
}

void OutlinePath::finish() {
  if (inside && onDash()) endRun();
}

void OutlinePath::leaveBounds() {
  if (inside && onDash()) endRun();
  inside = false;
}

bool OutlinePath::contains(Vector point) const {
  return point.x >= bounds[0] && point.y >= bounds[1] && point.x <= bounds[2] && point.y <= bounds[3];
}

bool OutlinePath::clip(Vector from, Vector to, double& enter, double& leave) const {
  // Liang and Barsky: the segment against each side in turn.
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double towards[4] = {-dx, -dy, dx, dy};
  const double room[4] = {from.x - bounds[0], from.y - bounds[1], bounds[2] - from.x, bounds[3] - from.y};
  enter = 0;
  leave = 1;
  for (int side = 0; side < 4; ++side) {
    if (towards[side] == 0) {
      if (!(room[side] >= 0)) return false;
      continue;
    }
    const double t = room[side] / towards[side];
    if (towards[side] < 0)
      enter = std::max(enter, t);
    else
      leave = std::min(leave, t);
  }
  return enter <= leave;
}

void OutlinePath::skipDash(double length) {
  if (!dashed || !(length > 0)) return;
  // Where the pattern stands in its period, moved on.
  const double into = (dashIndex == 0 ? dashLengths[0] : dashLengths[0] + dashLengths[1]) - dashRemaining;
  startDashAt(into + length);
}

void OutlinePath::startDashAt(double start) {
  // As Cairo does: the offset brought into one period, then whole dashes and
  // gaps stepped over until the offset falls inside one.
  const double period = dashLengths[0] + dashLengths[1];
  double offset = std::fmod(start, period);
  if (offset < 0) offset += period;
  dashIndex = 0;
  while (offset > 0 && offset >= dashLengths[dashIndex]) {
    offset -= dashLengths[dashIndex];
    dashIndex = 1 - dashIndex;
  }
  dashRemaining = dashLengths[dashIndex] - offset;
}

void OutlinePath::startRun(Vector point) {
  cr->move_to(point.x, point.y);
  anchor = point;
  before = point;
  hasHeld = false;
  keepHeld = false;
  hasPending = false;
  narrowed = false;
  reach = 0;
}

void OutlinePath::extendRun(Vector point) {
  if (!hasHeld) {
    held = point;
    hasHeld = true;
    return;
  }
  const bool sharp = sharpTurn({held.x - before.x, held.y - before.y}, {point.x - held.x, point.y - held.y});
  if (sharp) {
    // Drawn with the vertices on either side, so the mitre is the original.
    drawPending();
    take(held);
    drawPending();
  } else {
    take(held);
    if (keepHeld) drawPending();
  }
  keepHeld = sharp;
  before = held;
  held = point;
}

void OutlinePath::endRun() {
  if (hasHeld) {
    take(held);
    drawPending();
  }
  hasHeld = false;
}

bool OutlinePath::sharpTurn(Vector in, Vector out) const {
  return cosineBelow(dot(in.x, in.y, out.x, out.y), dot(in.x, in.y, in.x, in.y) * dot(out.x, out.y, out.x, out.y),
                     sharpCosine);
}

void OutlinePath::take(Vector point) {
  if (hasPending && !fitsAsEnd(point)) drawPending();
  if (!hasPending) heading = {point.x - anchor.x, point.y - anchor.y};
  narrowTo(point);
  pending = point;
  hasPending = true;
}

void OutlinePath::drawPending() {
  if (!hasPending) return;
  cr->line_to(pending.x, pending.y);
  anchor = pending;
  hasPending = false;
  narrowed = false;
  reach = 0;
}

bool OutlinePath::fitsAsEnd(Vector point) const {
  // The step to the point keeps within half a sharp turn of the first step.
  const Vector step{point.x - pending.x, point.y - pending.y};
  if (cosineBelow(dot(step.x, step.y, heading.x, heading.y),
                  dot(step.x, step.y, step.x, step.y) * dot(heading.x, heading.y, heading.x, heading.y), spanCosine))
    return false;
  const double dx = point.x - anchor.x;
  const double dy = point.y - anchor.y;
  // Every vertex passed over projects onto the segment, not beyond it.
  if (dx * dx + dy * dy < reach) return false;
  if (!narrowed) return true;
  return cross(right.x, right.y, dx, dy) >= 0 && cross(dx, dy, left.x, left.y) >= 0;
}

void OutlinePath::narrowTo(Vector point) {
  // A vertex at distance d from the anchor lies within the tolerance of any
  // segment from the anchor whose direction is within asin(tolerance / d) of
  // the vertex's own, and at least as long as d.
  const double dx = point.x - anchor.x;
  const double dy = point.y - anchor.y;
  const double squared = dx * dx + dy * dy;
  if (squared > reach) reach = squared;
  if (squared <= tolerance * tolerance) return;
  const double sine = tolerance / std::sqrt(squared);
  const double cosine = std::sqrt(1 - sine * sine);
  const Vector toLeft{cosine * dx - sine * dy, sine * dx + cosine * dy};
  const Vector toRight{cosine * dx + sine * dy, cosine * dy - sine * dx};
  if (!narrowed) {
    left = toLeft;
    right = toRight;
    narrowed = true;
    return;
  }
  // The vertex lies between the bounds, which are less than half a turn
  // apart, and the new bounds within a right angle of it: each old bound is
  // less than half a turn from its new one, so a cross product's sign orders
  // them.
  if (cross(left.x, left.y, toLeft.x, toLeft.y) < 0) left = toLeft;
  if (cross(right.x, right.y, toRight.x, toRight.y) > 0) right = toRight;
}
