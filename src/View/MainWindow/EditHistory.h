#ifndef EDITHISTORY_H
#define EDITHISTORY_H

#include <functional>
#include <variant>
#include <vector>

#include "ShapeReplacement.h"
#include "baseShape.h"

// The canvas's editing history, in steps of two kinds. A deletion hides an
// item and marks it deleted but leaves it where it was (in the shape list or
// in its region); undo shows it again and redo hides it again. A replacement
// is a region tool's work (ShapeReplacement); undo puts back the shapes as
// they were before the tool and redo as the tool left them. The history owns
// nothing and never removes an item from its place.
class EditHistory {
 public:
  // Records an item the caller has just hidden; undo is armed again.
  void recordDeletion(baseShape* item);
  // Records a finished replacement. The undone steps are dropped: redoing
  // one now could show a shape next to the shapes that replaced it.
  void recordReplacement(ShapeReplacement step);
  // Whether undo takes back the last step: a replacement always, a deletion
  // only while undo is armed.
  bool canUndo() const;
  // Takes back the last step when it can and moves it to the redo list.
  // Returns whether a step was taken back.
  bool undo();
  // Does the last undone step again and moves it back to the undo list,
  // armed or not. Returns whether a step was done again.
  bool redo();
  // Whether the last undone step is a replacement.
  bool canRedoReplacement() const;
  // Refuses undo of deletions until the next deletion; the lists keep their
  // steps.
  void disarmUndo() { undoFlag = false; }
  void clear();
  // Forgets every deletion of an item for which `isGone` holds, and every
  // replacement that involves one. Only the pointer value is given to
  // `isGone`: a forgotten item may already be freed.
  void forget(const std::function<bool(const baseShape*)>& isGone);

  // The deleted items of the deletion steps of each list, in order.
  std::vector<baseShape*> getUndoList() const { return deletedItems(undoSteps); }
  std::vector<baseShape*> getRedoList() const { return deletedItems(redoSteps); }

 private:
  // A deleted item, or a replacement.
  using Step = std::variant<baseShape*, ShapeReplacement>;
  static void takeBack(const Step& step);
  static void doAgain(const Step& step);
  static std::vector<baseShape*> deletedItems(const std::vector<Step>& steps);

  std::vector<Step> undoSteps;  // in the order done
  std::vector<Step> redoSteps;  // in the order undone
  bool undoFlag = false;
};

#endif
