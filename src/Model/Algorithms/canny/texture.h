/* Colour texture features of a region: a 10-bin histogram of rotation-
 * invariant uniform local binary patterns of the grey image, and five
 * statistics of each colour channel's histogram, inside a polygon. */
#ifndef TEXTURE_H
#define TEXTURE_H

#include "image.h"
#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TEXTURE_FEATURE_COUNT 25

/* The 25 features of region `in` on the PIX_RGB image, in a new array the
 * caller frees with free(), or null on invalid input:
 *   0..9   fraction of the sampled pixels of LBP label 0..9,
 *   10..14 red mean, variance, third and fourth central moments, log10
 *          entropy of the red histogram; 15..19 green; 20..24 blue.
 * The region's box is taken over every point but the last; the parts of the
 * region outside the image are ignored.
 * A region with no pixel where a part is sampled has that part's features
 * all 0 (the statistics of an empty histogram): the LBP fractions of a
 * region always sum to 1 except then, where they sum to 0, which marks the
 * region as degenerate. */
double *textureLBPColor(const Image *img, const PointList *in);

/* Mean, variance, third and fourth central moments and log10 entropy of
 * the normalised histogram of n bins, in a new array of 5. */
double *statisticsHistogram(const double *hist, int n);

/* LBP label (0..9) of an 8-entry pattern: the number of zeros when it has at
 * most two 0/1 changes around the circle, else 9. */
int uniformLabel(const int *x);

#ifdef __cplusplus
}
#endif

#endif
