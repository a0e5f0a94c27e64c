/* Basic edge operators on grey images: Roberts, Prewitt and Sobel gradient
 * magnitudes against a threshold relative to their mean, and zero crossings
 * of the Laplacian of Gaussian. Each returns a new PIX_BIN image, or null. */
#ifndef EDGE_BASIC_H
#define EDGE_BASIC_H

#include "image.h"

#ifdef __cplusplus
extern "C" {
#endif

Image *detect_edge_roberts(const Image *in_img);
Image *detect_edge_prewitt(const Image *in_img);
Image *detect_edge_sobel(const Image *in_img);
/* method 0 Roberts, 1 Prewitt, 2 Sobel: an edge where gx^2 + gy^2 exceeds
 * round(k * its mean over the pixels where the mask fits), k 6 for Roberts
 * and 4 for the others. Pixels where the mask does not fit stay 0. */
Image *detect_edge_basic(const Image *in_img, int method);

/* A new win_size x win_size row-major Laplacian-of-Gaussian mask summing
 * to 0, or null. */
double *create_log_mask(int win_size, double stdev);
/* Zero crossings of the image convolved with the mask of size
 * 2 ceil(3 sigma) + 1: negative pixels with a positive 4-neighbour more than
 * 0.75 times the mean absolute response above them. */
Image *detect_edge_log(const Image *in_img, double sigma);

#ifdef __cplusplus
}
#endif

#endif
