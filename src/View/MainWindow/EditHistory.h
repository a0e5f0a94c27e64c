#ifndef EDITHISTORY_H
#define EDITHISTORY_H

#include <functional>
#include <vector>

#include "baseShape.h"

// The canvas's deletion history. A deletion hides an item and marks it
// deleted but leaves it where it was (in the shape list or in its region);
// undo shows the last deleted item again and redo hides the last undone one.
// The history owns nothing and never removes an item from its place.
class EditHistory {
 public:
  // Records an item the caller has just hidden; undo is armed again.
  void recordDeletion(baseShape* item);
  // Shows the last deleted item again and moves it to the redo list. Only
  // while undo is armed. Returns whether an item was restored.
  bool undo();
  // Hides the last undone item again and moves it back to the undo list,
  // armed or not. Returns whether an item was hidden.
  bool redo();
  // Refuses undo until the next deletion; the lists keep their items.
  void disarmUndo() { undoFlag = false; }
  void clear();
  // Forgets every item for which `isGone` holds. Only the pointer value is
  // given to `isGone`: a forgotten item may already be freed.
  void forget(const std::function<bool(const baseShape*)>& isGone);

  bool canUndo() const { return undoFlag; }
  const std::vector<baseShape*>& getUndoList() const { return poligonsSave; }
  const std::vector<baseShape*>& getRedoList() const { return poligonsUndo; }

 private:
  std::vector<baseShape*> poligonsSave;  // deleted items, in deletion order
  std::vector<baseShape*> poligonsUndo;  // undone items, in undo order
  bool undoFlag = false;
};

#endif
