#include "RegionTools.h"

#include <algorithm>
#include <cmath>

#include "ShapeIds.h"
#include "convexHull.h"

namespace {

struct Point {
  double x;
  double y;
};

Point pointOf(pointShape* p) { return {p->getX(), p->getY()}; }

// Twice the signed area of the triangle o, a, b: positive when b lies to the
// left of the line from o to a.
double turn(Point o, Point a, Point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// Where the arc crosses the outline: at `t` of the way along the arc's
// segment from vertex `segment` to the next, and at `u` of the way along the
// outline's edge from vertex `edge` to the next (the last edge closes the
// outline).
struct Crossing {
  std::size_t segment;
  double t;
  std::size_t edge;
  double u;
  Point at;
  double alongArc() const { return static_cast<double>(segment) + t; }
};

// Every crossing of the arc with the outline, in the arc's order. A point
// lying exactly on the other line counts as lying on its right, so an arc
// through an outline vertex or with a vertex on an edge crosses once, and one
// that only touches crosses twice or not at all.
std::vector<Crossing> crossingsOf(const std::vector<Point>& outline, const std::vector<Point>& arc) {
  std::vector<Crossing> found;
  const std::size_t k = outline.size();
  for (std::size_t j = 0; j + 1 < arc.size(); ++j) {
    const Point a = arc[j];
    const Point b = arc[j + 1];
    for (std::size_t i = 0; i < k; ++i) {
      const Point c = outline[i];
      const Point d = outline[(i + 1) % k];
      const double aSide = turn(c, d, a);
      const double bSide = turn(c, d, b);
      const double cSide = turn(a, b, c);
      const double dSide = turn(a, b, d);
      if ((aSide > 0) == (bSide > 0) || (cSide > 0) == (dSide > 0)) continue;
      const double t = aSide / (aSide - bSide);
      found.push_back({j, t, i, cSide / (cSide - dSide), {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}});
    }
  }
  std::sort(found.begin(), found.end(),
            [](const Crossing& l, const Crossing& r) { return l.alongArc() < r.alongArc(); });
  return found;
}

enum class Side { Inside, OnOutline, Outside };

Side sideOf(regionShape& region, const std::vector<Point>& outline, Point p) {
  const std::size_t k = outline.size();
  for (std::size_t i = 0; i < k; ++i) {
    const Point c = outline[i];
    const Point d = outline[(i + 1) % k];
    const bool withinBox = std::min(c.x, d.x) <= p.x && p.x <= std::max(c.x, d.x) && std::min(c.y, d.y) <= p.y &&
                           p.y <= std::max(c.y, d.y);
    if (withinBox && turn(c, d, p) == 0) return Side::OnOutline;
  }
  return region.insideAbsoluteCoordinates(p.x, p.y) ? Side::Inside : Side::Outside;
}

// The side of the outline a tool's line runs on: a split's inside the
// region, a completion's outside it.
Side sideOfTool(RegionTools::ArcTool tool) {
  return tool == RegionTools::ArcTool::Split ? Side::Inside : Side::Outside;
}

// Whether a line that never crosses the outline lies on `side` of it. Such a
// line lies on one side but for points on the outline, so its vertices and
// the middles of its segments tell.
bool liesOn(regionShape& region, const std::vector<Point>& outline, const std::vector<Point>& line, Side side) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (sideOf(region, outline, line[i]) == side) return true;
    if (i + 1 == line.size()) break;
    const Point middle{(line[i].x + line[i + 1].x) / 2, (line[i].y + line[i + 1].y) / 2};
    if (sideOf(region, outline, middle) == side) return true;
  }
  return false;
}

// Where one end of the cut meets the outline: the outline vertices from
// `split` on lie beyond it, and `position` (an edge's index plus the part of
// it before the end, or a vertex's own index) orders the two ends along the
// outline.
struct OutlineEnd {
  std::size_t split;
  double position;
};

// The path the pieces are closed with and where its ends meet the outline.
struct Cut {
  std::vector<Point> path;
  OutlineEnd start;
  OutlineEnd finish;
  // The whole arc, joined to the nearest outline vertices at both ends as
  // cuts always were.
  bool atVertices;
};

// Index of the outline vertex nearest to `p` by the sum of the coordinate
// differences; the first of equally near ones.
std::size_t nearestVertex(const std::vector<Point>& outline, Point p) {
  std::size_t nearest = 0;
  double best = 2.0;  // above any distance between two points of the picture
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const double d = std::fabs(p.x - outline[i].x) + std::fabs(p.y - outline[i].y);
    if (d < best) {
      best = d;
      nearest = i;
    }
  }
  return nearest;
}

OutlineEnd atVertex(const std::vector<Point>& outline, Point p) {
  const std::size_t v = nearestVertex(outline, p);
  return {v, static_cast<double>(v)};
}

// A point of the outline the path runs to, and its place on the outline:
// where the arc crosses an edge, or the outline vertex an end is joined to,
// which then belongs to both pieces.
struct Meeting {
  Point at;
  OutlineEnd end;
};

