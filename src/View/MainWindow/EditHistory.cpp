#include "EditHistory.h"

#include <algorithm>
#include <utility>

void EditHistory::recordDeletion(baseShape* item) {
  undoSteps.emplace_back(item);
  undoFlag = true;
}

void EditHistory::recordReplacement(ShapeReplacement step) {
  undoSteps.emplace_back(std::move(step));
  redoSteps.clear();
}

bool EditHistory::canUndo() const {
  if (undoSteps.empty()) return false;
  return undoFlag || std::holds_alternative<ShapeReplacement>(undoSteps.back());
}

bool EditHistory::undo() {
  if (!canUndo()) return false;
  takeBack(undoSteps.back());
  redoSteps.push_back(std::move(undoSteps.back()));
  undoSteps.pop_back();
  return true;
}

bool EditHistory::redo() {
  if (redoSteps.empty()) return false;
  doAgain(redoSteps.back());
  undoSteps.push_back(std::move(redoSteps.back()));
  redoSteps.pop_back();
  return true;
}

bool EditHistory::canRedoReplacement() const {
  return !redoSteps.empty() && std::holds_alternative<ShapeReplacement>(redoSteps.back());
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

std::vector<baseShape*> EditHistory::deletedItems(const std::vector<Step>& steps) {
  std::vector<baseShape*> items;
  for (const Step& step : steps)
    if (const auto* item = std::get_if<baseShape*>(&step)) items.push_back(*item);
  return items;
}

void EditHistory::clear() {
  undoSteps.clear();
  redoSteps.clear();
  undoFlag = false;
}

void EditHistory::forget(const std::function<bool(const baseShape*)>& isGone) {
  const auto gone = [&isGone](const Step& step) {
    if (const auto* replacement = std::get_if<ShapeReplacement>(&step)) return replacement->involves(isGone);
    return isGone(std::get<baseShape*>(step));
  };
  for (std::vector<Step>* steps : {&undoSteps, &redoSteps})
    steps->erase(std::remove_if(steps->begin(), steps->end(), gone), steps->end());
}
