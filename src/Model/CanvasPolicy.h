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
  // what undo brought back. In both, a region tool's replacement that is the
  // last step is undone and redone as one.
  bool undoTakesLastShape = false;
  // A press of the select tool takes every visible shape under the pointer
  // instead of only the first.
  bool selectsEveryShapeUnderPointer = false;
  // Selecting a shape that is no region and dragging the selection are
  // announced to observers (ShapeSelected, SelectionMoved).
  bool announcesSelection = true;
  // Starting a selection box fits the picture to the window first; otherwise
  // the box is drawn over the view as it is.
  bool selectionBoxFits = true;
  // Whether a point clicked inside a visible region joins that region at
  // start-up (a point outside every region always stands alone).
  bool pointsJoinRegions = true;
};

#endif
