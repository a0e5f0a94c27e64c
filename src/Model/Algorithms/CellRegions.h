#ifndef CELLREGIONS_H
#define CELLREGIONS_H

#include <vector>

class baseShape;

// From the contours of a detection to one region per cell.
namespace CellRegions {

// One visible region per contour, id k + 1 for contour k, its outline the
// contour's points as picture fractions of width x height, closed by the
// first point repeated. The caller owns the regions.
std::vector<baseShape*> fromContours(const std::vector<std::vector<int>>& xs, const std::vector<std::vector<int>>& ys,
                                     int width, int height);

// Keeps one region per group of overlapping candidates, in the order the
// groups form: of two regions close enough to overlap, the one that holds the
// other's centre stays (the earlier one when each holds the other's). A kept
// region's diameter, truncated, must lie strictly between `mindim` and
// `maxdim`. Every candidate not returned is deleted; the candidates must be
// distinct. Sizes are those of a width x height picture.
std::vector<baseShape*> overlappingTest(std::vector<baseShape*> candidates, int mindim, int maxdim, int width,
                                        int height);

}  // namespace CellRegions

#endif
