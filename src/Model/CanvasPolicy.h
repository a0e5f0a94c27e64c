#ifndef CANVASPOLICY_H
#define CANVASPOLICY_H

// What the image canvas does differently from one program to the other.
struct CanvasPolicy {
  // The range within which the wheel zoom keeps the scale (window pixels per
  // image pixel); fitting the picture to the window is not held to it.
  double minScale = 0;
  double maxScale = 0;
  // Undo and redo over one list: an undo takes back only the last deletion
  // made since the tools were last restored, and otherwise takes the last
  // shape off the list; redo puts back the shapes undo took off, last first.
  // Otherwise undo takes back every deletion in turn and redo deletes again
  // what undo brought back.
  bool undoTakesLastShape = false;
};

#endif
