/* Gaussian smoothing of grey images: the sampled isotropic mask and the
 * recursive anisotropic filter. */
#ifndef FILTER_GAUSSIAN_H
#define FILTER_GAUSSIAN_H

#include "image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A new PIX_GRAY image: the convolution with the product of two
 * gauss_1d(stdev) masks, truncated; pixels closer to the border than half
 * the mask stay 0. */
Image *filter_gaussian(const Image *in_img, double stdev);

/* A new PIX_DBL_1B image: the grey image filtered by anigauss with standard
 * deviations sigma_v along direction phi (degrees) and sigma_u across it,
 * then differentiated order_v times across and order_u times along phi. */
Image *filter_ani_gaussian(const Image *in_img, double sigma_v, double sigma_u, double phi, int order_v,
                           int order_u);

#ifdef __cplusplus
}
#endif

#endif
