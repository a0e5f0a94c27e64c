#include "EditHistory.h"

#include <algorithm>

void EditHistory::recordDeletion(baseShape* item) {
  poligonsSave.push_back(item);
  undoFlag = true;
}

bool EditHistory::undo() {
  if (!undoFlag || poligonsSave.empty()) return false;
  baseShape* item = poligonsSave.back();
  poligonsSave.pop_back();
  item->setVisible(true);
  item->setDeleted(false);
  poligonsUndo.push_back(item);
  return true;
}

bool EditHistory::redo() {
  if (poligonsUndo.empty()) return false;
  baseShape* item = poligonsUndo.back();
  poligonsUndo.pop_back();
  item->setVisible(false);
  item->setDeleted(true);
  poligonsSave.push_back(item);
  return true;
}

void EditHistory::clear() {
  poligonsSave.clear();
  poligonsUndo.clear();
  undoFlag = false;
}

void EditHistory::forget(const std::function<bool(const baseShape*)>& isGone) {
  for (std::vector<baseShape*>* list : {&poligonsSave, &poligonsUndo})
    list->erase(std::remove_if(list->begin(), list->end(), isGone), list->end());
}