Meeting meetingAt(const Crossing& c) { return {c.at, {c.edge + 1, static_cast<double>(c.edge) + c.u}}; }

Meeting meetingNearest(const std::vector<Point>& outline, Point p) {
  const std::size_t v = nearestVertex(outline, p);
  return {outline[v], {v + 1, static_cast<double>(v)}};
}

// A split's path runs inside the region and a completion's outside it; an
// end of the arc on the other side overshoots, and the arc is cut at the
// crossing nearest to that end. An arc with no overshooting end, or that
// never crosses the outline, is joined to the nearest outline vertices as it
// always was; otherwise an end that does not overshoot runs on to its nearest
// outline vertex.
Cut cutOf(regionShape& source, const std::vector<Point>& outline, const std::vector<Point>& arc,
          const std::vector<Crossing>& crossings, RegionTools::ArcTool tool) {
  const Side beyond = tool == RegionTools::ArcTool::Split ? Side::Outside : Side::Inside;
  const bool clipStart = !crossings.empty() && sideOf(source, outline, arc.front()) == beyond;
  const bool clipFinish = !crossings.empty() && sideOf(source, outline, arc.back()) == beyond;
  const double from = clipStart ? crossings.front().alongArc() : 0;
  const double to = clipFinish ? crossings.back().alongArc() : static_cast<double>(arc.size() - 1);
  if ((!clipStart && !clipFinish) || from >= to)
    return {arc, atVertex(outline, arc.front()), atVertex(outline, arc.back()), true};

  const Meeting start = clipStart ? meetingAt(crossings.front()) : meetingNearest(outline, arc.front());
  const Meeting finish = clipFinish ? meetingAt(crossings.back()) : meetingNearest(outline, arc.back());
  Cut cut{{start.at}, start.end, finish.end, false};
  const std::size_t first = clipStart ? crossings.front().segment + 1 : 0;
  const std::size_t last = clipFinish ? crossings.back().segment : arc.size() - 1;
  for (std::size_t i = first; i <= last; ++i) cut.path.push_back(arc[i]);
  cut.path.push_back(finish.at);
  return cut;
}

std::vector<Point> pointsOf(const std::vector<pointShape*>& vertices) {
  std::vector<Point> points;
  points.reserve(vertices.size());
  for (pointShape* vertex : vertices) points.push_back(pointOf(vertex));
  return points;
}

// Appends the points [from, to) of `points` to `region`.
void appendRange(regionShape& region, const std::vector<Point>& points, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) region.addLinePoint(points[i].x, points[i].y);
}

// Appends the points from the last down to the one at `stop`.
void appendBackwards(regionShape& region, const std::vector<Point>& points, std::size_t stop) {
  for (std::size_t i = points.size(); i > stop; --i) region.addLinePoint(points[i - 1].x, points[i - 1].y);
}

std::unique_ptr<regionShape> newRegion(int id) {
  return std::make_unique<regionShape>(id, true, false, false, true, 0, 0, 0);
}

void takeLook(regionShape& piece, const baseShape& source) {
  piece.setType(source.getType());
  piece.setClase(source.getClase());
}

}  // namespace

int RegionTools::nextId(const std::vector<baseShape*>& shapes) { return ShapeIds::next(shapes); }

void RegionTools::withdraw(baseShape* shape, const char* name) {
  shape->setVisible(false);
  shape->setSelected(false);
  shape->setDeleted(true);
  shape->setName(name);
}

const char* RegionTools::lineDoesNotCrossMessage(ArcTool tool) {
  return tool == ArcTool::Split ? "The line does not cross the region's outline: nothing was split."
                                : "The line does not leave the region: nothing was completed.";
}

RegionTools::Pieces RegionTools::cutAlongArc(regionShape& source, arcShape& arc, int firstId, ArcTool tool) {
  const std::vector<Point> outline = pointsOf(source.getLinePoints());
  const std::vector<Point> arcPoints = pointsOf(arc.getLinePoints());
  Pieces pieces;
  if (outline.empty() || arcPoints.empty()) return pieces;
  // A line that never crosses the outline is a cut only on the tool's side:
  // a split's beside the region, or a completion's within it, would be
  // joined to the nearest outline vertices and add or cut off the area
  // between it and the outline.
  const std::vector<Crossing> crossings = crossingsOf(outline, arcPoints);
  if (crossings.empty() && !liesOn(source, outline, arcPoints, sideOfTool(tool))) {
    pieces.result = CutResult::LineDoesNotCross;
    return pieces;
  }
  const Cut cut = cutOf(source, outline, arcPoints, crossings, tool);
  pieces.result = CutResult::Cut;
  pieces.first = newRegion(firstId);
  pieces.second = newRegion(firstId + 1);
  regionShape& first = *pieces.first;
  regionShape& second = *pieces.second;
  const bool startEarlier = cut.start.position < cut.finish.position;
  const OutlineEnd& earlier = startEarlier ? cut.start : cut.finish;
  const OutlineEnd& later = startEarlier ? cut.finish : cut.start;
  // A cut joined at the nearest vertices keeps the vertex lists it has always
  // had, which saved annotations were made with: the backward run leaves the
  // arc's first vertex to the outline vertex it meets. A cut that meets the
  // outline on its edges keeps every point, so its pieces share the region's
  // area exactly.
  const std::size_t backwardsStop = cut.atVertices ? 1 : 0;
  appendRange(first, outline, 0, earlier.split);
  appendRange(second, outline, earlier.split, later.split);
  if (startEarlier) {
    appendBackwards(second, cut.path, backwardsStop);
    appendRange(first, cut.path, 0, cut.path.size());
  } else {
    appendRange(second, cut.path, 0, cut.path.size());
    appendBackwards(first, cut.path, backwardsStop);
  }
  appendRange(first, outline, later.split, outline.size());
  return pieces;
}

