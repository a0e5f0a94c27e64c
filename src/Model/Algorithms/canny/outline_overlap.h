/* Resolving overlapping outlines: nested outlines keep the outer one,
 * partly overlapping ones are merged when the merge is tighter, otherwise
 * the looser one is dropped. */
#ifndef OUTLINE_OVERLAP_H
#define OUTLINE_OVERLAP_H

#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A new array of new outlines (the merged ones first, then copies of the
 * surviving ones), their number in *nout; the inputs are not changed. Null
 * on invalid arguments or memory shortage. */
PointList **computeOverlappingTest(PointList *const *contour, int num_edges, int num_cols, int num_rows, int *nout);

#ifdef __cplusplus
}
#endif

#endif
