/* Turning edge chains into candidate cell outlines: each chain is replaced by
 * its convex hull, filtered by roundness and diameter, and returned as a
 * closed outline that follows the hull and, along long hull sides, steps in
 * to the chain's own points where the chain runs close to the hull. */
#ifndef OUTLINE_BUILDER_H
#define OUTLINE_BUILDER_H

#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The outline of chain in, or null when its hull is rounder than allowed
 * (roundness, when flagRoundness), narrower than minDiameter (when
 * flagDiameter) or wider than maxDiameter (always). */
PointList *edgeSortedFiltered(const PointList *in, double roundness, int minDiameter, int maxDiameter,
                              int flagRoundness, int flagDiameter);

/* The outline builder on contour in and its convex hull, with a gap of 10. */
PointList *edge_approach2(const PointList *in, const PointList *hull);

/* The point at distance d from (x1, y1) toward (x2, y2), the segment's
 * normal being (a, b) = (y1 - y2, x2 - x1). */
void compute_point_on_line(double a, double b, double d, double x1, double y1, double x2, double y2, double *xi,
                           double *yi);

#ifdef __cplusplus
}
#endif

#endif
