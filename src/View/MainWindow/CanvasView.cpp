#include "CanvasView.h"

#include <algorithm>

namespace {

enum class Axis { X, Y };

// The focus shift on one axis that puts the picture against the window's edge
// when the visible fractions [start, end] show it cut off on one side and
// empty space on the other. Zooming in with space before the picture and its
// far part cut off aligns the near edge on X but the far edge on Y.
double edgeCorrection(Axis axis, double start, double end, double offset, int pictureSize, int windowSize,
                      double newScale, bool zoomingOut) {
  if (start > 0 && end > 1) {
    if (zoomingOut) return -((start - 1) * pictureSize * newScale + windowSize) / newScale;
    return -pictureSize * start;
  }
  if (start < 0 && end < 1) {
    if (zoomingOut) return offset / newScale;
    return axis == Axis::X ? -pictureSize * start : pictureSize * (1 - end);
  }
  return 0;
}

// A drag is refused on an axis where it would cut the picture off on one side
// and leave empty space on the other.
bool panRefused(double start, double end) { return (start > 0 && end > 1) || (start < 0 && end < 1); }

}  // namespace

CanvasView::CanvasView(const CanvasPolicy& policy) : minScale(policy.minScale), maxScale(policy.maxScale) {}

double CanvasView::toFractionX(double windowX) const { return (windowX - offsetX) / (imgWidth * scale); }
double CanvasView::toFractionY(double windowY) const { return (windowY - offsetY) / (imgHeight * scale); }
double CanvasView::toImageX(double windowX) const { return (windowX - offsetX) / scale; }
double CanvasView::toImageY(double windowY) const { return (windowY - offsetY) / scale; }

double CanvasView::offsetXFor(double focus, double atScale) const { return (winWidth / 2) - atScale * focus; }
double CanvasView::offsetYFor(double focus, double atScale) const { return (winHeight / 2) - atScale * focus; }

FractionBox CanvasView::fractionsFor(double offX, double offY, double atScale) const {
  const double width = imgWidth * atScale;
  const double height = imgHeight * atScale;
  return {-offX / width, -offY / height, (winWidth - offX) / width, (winHeight - offY) / height};
}

void CanvasView::updateOffsets() {
  offsetX = offsetXFor(focusX, scale);
  offsetY = offsetYFor(focusY, scale);
}

void CanvasView::prepareFrame(int width, int height) {
  winWidth = width;
  winHeight = height;
  updateOffsets();
  if (!hasPicture()) {
    pictureArea = WindowArea();
    return;
  }
  pictureArea.minX = std::max(0.0, offsetX);
  pictureArea.minY = std::max(0.0, offsetY);
  pictureArea.maxX = std::min((winWidth / 2) + (imgWidth - focusX) * scale, static_cast<double>(winWidth));
  pictureArea.maxY = std::min((winHeight / 2) + (imgHeight - focusY) * scale, static_cast<double>(winHeight));
  visible = fractionsFor(offsetX, offsetY, scale);
}

bool CanvasView::fitImage(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
  if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return false;
  const double windowRatio = static_cast<double>(windowWidth) / windowHeight;
  const double pictureRatio = static_cast<double>(pictureWidth) / pictureHeight;
  const double fittedScale = windowRatio > pictureRatio ? static_cast<double>(windowHeight) / pictureHeight
                                                        : static_cast<double>(windowWidth) / pictureWidth;
  const double centreX = pictureWidth / 2.0, centreY = pictureHeight / 2.0;
  const FractionBox whole{0, 0, 1, 1};
  // Fit mode refits on every frame: only a real change may ask for another
  // frame, or an idle window would redraw without end.
  const bool changed = scale != fittedScale || focusX != centreX || focusY != centreY || viewBox.x0 != whole.x0 ||
                       viewBox.y0 != whole.y0 || viewBox.x1 != whole.x1 || viewBox.y1 != whole.y1;
  scale = fittedScale;
  focusX = centreX;
  focusY = centreY;
  viewBox = whole;
  return changed;
}

bool CanvasView::zoom(double step, double pointerX, double pointerY, int allocatedWidth, int allocatedHeight) {
  if (!hasPicture()) return false;
  fitFlag = false;
  const double newScale = std::clamp((1 - step) * scale, minScale, maxScale);
  const double deltaX = pointerX - allocatedWidth / 2.0;
  const double deltaY = pointerY - allocatedHeight / 2.0;
  winWidth = allocatedWidth;
  winHeight = allocatedHeight;
  focusX += deltaX / scale - deltaX / newScale;
  focusY += deltaY / scale - deltaY / newScale;

  const double offX = offsetXFor(focusX, newScale);
  const double offY = offsetYFor(focusY, newScale);
  visible = fractionsFor(offX, offY, newScale);
  const bool zoomingOut = scale >= newScale;
  focusX += edgeCorrection(Axis::X, visible.x0, visible.x1, offX, imgWidth, winWidth, newScale, zoomingOut);
  focusY += edgeCorrection(Axis::Y, visible.y0, visible.y1, offY, imgHeight, winHeight, newScale, zoomingOut);
  scale = newScale;
  viewBox = visible;
  return true;
}

bool CanvasView::reset() {
  if (!hasPicture()) return false;
  fitFlag = false;
  scale = 1.0;
  focusX = imgWidth / 2.0;
  focusY = imgHeight / 2.0;
  updateOffsets();
  visible = fractionsFor(offsetX, offsetY, scale);
  viewBox = visible;
  return true;
}

bool CanvasView::setFocus(double fx, double fy) {
  if (!hasPicture()) return false;
  focusX = imgWidth * fx;
  focusY = imgHeight * fy;
  const double offX = offsetXFor(focusX, scale);
  const double offY = offsetYFor(focusY, scale);
  visible = fractionsFor(offX, offY, scale);
  focusX += edgeCorrection(Axis::X, visible.x0, visible.x1, offX, imgWidth, winWidth, scale, true);
  focusY += edgeCorrection(Axis::Y, visible.y0, visible.y1, offY, imgHeight, winHeight, scale, true);
  viewBox = visible;
  return true;
}

bool CanvasView::setRectangleView(double left, double top, double right, double bottom) {
  if (!hasPicture()) return false;
  visible = {left, top, right, bottom};
  focusX = imgWidth * (left + (right - left) / 2);
  focusY = imgHeight * (top + (bottom - top) / 2);
  return true;
}

bool CanvasView::setCenter(int x, int y, int allocatedWidth, int allocatedHeight) {
  if (!hasPicture()) return false;
  focusX += (x - allocatedWidth / 2.0) / scale;
  focusY += (y - allocatedHeight / 2.0) / scale;
  return true;
}

bool CanvasView::pan(int x, int y, int lastX, int lastY, int allocatedWidth, int allocatedHeight) {
  if (!hasPicture()) return false;
  fitFlag = false;
  const double candidateX = focusX - (x - lastX) / scale;
  const double candidateY = focusY - (y - lastY) / scale;
  winWidth = allocatedWidth;
  winHeight = allocatedHeight;
  visible = fractionsFor(offsetXFor(candidateX, scale), offsetYFor(candidateY, scale), scale);
  if (!panRefused(visible.x0, visible.x1)) focusX = candidateX;
  if (!panRefused(visible.y0, visible.y1)) focusY = candidateY;
  viewBox = visible;
  return true;
}

bool CanvasView::shiftFocus(double windowDx, double windowDy) {
  if (!hasPicture()) return false;
  focusX += windowDx / scale;
  focusY += windowDy / scale;
  return true;
}
