#include "ShapeReplacement.h"

#include <algorithm>

ShapeReplacement::ShapeReplacement(const std::vector<baseShape*>& replaced) {
  for (baseShape* shape : replaced)
    if (shape != nullptr) changes.push_back({shape, stateOf(*shape), stateOf(*shape), false});
}

void ShapeReplacement::finish(const std::vector<baseShape*>& added) {
  for (Change& change : changes) change.after = stateOf(*change.shape);
  for (baseShape* shape : added) {
    State withdrawn = stateOf(*shape);
    withdrawn.visible = false;
    withdrawn.deleted = true;
    changes.push_back({shape, withdrawn, stateOf(*shape), true});
  }
}

void ShapeReplacement::undo() const {
  for (const Change& change : changes) give(*change.shape, change.before);
}

void ShapeReplacement::redo() const {
  for (const Change& change : changes) give(*change.shape, change.after);
}

std::vector<baseShape*> ShapeReplacement::shapes() const {
  std::vector<baseShape*> changed;
  for (const Change& change : changes) changed.push_back(change.shape);
  return changed;
}

bool ShapeReplacement::made(const baseShape* shape) const {
  return std::any_of(changes.begin(), changes.end(),
                     [shape](const Change& change) { return change.added && change.shape == shape; });
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
