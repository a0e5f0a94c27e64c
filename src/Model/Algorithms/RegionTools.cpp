#include "RegionTools.h"

#include <algorithm>
#include <cmath>

#include "convexHull.h"

namespace {

// Index of the outline vertex nearest to `p` by the sum of the coordinate
// differences; the first of equally near ones.
std::size_t nearestVertex(const std::vector<pointShape*>& outline, pointShape* p) {
  std::size_t nearest = 0;
  double best = 2.0;  // above any distance between two points of the picture
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const double d = std::fabs(p->getX() - outline[i]->getX()) + std::fabs(p->getY() - outline[i]->getY());
    if (d < best) {
      best = d;
      nearest = i;
    }
  }
  return nearest;
}

// Appends the vertices [from, to) of `points` to `region`.
void appendRange(regionShape& region, const std::vector<pointShape*>& points, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) region.addLinePoint(points[i]->getX(), points[i]->getY());
}

// Appends the arc's vertices from the last down to the second: the arc run
// backwards, its first vertex left to the outline vertex it meets.
void appendBackwards(regionShape& region, const std::vector<pointShape*>& arc) {
  for (std::size_t i = arc.size() - 1; i >= 1; --i) region.addLinePoint(arc[i]->getX(), arc[i]->getY());
}

std::unique_ptr<regionShape> newRegion(int id) {
  return std::make_unique<regionShape>(id, true, false, false, true, 0, 0, 0);
}

void takeLook(regionShape& piece, const baseShape& source) {
  piece.setType(source.getType());
  piece.setClase(source.getClase());
}

}  // namespace

int RegionTools::nextId(const std::vector<baseShape*>& shapes) {
  int largest = 0;
  for (const baseShape* shape : shapes) largest = std::max(largest, shape->getId());
  return largest + 1;
}

void RegionTools::withdraw(baseShape* shape, const char* name) {
  shape->setVisible(false);
  shape->setSelected(false);
  shape->setDeleted(true);
  shape->setName(name);
}

RegionTools::Pieces RegionTools::cutAlongArc(regionShape& source, arcShape& arc, int firstId) {
  const std::vector<pointShape*>& outline = source.getLinePoints();
  const std::vector<pointShape*>& arcPoints = arc.getLinePoints();
  Pieces pieces;
  if (outline.empty() || arcPoints.empty()) return pieces;
  const std::size_t s = nearestVertex(outline, arcPoints.front());
  const std::size_t e = nearestVertex(outline, arcPoints.back());
  pieces.first = newRegion(firstId);
  pieces.second = newRegion(firstId + 1);
  regionShape& first = *pieces.first;
  regionShape& second = *pieces.second;
  if (s < e) {
    appendRange(first, outline, 0, s);
    appendRange(second, outline, s, e);
    appendBackwards(second, arcPoints);
    appendRange(first, arcPoints, 0, arcPoints.size());
    appendRange(first, outline, e, outline.size());
  } else {
    appendRange(first, outline, 0, e);
    appendRange(second, outline, e, s);
    appendRange(second, arcPoints, 0, arcPoints.size());
    appendBackwards(first, arcPoints);
    appendRange(first, outline, s, outline.size());
  }
  return pieces;
}

RegionTools::ArcOutcome RegionTools::applyArc(std::vector<baseShape*>& shapes, baseShape* selected, ArcTool tool,
                                              int width, int height, double minDiameter) {
  ArcOutcome outcome;
  if (shapes.empty() || shapes.back()->getTypeShape() != ARC) return outcome;
  auto* arc = static_cast<arcShape*>(shapes.back());
  outcome.arcTaken = true;
  const bool sourceOnList = std::find(shapes.begin(), shapes.end(), selected) != shapes.end();
  auto* source = dynamic_cast<regionShape*>(selected);
  Pieces pieces;
  if (source != nullptr && sourceOnList) pieces = cutAlongArc(*source, *arc, nextId(shapes));
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
      points.push_back({static_cast<int>(width * vertex->getX()), static_cast<int>(height * vertex->getY())});
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
