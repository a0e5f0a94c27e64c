#ifndef POLYGONSREADOPTIONS_H
#define POLYGONSREADOPTIONS_H

namespace Model {

// What the annotation reader takes from a file; the two programs read
// different subsets of the same format.
struct PolygonsReadOptions {
  bool readAngles = true;       // Angle elements (ignored when false)
  bool collectMeasures = true;  // minDiameter, maxDiameter, M0..M9 into the measures list
};

}  // namespace Model

#endif
