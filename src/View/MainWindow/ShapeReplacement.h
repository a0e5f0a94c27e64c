#ifndef SHAPEREPLACEMENT_H
#define SHAPEREPLACEMENT_H

#include <string>
#include <vector>

#include "baseShape.h"

// One step of the canvas's history in which a region tool replaced shapes by
// new ones (merge, split, complete): the replaced shapes stay on the list,
// hidden, and the new ones were appended. Undo gives every shape the state it
// had before the tool and withdraws the new ones (hidden and marked deleted,
// as every shape the user removed); redo gives every shape the state the tool
// left. Like the rest of the history it owns nothing.
//
// Made before the tool runs, so that it takes the state of the shapes the
// tool may change, and finished after it with the shapes it added.
class ShapeReplacement {
 public:
  // Null entries of `replaced` (no shape was chosen) are left out.
  explicit ShapeReplacement(const std::vector<baseShape*>& replaced);

  // Takes the state the tool left the replaced shapes in, and the new shapes.
  void finish(const std::vector<baseShape*>& added);
  void undo() const;
  void redo() const;
  // Every shape the step changes, the replaced ones first.
  std::vector<baseShape*> shapes() const;
  // Whether `shape` is one the tool added.
  bool made(const baseShape* shape) const;

 private:
  // What a tool changes of a shape; a shape put back is never selected.
  struct State {
    bool visible;
    bool deleted;
    int type;
    std::string name;
  };
  struct Change {
    baseShape* shape;
    State before;
    State after;
    bool added;
  };
  static State stateOf(const baseShape& shape);
  static void give(baseShape& shape, const State& state);

  std::vector<Change> changes;
};

#endif
