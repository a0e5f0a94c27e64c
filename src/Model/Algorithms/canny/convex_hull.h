/* Convex hull of a point list by the monotone chain method. */
#ifndef CONVEX_HULL_H
#define CONVEX_HULL_H

#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A new valid list of n + 1 slots (n = points of cont), every slot owning a
 * point: slots 0 .. num_pts - 1 are the hull vertices counter-clockwise as
 * seen on the image, from the point of smallest row (largest column among
 * equals); slot num_pts repeats vertex 0; the remaining slots hold the other
 * input points. Collinear points are not vertices. Null on invalid input. */
PointList *calc_2d_convex_hull(const PointList *cont);

#ifdef __cplusplus
}
#endif

#endif
