#ifndef PICTUREREACH_H
#define PICTUREREACH_H

// The rectangle a shape of a picture may occupy: the picture and two of its
// larger sides on every side of it. Drawing hands the graphics library nothing
// beyond it, and an annotation file with a shape beyond it is refused, so that
// every measure taken from a shape stays within a few picture sizes.
class PictureReach {
 public:
  // How far the reach extends on each side, in sizes of the picture's
  // larger side.
  static constexpr double picturesAround = 2;

  // The reach of a picture of `width` x `height` whose top-left corner lies
  // at (cornerX, cornerY), all in the same unit.
  PictureReach(double width, double height, double cornerX = 0, double cornerY = 0);

  // Whether (x, y) lies within the reach; false when either is not a number.
  bool contains(double x, double y) const;
  // Whether a radius (of either sign) is no larger than the reach is wide.
  bool spans(double radius) const;

  double left;
  double top;
  double right;
  double bottom;
};

#endif
