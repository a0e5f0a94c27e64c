/* Gradient modulus and orientation, non-maximum suppression of the gradient
 * modulus across the edge, and the edgel list of the surviving pixels. */
#ifndef GRADIENT_MAXIMA_H
#define GRADIENT_MAXIMA_H

#include "deriche_filter.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The edgels surviving suppression, as parallel arrays of n entries:
 * column x, row y, derivatives along x and y, modulus, orientation in
 * degrees. */
typedef struct {
    unsigned n;
    unsigned *x;
    unsigned *y;
    float *dx;
    float *dy;
    float *grad;
    float *theta;
} osl_edgel_chain;

osl_edgel_chain *alloc_osl_edgel_chain(unsigned n);
void free_osl_edgel_chain(osl_edgel_chain *chain);

/* sqrt(gx^2 + gy^2): squares summed in single precision, root correctly
 * rounded to single precision. */
void GradientModulus2D(float *gradient_modulus, const float *derivative_along_X, const float *derivative_along_Y,
                       long length);
/* 180 atan2(gy, gx) / pi, in degrees. */
void GradientOrientation2D(float *gradient_orientation, const float *derivative_along_X,
                           const float *derivative_along_Y, long length);

/* Keeps in maxima (dimx x dimy) the modulus of each pixel that beats its
 * forward neighbour along the gradient strictly and its backward one or
 * equals it, 0 elsewhere and on the outermost rows and columns. */
void Remove_Gradient_NonMaxima_Slice_2D(float *maxima, const float *gx, const float *gy, const float *norme,
                                        const int *bufferDims);
/* The same, returning the number of maxima. */
int Remove_Gradient_NonMaxima_Slice_2D_VXL(float *maxima, const float *gx, const float *gy, const float *norme,
                                           const int *bufferDims);
/* Sub-pixel suppression: kept pixels get their modulus in maxima and their
 * sub-pixel column and row in place of gx and gy; returns the number kept. */
int osl_canny_nms(float *maxima, float *gx, float *gy, const float *norme, const int *bufferDims);

/* Per slice: derivatives, modulus and suppression, the maxima converted
 * into bufferOut of typeOut. 1 on success, 0 on failure. */
int Extract_Gradient_Maxima_2D(const void *bufferIn, bufferType typeIn, void *bufferOut, bufferType typeOut,
                               const int *bufferDims, const int *borderLengths, const float *filterCoefs,
                               recursiveFilterType filterType);
/* Per slice: modulus, orientation and suppression into the three float
 * buffers; prints and returns the number of maxima of the last slice. */
int Extract_Gradient_Theta_Maxima_2D(const void *bufferIn, bufferType typeIn, float *bufferOutGrad,
                                     float *bufferOutTheta, float *bufferOutNMS, const int *bufferDims,
                                     const int *borderLengths, const float *filterCoefs,
                                     recursiveFilterType filterType);
/* Gradient, suppression into bufferOutNMS and the edgel list of a one-slice
 * buffer, with one threshold pair from the rates low and high. */
osl_edgel_chain *Extract_Gradient_Maxima_2D_edgels(const void *bufferIn, bufferType typeIn, double low, double high,
                                                   double *low_val, double *high_val, float *bufferOutNMS,
                                                   const int *bufferDims, const int *borderLengths,
                                                   const float *filterCoefs, recursiveFilterType filterType);

/* Histogram of the gradient moduli from which hysteresis thresholds are
 * taken: bin k counts the moduli that round to k (255 and above in bin
 * 255), bin 0 left empty, then made cumulative from bin 1. */
typedef struct {
    long cumulative[256];
} ModulusHistogram;

void modulus_histogram(const float *grad_data, long num_pixels, ModulusHistogram *hist);
/* High = one below the first bin reaching the share high of all counted
 * moduli (255 when none does), low = low x high. */
void thresholds_from_histogram(const ModulusHistogram *hist, double low, double high, double *low_val,
                               double *high_val);
void calc_hysteresis_thresholds(const float *grad_data, long num_pixels, double low, double high, double *low_val,
                                double *high_val);

/* The gradient stage shared by the edgel extractors: derivatives, modulus
 * and suppression of a one-slice buffer into bufferOutNMS, then the edgel
 * list (null when no pixel survives) and the moduli's histogram. *ok is 0
 * when the stage itself failed. */
osl_edgel_chain *extract_edgels(const void *bufferIn, bufferType typeIn, float *bufferOutNMS,
                                const int *bufferDims, const int *borderLengths, const float *filterCoefs,
                                recursiveFilterType filterType, ModulusHistogram *hist, const char *function,
                                int *ok);

/* The edgels of the edge search with only what linking and following use,
 * in row-major order. */
typedef struct {
    int n;
    int *x;         /* column */
    int *y;         /* row */
    float *grad;    /* modulus */
    int *row_start; /* num_rows + 1 entries: first edgel of each row, then n */
} EdgelPositions;

/* The gradient stage of extract_edgels without the suppressed plane, the
 * derivatives and the orientations: the derivative planes, then modulus,
 * suppression, histogram and edgels band by band over a few rows, with no
 * plane of moduli. n is 0 when no pixel survives. 0 when the stage itself
 * failed. */
int extract_edgel_positions(const void *bufferIn, bufferType typeIn, const int *bufferDims,
                            const int *borderLengths, const float *filterCoefs, recursiveFilterType filterType,
                            EdgelPositions *edgels, ModulusHistogram *hist, const char *function);
void free_edgel_positions(EdgelPositions *edgels);

#ifdef __cplusplus
}
#endif

#endif
