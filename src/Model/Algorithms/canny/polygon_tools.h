/* Polygon tools on point lists. A polygon is a valid PointList of its
 * vertices in order, closed implicitly. These tools print their diagnostics
 * on standard output and give 0 or null instead of using the library's error
 * convention (except where a list is validated through get_num_pts). */
#ifndef POLYGON_TOOLS_H
#define POLYGON_TOOLS_H

#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* 1 when p lies in or on the polygon, else 0. */
int point_inside(const PointList *list, const PointFourier *p);
/* The same for the integer point (row, col); column first. */
int point_inside_pt(const PointList *list, int col, int row);
/* 1 when strictly inside the box. */
int point_inside_box(const Box *box, int col, int row);

/* Extremes of the truncated rows and columns; an empty box for null. */
Box computeBoundingBox(const PointList *p);
double lengthestSide(const Box *box);
/* Longest side of the closed polygon, 0 for null. */
double distanceMaxBetweenPts(const PointList *p);
/* How many of n evenly spaced points of q lie in or on p. */
int overlapingTest(const PointList *p, const PointList *q, int n);
/* 1 when q and one of the num_cells polygons of p overlap either way. */
int overlapCells(PointList *const *p, int num_cells, const PointList *q, int n);
/* One outline around both polygons: the outline builder over their hull. */
PointList *unionContour(const PointList *p, const PointList *q);
PointList *copyPointList(const PointList *p);
/* Mean row and column of the points. */
PointFourier *calc_obj_centroid_contour(const PointList *cont);
/* Smallest distance from (row, col) to a point, each truncated to an int. */
double minDistance(const PointList *list, int col, int row);

#ifdef __cplusplus
}
#endif

#endif
