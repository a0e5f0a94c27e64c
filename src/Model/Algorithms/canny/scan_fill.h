/* Polygon scan filling: a Sutherland-Hodgman clip to a rectangular window
 * followed by an edge-table scan-line fill, giving the roundness of an
 * outline and the binary mask of a region. Vertex coordinates are the
 * points' col (x) and row (y) truncated to integers. */
#ifndef SCAN_FILL_H
#define SCAN_FILL_H

#include "image.h"
#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* perimeter^2 / (4 pi area) of the polygon clipped to box, the area counted
 * by the scan rule; infinite for a polygon of zero area, 0 on invalid input. */
double computeRoundness(const PointList *in, Box box);

/* A new PIX_BIN image with 1 on the pixels the polygon covers. Parts of the
 * polygon outside the image are clipped away. */
Image *computeBinImage(const PointList *in, int num_rows, int num_cols);
Image *computeBinImageVect(const int *col, const int *row, int nin, int num_rows, int num_cols);

/* Writes 1 on the pixels of a sub-window of an image of image_rows x
 * image_cols that the polygon's mask covers (the same pixels computeBinImage
 * sets there). The window is rows x cols pixels from (origin_row,
 * origin_col); mask_rows is its row table, zeroed by the caller. Returns 0
 * when memory runs out. */
int fill_polygon_mask(const PointList *in, int image_rows, int image_cols, imaging_byte **mask_rows,
                      int origin_row, int origin_col, int rows, int cols);

#ifdef __cplusplus
}
#endif

#endif
