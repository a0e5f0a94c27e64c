#ifndef CANVASVIEW_H
#define CANVASVIEW_H

#include "CanvasPolicy.h"
#include "FractionBox.h"

// The view arithmetic of the image canvas: which part of the picture the
// window shows and at which scale.
//
// Coordinates: window pixels; image pixels = (window - offset) / scale; image
// fractions = image pixels / picture size. The window's centre shows the image
// point (focusX, focusY), so offset = winWidth / 2 - scale * focusX, with the
// half window taken as an integer division.
//
// Every operation that moves the view does nothing while there is no picture
// (a size of zero), so no division by a zero size or scale can happen.
class CanvasView {
 public:
  // The part of the window covered by the picture, in window pixels.
  struct WindowArea {
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
  };

  explicit CanvasView(const CanvasPolicy& policy);

  bool hasPicture() const { return imgWidth > 0 && imgHeight > 0; }
  int getImgWidth() const { return imgWidth; }
  int getImgHeight() const { return imgHeight; }
  void setImgWidth(int width) { imgWidth = width; }
  void setImgHeight(int height) { imgHeight = height; }
  int getWinWidth() const { return winWidth; }
  int getWinHeight() const { return winHeight; }
  void setWinWidth(int width) { winWidth = width; }
  void setWinHeight(int height) { winHeight = height; }

  double getScale() const { return scale; }
  double getMinScale() const { return minScale; }
  double getMaxScale() const { return maxScale; }
  double getFocusX() const { return focusX; }
  double getFocusY() const { return focusY; }
  double getOffsetX() const { return offsetX; }
  double getOffsetY() const { return offsetY; }
  // Fit mode: every frame refits the picture to the window.
  bool isFitting() const { return fitFlag; }
  void setFitting(bool on) { fitFlag = on; }
  // The image fractions at the window's left (x0), top (y0), right (x1) and
  // bottom (y1) edges, as the last operation computed them.
  const FractionBox& getVisibleFractions() const { return visible; }
  // The box the overview shows for the last view change.
  const FractionBox& getViewBox() const { return viewBox; }
  const WindowArea& getPictureArea() const { return pictureArea; }

  // Window position to image fractions with the stored offsets.
  double toFractionX(double windowX) const;
  double toFractionY(double windowY) const;
  // Window position to image pixels with the stored offsets.
  double toImageX(double windowX) const;
  double toImageY(double windowY) const;

  // Stores the offsets of the current focus and scale.
  void updateOffsets();
  // Takes the window size of a new frame and computes the offsets, the part
  // of the window the picture covers and the visible fractions.
  void prepareFrame(int width, int height);

  // Each returns false, changing nothing, when there is no picture or the
  // arguments give nothing to show.
  // Scales the picture to fit the window and centres it; the view box
  // becomes the whole picture. False also when the view was already so.
  bool fitImage(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight);
  // Scales by (1 - step) within the zoom limits, keeping the image point under
  // the pointer in place, then moves the picture against the window's edge
  // where it would leave empty space on one side while cut off on the other.
  bool zoom(double step, double pointerX, double pointerY, int allocatedWidth, int allocatedHeight);
  // One-to-one scale, picture centred.
  bool reset();
  // Centres the view on the image fractions (fx, fy), then moves the picture
  // against the window's edges as zooming out does.
  bool setFocus(double fx, double fy);
  // Centres the view on the middle of the given visible fractions.
  bool setRectangleView(double left, double top, double right, double bottom);
  // Makes the window position (x, y) the centre.
  bool setCenter(int x, int y, int allocatedWidth, int allocatedHeight);
  // One step of a drag from (lastX, lastY) to (x, y). Each axis moves only
  // while the picture still covers the window on it, or stays wholly inside.
  bool pan(int x, int y, int lastX, int lastY, int allocatedWidth, int allocatedHeight);
  // Moves the focus by a window displacement, without any edge test.
  bool shiftFocus(double windowDx, double windowDy);

 private:
  double offsetXFor(double focus, double atScale) const;
  double offsetYFor(double focus, double atScale) const;
  FractionBox fractionsFor(double offX, double offY, double atScale) const;

  double scale = 1.0;
  double focusX = 0;
  double focusY = 0;
  int winWidth = 0;
  int winHeight = 0;
  int imgWidth = 0;
  int imgHeight = 0;
  double offsetX = 0;
  double offsetY = 0;
  double minScale;
  double maxScale;
  bool fitFlag = false;
  FractionBox visible;
  FractionBox viewBox;
  WindowArea pictureArea;
};

#endif
