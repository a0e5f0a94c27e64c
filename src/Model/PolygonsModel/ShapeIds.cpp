#include "ShapeIds.h"

#include <algorithm>
#include <unordered_set>

#include "regionShape.h"

namespace {

int largestId(const std::vector<baseShape*>& items, int largest) {
  for (const baseShape* item : items) largest = std::max(largest, item->getId());
  return largest;
}

}  // namespace

std::vector<baseShape*> ShapeIds::itemsOf(const std::vector<baseShape*>& shapes) {
  std::vector<baseShape*> items;
  for (baseShape* shape : shapes) {
    if (shape == nullptr) continue;
    items.push_back(shape);
    if (auto* region = dynamic_cast<regionShape*>(shape)) {
      const std::vector<baseShape*> inner = region->getPoints();
      items.insert(items.end(), inner.begin(), inner.end());
    }
  }
  return items;
}

int ShapeIds::next(const std::vector<baseShape*>& shapes) { return largestId(itemsOf(shapes), 0) + 1; }

int ShapeIds::makeUnique(const std::vector<baseShape*>& holders, const std::vector<baseShape*>& newcomers,
                         int first) {
  int id = std::max(first, largestId(newcomers, largestId(holders, 0)) + 1);
  std::unordered_set<int> taken;
  for (const baseShape* holder : holders) taken.insert(holder->getId());
  for (baseShape* newcomer : newcomers) {
    if (!taken.insert(newcomer->getId()).second) newcomer->setId(id++);
  }
  return id;
}
