/* Pixel conversions: colour to grey, band splitting and combining, copying,
 * thresholding, negation, byte and double samples; whole-image comparison
 * and colour counting. */
#ifndef IMAGE_CONVERT_H
#define IMAGE_CONVERT_H

#include "image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Grey level of one colour pixel with the library's fixed coefficients. */
imaging_byte rgb_pixel_to_gray(imaging_byte red, imaging_byte green, imaging_byte blue);

/* v rounded half away from zero and limited to [0, 255]; NaN gives 0. */
imaging_byte round_to_byte(double v);

Image *rgb_to_gray(const Image *rgb_img);
void get_rgb_bands(const Image *rgb_img, Image **red_img, Image **green_img, Image **blue_img);
Image *clone_img(const Image *in_img);
/* 1 where the grey pixel is strictly above threshold (0..255), else 0. */
Image *threshold_img(const Image *gray_img, int threshold);

/* 1 - v for binary images, 255 - v for grey and colour samples. */
Image *negate_img(const Image *in_img);
/* PIX_GRAY or PIX_RGB with each double sample rounded half away from zero and
 * limited to [0, 255]. */
Image *dbl_to_byte_img(const Image *in_img);
/* PIX_DBL_1B or PIX_DBL_3B with the byte samples as doubles. */
Image *byte_to_dbl_img(const Image *in_img);
/* A PIX_RGB image interleaving three grey images of equal size. */
Image *combine_rgb_bands(const Image *red_img, const Image *green_img, const Image *blue_img);

/* Whether two byte images of the same type and size hold the same samples. */
Bool is_equal_img(const Image *in_img_a, const Image *in_img_b);
/* The number of distinct colours of a PIX_RGB image. */
int count_colors(const Image *img);

#ifdef __cplusplus
}
#endif

#endif
