#include "CystRegionTools.h"

#include <algorithm>
#include <cmath>
#include <memory>

const CystRegionTools::Remark CystRegionTools::undoFalsePositive{FalsePositive, true, false, FalsePositiveRestored,
                                                                 true};
const CystRegionTools::Remark CystRegionTools::redoFalsePositive{FalsePositiveRestored, false, false, FalsePositive,
                                                                 false};
const CystRegionTools::Remark CystRegionTools::undoAddedCysts{AddedCyst, true, true, AddedCystWithdrawn, false};
const CystRegionTools::Remark CystRegionTools::redoAddedCysts{AddedCystWithdrawn, true, false, AddedCyst, true};

bool CystRegionTools::isVisibleRegion(baseShape* shape) {
  return shape->getTypeShape() == REGION && shape->getVisible();
}

void CystRegionTools::hideWithMark(baseShape* shape, int mark) {
  shape->setVisible(false);
  shape->setSelected(false);
  shape->setType(mark);
}

CystRegionTools::CystIndex CystRegionTools::cystIndex(const std::vector<baseShape*>& shapes, int width, int height) {
  CystIndex index;
  double area = 0;
  for (baseShape* shape : shapes) {
    if (!isVisibleRegion(shape)) continue;
    area += shape->getArea(width, height);
    ++index.regions;
  }
  const double pictureArea = static_cast<double>(width) * static_cast<double>(height);
  if (pictureArea > 0) index.percent = area / pictureArea * 100.0;
  return index;
}

std::string CystRegionTools::indexText(double percent) {
  // The integer part, truncated toward zero; an index is never negative. The
  // shapes of a file may cover the picture many times over: the figure is
  // held within what the integer shown can take.
  constexpr double largestShown = 1e18;
  const double whole = std::isnan(percent) ? 0.0 : std::trunc(std::clamp(percent, 0.0, largestShown));
  return std::to_string(static_cast<long long>(whole)) + " %";
}

std::vector<baseShape*> CystRegionTools::removeInner(const std::vector<baseShape*>& shapes, int width, int height) {
  std::vector<baseShape*> removed;
  for (baseShape* mask : shapes) {
    if (!isVisibleRegion(mask) || !mask->getManual()) continue;
    for (baseShape* region : shapes) {
      if (!isVisibleRegion(region) || region->getManual()) continue;
      if (!mask->inside(region->getX() * width, region->getY() * height, width, height)) continue;
      hideWithMark(region, InnerRemoved);
      region->setDeleted(true);
      removed.push_back(region);
    }
  }
  return removed;
}

int CystRegionTools::remark(const std::vector<baseShape*>& shapes, const Remark& change) {
  int changed = 0;
  for (baseShape* shape : shapes) {
    if (shape->getType() != change.from) continue;
    if (change.onlyWithVisibility && shape->getVisible() != change.visibility) continue;
    shape->setType(change.to);
    shape->setVisible(change.show);
    if (!change.show) shape->setSelected(false);
    ++changed;
  }
  return changed;
}

int CystRegionTools::addCysts(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& candidates, int width,
                              int height, const std::function<bool(regionShape&)>& isCyst) {
  const std::size_t before = shapes.size();
  int id = RegionTools::nextId(shapes);
  int added = 0;
  for (baseShape* candidate : candidates) {
    auto* region = dynamic_cast<regionShape*>(candidate);
    const bool coversExisting =
        region == nullptr || std::any_of(shapes.begin(), shapes.begin() + before, [&](baseShape* shape) {
          return isVisibleRegion(shape) && region->inside(shape->getX() * width, shape->getY() * height, width, height);
        });
    if (coversExisting || !isCyst(*region)) {
      delete candidate;
      continue;
    }
    region->setType(AddedCyst);
    region->setId(id++);
    shapes.push_back(region);
    ++added;
  }
  return added;
}

CystRegionTools::ArcOutcome CystRegionTools::applyArc(std::vector<baseShape*>& shapes, baseShape* selected,
                                                      RegionTools::ArcTool tool, int width, int height) {
  ArcOutcome outcome;
  if (shapes.empty() || shapes.back()->getTypeShape() != ARC) return outcome;
  auto* arc = static_cast<arcShape*>(shapes.back());
  const bool sourceOnList = std::find(shapes.begin(), shapes.end() - 1, selected) != shapes.end() - 1;
  auto* source = dynamic_cast<regionShape*>(selected);
  RegionTools::Pieces pieces;
  if (source != nullptr && sourceOnList)
    pieces = RegionTools::cutAlongArc(*source, *arc, RegionTools::nextId(shapes), tool);
  outcome.result = pieces.result;
  arc->setVisible(false);
  arc->setSelected(false);
  if (!pieces.first) return outcome;

  const int mark = tool == RegionTools::ArcTool::Split ? SplitMark : CompletionMark;
  std::vector<std::unique_ptr<regionShape>> kept;
  if (tool == RegionTools::ArcTool::Split) {
    kept.push_back(std::move(pieces.first));
    kept.push_back(std::move(pieces.second));
  } else if (pieces.first->getArea(width, height) > pieces.second->getArea(width, height)) {
    kept.push_back(std::move(pieces.first));
  } else {
    kept.push_back(std::move(pieces.second));
  }
  for (std::unique_ptr<regionShape>& piece : kept) {
    piece->setType(mark);
    outcome.added.push_back(piece.get());
    shapes.push_back(piece.release());
  }
  hideWithMark(source, mark);
  outcome.source = source;
  return outcome;
}

regionShape* CystRegionTools::merge(std::vector<baseShape*>& shapes, const std::vector<baseShape*>& selected,
                                    int width, int height) {
  std::unique_ptr<regionShape> merged = RegionTools::hullOf(selected, width, height, RegionTools::nextId(shapes));
  if (!merged) return nullptr;
  for (baseShape* shape : selected)
    if (shape->getTypeShape() == REGION) hideWithMark(shape, MergeMark);
  merged->setType(MergeMark);
  shapes.push_back(merged.get());
  return merged.release();
}