RegionTools::ArcOutcome RegionTools::applyArc(std::vector<baseShape*>& shapes, baseShape* selected, ArcTool tool,
                                              int width, int height, double minDiameter) {
  ArcOutcome outcome;
  if (shapes.empty() || shapes.back()->getTypeShape() != ARC) return outcome;
  auto* arc = static_cast<arcShape*>(shapes.back());
  const bool sourceOnList = std::find(shapes.begin(), shapes.end(), selected) != shapes.end();
  auto* source = dynamic_cast<regionShape*>(selected);
  Pieces pieces;
  if (source != nullptr && sourceOnList) pieces = cutAlongArc(*source, *arc, nextId(shapes), tool);
  outcome.result = pieces.result;
  arc->setVisible(false);
  arc->setDeleted(true);
  if (!pieces.first) return outcome;

  std::vector<std::unique_ptr<regionShape>> kept;
  if (tool == ArcTool::Split) {
    for (std::unique_ptr<regionShape>* piece : {&pieces.first, &pieces.second})
      if ((*piece)->getDiameter(width, height) > minDiameter) kept.push_back(std::move(*piece));
  } else if (pieces.first->getArea(width, height) > pieces.second->getArea(width, height)) {
    kept.push_back(std::move(pieces.first));
  } else {
    kept.push_back(std::move(pieces.second));
  }
  for (std::unique_ptr<regionShape>& piece : kept) {
    takeLook(*piece, *source);
    outcome.added.push_back(piece.get());
    shapes.push_back(piece.release());
  }
  withdraw(source, tool == ArcTool::Split ? "Split" : "Complete");
  outcome.source = source;
  return outcome;
}

std::unique_ptr<regionShape> RegionTools::hullOf(const std::vector<baseShape*>& shapes, int width, int height, int id) {
  std::vector<hull::Point> points;
  for (baseShape* shape : shapes) {
    auto* region = dynamic_cast<regionShape*>(shape);
    if (region == nullptr) continue;
    for (pointShape* vertex : region->getLinePoints())
      points.push_back(hull::pixelAt(width * vertex->getX(), height * vertex->getY()));
  }
  // The hull needs three points; a hull of few vertices is no cell outline.
  if (points.size() < 3) return nullptr;
  std::stack<hull::Point> outline = hull::convexHull(points);
  if (outline.size() <= 10) return nullptr;
  std::unique_ptr<regionShape> merged = newRegion(id);
  for (; !outline.empty(); outline.pop())
    merged->addLinePoint(static_cast<double>(outline.top().x) / width, static_cast<double>(outline.top().y) / height);
  return merged;
}

regionShape* RegionTools::mergeByHull(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& selected,
                                      int width, int height) {
  std::unique_ptr<regionShape> merged = hullOf(selected, width, height, nextId(shapes));
  if (!merged) return nullptr;
  for (baseShape* shape : selected)
    if (dynamic_cast<regionShape*>(shape) != nullptr) withdraw(shape, "Merge");
  shapes.push_back(merged.get());
  return merged.release();
}

int RegionTools::addSmallerCells(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& candidates, int width,
                                 int height) {
  const std::size_t before = shapes.size();
  int id = nextId(shapes);
  int added = 0;
  for (baseShape* candidate : candidates) {
    const double x = candidate->getX() * width;
    const double y = candidate->getY() * height;
    const bool covered = std::any_of(shapes.begin(), shapes.begin() + before, [&](baseShape* shape) {
      return shape->getTypeShape() == REGION && shape->getVisible() && shape->inside(x, y, width, height);
    });
    if (covered) {
      delete candidate;
      continue;
    }
    candidate->setId(id++);
    candidate->setSmallerCell(1);
    shapes.push_back(candidate);
    ++added;
  }
  return added;
}

std::vector<baseShape*> RegionTools::withdrawSmallerCells(const std::vector<baseShape*>& shapes) {
  std::vector<baseShape*> withdrawn;
  for (baseShape* shape : shapes) {
    if (shape->getSmallerCell() != 1 || shape->getDeleted()) continue;
    withdraw(shape, "Smaller");
    withdrawn.push_back(shape);
  }
  return withdrawn;
}
