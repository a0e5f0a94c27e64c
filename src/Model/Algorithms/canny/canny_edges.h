/* Multi-scale Canny edges: Deriche gradients, non-maximum suppression,
 * hysteresis thresholds from the gradient histogram for up to five pairs of
 * rates, edgel linking and chain following. */
#ifndef CANNY_EDGES_H
#define CANNY_EDGES_H

#include "gradient_maxima.h"
#include "edgel_links.h"
#include "image.h"
#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The largest number of rate pairs one search takes. */
#define MAX_THRESHOLD_PAIRS 5
/* The largest number of chains one search returns. */
#define MAX_EDGE_CHAINS 100000000

/* The chains of a PIX_GRAY image at scale blur_factor (sigma >= 0.1), for
 * nthresholds (1..5) pairs of low and high rates: each chain of at least
 * min_size points is a valid PointList with row = y and col = x; chains of
 * every pair follow each other in pair order. Returns a new array of
 * *num_edges chains owned by the caller, or null (with *num_edges 0) when no
 * pixel survives suppression or an argument is refused. */
PointList **detect_edge_multiscalar_canny_sigma(const Image *in_img, double blur_factor, int *num_edges,
                                                int min_size, int nthresholds, const double *low,
                                                const double *high);

/* The same search reporting how it went: 1 with *chains and *num_edges set
 * (*chains may be null or hold no chain when nothing was found), 0 after
 * the library's error message when an argument is refused or memory runs
 * out, with nothing to release. Searches may run at the same time on
 * different threads. */
int canny_edge_search(const Image *in_img, double blur_factor, int min_size, int nthresholds, const double *low,
                      const double *high, PointList ***chains, int *num_edges);

/* Gradient, suppression into bufferOutNMS (dimx x dimy floats), the edgel
 * list, and the thresholds of every rate pair in use. The rate pairs in use
 * are those of the last search started on the calling thread; these
 * step-by-step entry points keep them, and the thresholds, per thread. */
osl_edgel_chain *Extract_Gradient_Maxima_2D_zelvora(const void *bufferIn, bufferType typeIn, float *bufferOutNMS,
                                                    const int *bufferDims, const int *borderLengths,
                                                    const float *filterCoefs, recursiveFilterType filterType);

/* Thresholds of pair `threshold` from the moduli, printed on standard
 * output. */
void calc_hysteresis_thresholds_mod(const float *grad_data, long num_pixels, int threshold);

/* Links and follows the edgels for every rate pair in use; consumes the
 * edgel list. */
PointList **HysteresisThresholding_library(osl_edgel_chain *edgels_NMS, int num_rows, int num_cols,
                                           int *num_edges, int min_size);

#ifdef __cplusplus
}
#endif

#endif
