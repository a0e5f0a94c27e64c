/* Region filling in binary and label images: the bounding box of a label
 * and the scan-line seed fill. */
#ifndef FILL_REGION_H
#define FILL_REGION_H

#include "image.h"
#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* One pending horizontal span of the seed fill: row y, columns xl .. xr,
 * and the direction dy of the next row to examine. */
typedef struct {
    int y;
    int xl;
    int xr;
    int dy;
} Segment;

/* A new box around the pixels equal to label, or null when there is none. */
Box *calc_box(const Image *img, int label);

/* Fills the 4-connected region of the seed's value with label, inside the
 * box of the pixels already equal to label (usually its drawn outline). */
void fill_region(int seed_row, int seed_col, int label, Image *img);

/* Fills the 4-connected region of the seed's value with new_val, inside
 * box cut to the image. */
void seed_fill(const Box *box, int new_val, int seed_row, int seed_col, Image *img);

#ifdef __cplusplus
}
#endif

#endif
