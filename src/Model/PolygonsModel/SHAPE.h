#ifndef SHAPE_H
#define SHAPE_H

// The kinds of annotation shape; the values are stored nowhere but callers
// compare them, so they stay fixed.
enum SHAPE {
  POLYGON = 0,  // a baseShape before its subclass sets the kind
  CIRCLE = 1,
  POINT = 2,
  REGION = 3,
  LINE = 4,
  REGIONWITHPOINTS = 5,
  ARC = 6,
  ANGLE = 7
};

#endif
