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

/* The same hull without a heap allocation per point: list has the slots
 * calc_2d_convex_hull gives, pointing into one block that free_hull_view
 * releases (list's points are not released one by one). */
typedef struct {
    PointList list;
} HullView;

/* 1 with *hull filled, or 0 after a report on invalid input or when memory
 * runs out. */
int calc_2d_convex_hull_view(const PointList *cont, HullView *hull);
void free_hull_view(HullView *hull);

#ifdef __cplusplus
}
#endif

#endif
