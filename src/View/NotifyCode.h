#ifndef NOTIFYCODE_H
#define NOTIFYCODE_H

// The codes with which the canvas tells its observers what changed.
enum NotifyCode {
  ViewChanged = 0,
  RegionSelected = 1,
  ShapesDeleted = 2,
  ShapeAdded = 3,
  LineFinished = 4,
  ShapeSelected = 5,
  SelectionMoved = 6,
  ArcFinished = 7,
  ImageLoaded = 10
};

#endif
