#ifndef CANVASPOLICY_H
#define CANVASPOLICY_H

// What the image canvas does differently from one program to the other.
struct CanvasPolicy {
  // The range within which the wheel zoom keeps the scale (window pixels per
  // image pixel); fitting the picture to the window is not held to it.
  double minScale = 0;
  double maxScale = 0;
};

#endif
