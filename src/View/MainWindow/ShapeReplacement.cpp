#include "ShapeReplacement.h"

#include <algorithm>

ShapeReplacement::ShapeReplacement(const std::vector<baseShape*>& replaced) {
  for (baseShape* shape : replaced)
    if (shape != nullptr) changes.push_back({shape, stateOf(*shape), stateOf(*shape)});
}

void ShapeReplacement::finish(const std::vector<baseShape*>& added) {
  for (Change& change : changes) change.after = stateOf(*change.shape);
  for (baseShape* shape : added) {
    State withdrawn = stateOf(*shape);
    withdrawn.visible = false;
    withdrawn.deleted = true;
    changes.push_back({shape, withdrawn, stateOf(*shape)});
  }
}

void ShapeReplacement::undo() const {
  for (const Change& change : changes) give(*change.shape, change.before);
}

void ShapeReplacement::redo() const {
  for (const Change& change : changes) give(*change.shape, change.after);
}

bool ShapeReplacement::involves(const std::function<bool(const baseShape*)>& isGone) const {
  return std::any_of(changes.begin(), changes.end(), [&isGone](const Change& change) { return isGone(change.shape); });
}

ShapeReplacement::State ShapeReplacement::stateOf(const baseShape& shape) {
  return {shape.getVisible(), shape.getDeleted(), shape.getType(), shape.getName()};
}

void ShapeReplacement::give(baseShape& shape, const State& state) {
  shape.setVisible(state.visible);
  shape.setDeleted(state.deleted);
  shape.setType(state.type);
  shape.setName(state.name);
  shape.setSelected(false);
}
