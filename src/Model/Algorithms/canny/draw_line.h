/* Bresenham lines written into binary and label images. */
#ifndef DRAW_LINE_H
#define DRAW_LINE_H

#include "image.h"
#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Writes pix_value on the 8-connected line between the truncated positions
 * of the two points; pixels outside the image are skipped. A binary image
 * needs a non-negative value (stored truncated to a byte). */
void draw_line(const PointFourier *point1, const PointFourier *point2, int pix_value, Image *img);

#ifdef __cplusplus
}
#endif

#endif
