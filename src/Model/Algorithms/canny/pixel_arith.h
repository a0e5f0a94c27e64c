/* Saturating pixel arithmetic on byte images: between two images of equal
 * size (and, except union and intersection, equal type) and with a scalar.
 * Every operation returns a new image of its input's type, or null. */
#ifndef PIXEL_ARITH_H
#define PIXEL_ARITH_H

#include "image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* min(a + b, 255) */
Image *add_img(const Image *in_img_a, const Image *in_img_b);
/* max(a - b, 0) */
Image *sub_img(const Image *in_img_a, const Image *in_img_b);
/* min(a * b, 255) */
Image *mult_img(const Image *in_img_a, const Image *in_img_b);
/* |a - b| */
Image *abs_diff_img(const Image *in_img_a, const Image *in_img_b);

/* Binary with binary: or (and) as PIX_BIN. A binary mask with a grey image:
 * 255 (the grey value) where the mask is 1, else the grey value (0), as
 * PIX_GRAY. Grey with grey: maximum (minimum). */
Image *union_img(const Image *in_img_a, const Image *in_img_b);
Image *intersect_img(const Image *in_img_a, const Image *in_img_b);

/* v + scalar, v * scalar, rounded half away from zero, limited to [0, 255]. */
Image *add_img_scalar(const Image *in_img, double scalar);
Image *sub_img_scalar(const Image *in_img, double scalar);
Image *mult_img_scalar(const Image *in_img, double scalar);
/* mult_img_scalar by 1 / scalar; a scalar too close to 0 gives 255 everywhere. */
Image *div_img_scalar(const Image *in_img, double scalar);

#ifdef __cplusplus
}
#endif

#endif
