#ifndef MOVEDPOSITIONS_H
#define MOVEDPOSITIONS_H

#include <limits>

// The positions, in fractions of the picture, that one move shifts together:
// the vertices of a shape, or of every shape of a selection. A move is cut as
// a whole, never position by position, so that the shapes keep their form
// and their places relative to each other.
class MovedPositions {
 public:
  void add(double x, double y);
  bool empty() const { return minX > maxX; }

  // Cuts the shift (dx, dy) so that every position stays within
  // [left, right] x [top, bottom]; a position already beyond an edge may move
  // back toward it but never further beyond it. Nothing is cut when there
  // are no positions.
  void limitShift(double left, double top, double right, double bottom, double& dx, double& dy) const;
  // The same with the picture itself as the rectangle.
  void limitShiftToPicture(double& dx, double& dy) const { limitShift(0, 0, 1, 1, dx, dy); }

 private:
  double minX = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
};

#endif
