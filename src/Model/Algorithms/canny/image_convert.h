/* Pixel conversions: colour to grey, band splitting, copying, thresholding. */
#ifndef IMAGE_CONVERT_H
#define IMAGE_CONVERT_H

#include "image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Grey level of one colour pixel with the library's fixed coefficients. */
imaging_byte rgb_pixel_to_gray(imaging_byte red, imaging_byte green, imaging_byte blue);

Image *rgb_to_gray(const Image *rgb_img);
void get_rgb_bands(const Image *rgb_img, Image **red_img, Image **green_img, Image **blue_img);
Image *clone_img(const Image *in_img);
/* 1 where the grey pixel is strictly above threshold (0..255), else 0. */
Image *threshold_img(const Image *gray_img, int threshold);

#ifdef __cplusplus
}
#endif

#endif
