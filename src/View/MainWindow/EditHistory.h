#ifndef EDITHISTORY_H
#define EDITHISTORY_H

#include <functional>
#include <variant>
#include <vector>

#include "ShapeReplacement.h"
#include "baseShape.h"

// The canvas's editing history, in steps of three kinds. A deletion hides an
// item and marks it deleted but leaves it where it was (in the shape list or
// in its region); undo shows it again and redo hides it again. A replacement
// is a region tool's work (ShapeReplacement); undo puts back the shapes as
// they were before the tool and redo as the tool left them. An addition puts
// a shape on the list (Cavitra's canvas records them); undo hands the shape
// to the canvas to take off the list, which keeps it meanwhile, and redo
// hands it back to put on the list again. Undo takes back the newest step
// first and redo walks the steps in the reverse order of the undos. The
// history owns nothing and never moves an item itself.
class EditHistory {
 public:
  // Records an item the caller has just hidden; undo is armed again.
  void recordDeletion(baseShape* item);
  // Records a finished replacement. The undone deletions and replacements
  // are dropped: redoing one now could show a shape next to the shapes that
  // replaced it. The undone additions can still come back: none of their
  // shapes was replaced, since a tool works on the list.
  void recordReplacement(ShapeReplacement step);
  // Records that the caller put `shape` on the list.
  void recordAddition(baseShape* shape);
  // Records, as the last undone step, that the caller took `shape` off the
  // list outside the order of the steps; its addition is no step any more.
  void recordTakenOff(baseShape* shape);
  // Whether undo takes back the last step: a replacement always, a deletion
  // only while undo is armed, an addition while its shape is shown.
  bool canUndo() const;
  // Takes back the last step when it can and moves it to the redo list; the
  // shape of an addition is handed to `takeOff`, since the list is the
  // caller's. Returns whether a step was taken back.
  bool undo(const std::function<void(baseShape*)>& takeOff);
  // Takes back the replacement not yet undone that added `shape`, wherever
  // it lies in the undo list, after the later steps that changed its shapes,
  // and moves them to the redo list. Returns whether there was one.
  bool undoReplacementThatMade(const baseShape* shape);
  // Does the last undone step again and moves it back to the undo list,
  // armed or not; the shape of an addition is handed to `putBack`, since the
  // list is the caller's. Returns whether a step was done again.
  bool redo(const std::function<void(baseShape*)>& putBack);
  // Refuses undo of deletions until the next deletion; the lists keep their
  // steps.
  void disarmUndo() { undoFlag = false; }
  void clear();
  // Forgets every step of an item for which `isGone` holds, and every
  // replacement that involves one. Only the pointer value is given to
  // `isGone`: a forgotten item may already be freed.
  void forget(const std::function<bool(const baseShape*)>& isGone);
  // Forgets the undone additions of the shapes for which `isListed` holds:
  // they are on the list again, and redo must not add them a second time.
  void forgetTakenOff(const std::function<bool(const baseShape*)>& isListed);

  // The deleted items of the deletion steps of each list, in order.
  std::vector<baseShape*> getUndoList() const { return deletedItems(undoSteps); }
  std::vector<baseShape*> getRedoList() const { return deletedItems(redoSteps); }

 private:
  struct Addition {
    baseShape* shape;
  };
  // A deleted item, a replacement, or a shape put on the list.
  using Step = std::variant<baseShape*, ShapeReplacement, Addition>;
  static void takeBack(const Step& step);
  static void doAgain(const Step& step);
  // The shapes a step changes.
  static std::vector<baseShape*> stepShapes(const Step& step);
  static std::vector<baseShape*> deletedItems(const std::vector<Step>& steps);
  static void eraseIf(std::vector<Step>& steps, const std::function<bool(const Step&)>& drop);

  std::vector<Step> undoSteps;  // in the order done
  std::vector<Step> redoSteps;  // in the order undone
  bool undoFlag = false;
};

#endif
