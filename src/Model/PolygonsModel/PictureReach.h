#ifndef PICTUREREACH_H
#define PICTUREREACH_H

#include "MovedPositions.h"

// The rectangle a shape of a picture may occupy: the picture, two of its
// widths to the left and to the right of it and two of its heights above and
// below it. Drawing hands the graphics library nothing beyond it, an
// annotation file with a shape beyond it is refused, and the canvas keeps the
// shapes it moves and draws within it, so that every file the program writes
// opens again and every measure taken from a shape stays within a few
// picture sizes. Measured per axis, the reach in fractions of the picture is
// that of a 1 x 1 picture, whatever the picture's size.
class PictureReach {
 public:
  // How far the reach extends on each side, in picture widths across and in
  // picture heights up and down.
  static constexpr double picturesAround = 2;

  // The reach of a picture of `width` x `height` whose top-left corner lies
  // at (cornerX, cornerY), all in the same unit.
  PictureReach(double width, double height, double cornerX = 0, double cornerY = 0);

  // Whether (x, y) lies within the reach; false when either is not a number.
  bool contains(double x, double y) const;
  // The largest radius of a circle: the reach's narrower extent, so that a
  // circle centred within the reach stays within a few picture sizes on
  // both axes, its area within a bounded multiple of the picture's.
  double largestRadius() const;
  // Whether a radius (of either sign) is no larger than largestRadius.
  bool spans(double radius) const;
  // Cuts the shift (dx, dy) of the positions so that all of them stay within
  // the reach; positions already beyond an edge are never shifted further
  // beyond it.
  void limitShift(const MovedPositions& positions, double& dx, double& dy) const {
    positions.limitShift(left, top, right, bottom, dx, dy);
  }

  double left;
  double top;
  double right;
  double bottom;
};

#endif
