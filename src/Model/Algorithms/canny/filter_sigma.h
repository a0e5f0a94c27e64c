/* Lee's sigma filter for grey images. */
#ifndef FILTER_SIGMA_H
#define FILTER_SIGMA_H

#include "image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A new PIX_GRAY image: each pixel becomes the integer mean of the pixels of
 * its win_size x win_size window that differ from it by less than two
 * standard deviations of the window, or, when k_value or fewer do, the
 * integer mean of its 8 neighbours. win_size odd and positive,
 * 0 <= k_value < win_size^2; border pixels stay 0. */
Image *filter_sigma(const Image *in_img, int win_size, int k_value);

#ifdef __cplusplus
}
#endif

#endif
