#include "EditHistory.h"

#include <algorithm>
#include <cstddef>
#include <utility>

void EditHistory::recordDeletion(baseShape* item) {
  undoSteps.emplace_back(item);
  undoFlag = true;
}

void EditHistory::recordReplacement(ShapeReplacement step) {
  undoSteps.emplace_back(std::move(step));
  eraseIf(redoSteps, [](const Step& undone) { return !std::holds_alternative<Addition>(undone); });
}

void EditHistory::recordAddition(baseShape* shape) { undoSteps.emplace_back(Addition{shape}); }

void EditHistory::recordTakenOff(baseShape* shape) {
  eraseIf(undoSteps, [shape](const Step& step) {
    const auto* addition = std::get_if<Addition>(&step);
    return addition != nullptr && addition->shape == shape;
  });
  redoSteps.emplace_back(Addition{shape});
}

// A hidden shape is never taken off the list: nothing on screen would change.
bool EditHistory::canUndo() const {
  if (undoSteps.empty()) return false;
  if (const auto* addition = std::get_if<Addition>(&undoSteps.back())) return addition->shape->getVisible();
  return undoFlag || std::holds_alternative<ShapeReplacement>(undoSteps.back());
}

bool EditHistory::undo(const std::function<void(baseShape*)>& takeOff) {
  if (!canUndo()) return false;
  if (const auto* addition = std::get_if<Addition>(&undoSteps.back()))
    takeOff(addition->shape);
  else
    takeBack(undoSteps.back());
  redoSteps.push_back(std::move(undoSteps.back()));
  undoSteps.pop_back();
  return true;
}

// Later steps may have changed shapes of the replacement (a deletion of
// another of its new shapes, a tool run on one of them): those, and the
// steps after them that changed their shapes in turn, are taken back first,
// latest first, so that every shape gets back the state it had before the
// replacement, and redo does them again in their order. Additions change no
// shape: they stay steps of their own.
bool EditHistory::undoReplacementThatMade(const baseShape* shape) {
  const auto made = std::find_if(undoSteps.begin(), undoSteps.end(), [shape](const Step& step) {
    const auto* replacement = std::get_if<ShapeReplacement>(&step);
    return replacement != nullptr && replacement->made(shape);
  });
  if (made == undoSteps.end()) return false;
  std::vector<baseShape*> changed = stepShapes(*made);
  std::vector<std::size_t> dependent{static_cast<std::size_t>(made - undoSteps.begin())};
  for (std::size_t later = dependent.front() + 1; later < undoSteps.size(); ++later) {
    if (std::holds_alternative<Addition>(undoSteps[later])) continue;
    const std::vector<baseShape*> shapes = stepShapes(undoSteps[later]);
    const bool touches = std::any_of(shapes.begin(), shapes.end(), [&changed](const baseShape* item) {
      return std::find(changed.begin(), changed.end(), item) != changed.end();
    });
    if (!touches) continue;
    dependent.push_back(later);
    changed.insert(changed.end(), shapes.begin(), shapes.end());
  }
  for (auto index = dependent.rbegin(); index != dependent.rend(); ++index) {
    takeBack(undoSteps[*index]);
    redoSteps.push_back(std::move(undoSteps[*index]));
    undoSteps.erase(undoSteps.begin() + static_cast<std::ptrdiff_t>(*index));
  }
  return true;
}

bool EditHistory::redo(const std::function<void(baseShape*)>& putBack) {
  if (redoSteps.empty()) return false;
  Step step = std::move(redoSteps.back());
  redoSteps.pop_back();
  if (const auto* addition = std::get_if<Addition>(&step))
    putBack(addition->shape);
  else
    doAgain(step);
  undoSteps.push_back(std::move(step));
  return true;
}

void EditHistory::takeBack(const Step& step) {
  if (const auto* replacement = std::get_if<ShapeReplacement>(&step)) {
    replacement->undo();
    return;
  }
  baseShape* item = std::get<baseShape*>(step);
  item->setVisible(true);
  item->setDeleted(false);
}

void EditHistory::doAgain(const Step& step) {
  if (const auto* replacement = std::get_if<ShapeReplacement>(&step)) {
    replacement->redo();
    return;
  }
  baseShape* item = std::get<baseShape*>(step);
  item->setVisible(false);
  item->setDeleted(true);
}

std::vector<baseShape*> EditHistory::stepShapes(const Step& step) {
  if (const auto* replacement = std::get_if<ShapeReplacement>(&step)) return replacement->shapes();
  if (const auto* addition = std::get_if<Addition>(&step)) return {addition->shape};
  return {std::get<baseShape*>(step)};
}

std::vector<baseShape*> EditHistory::deletedItems(const std::vector<Step>& steps) {
  std::vector<baseShape*> items;
  for (const Step& step : steps)
    if (const auto* item = std::get_if<baseShape*>(&step)) items.push_back(*item);
  return items;
}

void EditHistory::eraseIf(std::vector<Step>& steps, const std::function<bool(const Step&)>& drop) {
  steps.erase(std::remove_if(steps.begin(), steps.end(), drop), steps.end());
}

void EditHistory::clear() {
  undoSteps.clear();
  redoSteps.clear();
  undoFlag = false;
}

void EditHistory::forget(const std::function<bool(const baseShape*)>& isGone) {
  const auto gone = [&isGone](const Step& step) {
    const std::vector<baseShape*> shapes = stepShapes(step);
    return std::any_of(shapes.begin(), shapes.end(), isGone);
  };
  eraseIf(undoSteps, gone);
  eraseIf(redoSteps, gone);
}

void EditHistory::forgetTakenOff(const std::function<bool(const baseShape*)>& isListed) {
  eraseIf(redoSteps, [&isListed](const Step& step) {
    const auto* addition = std::get_if<Addition>(&step);
    return addition != nullptr && isListed(addition->shape);
  });
}
