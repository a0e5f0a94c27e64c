/* Deriche's recursive (infinite impulse response) filters on plain buffers:
 * sample type conversion, the coefficient state, one-line filtering and
 * separable filtering of a whole buffer with replicated borders. */
#ifndef DERICHE_FILTER_H
#define DERICHE_FILTER_H

#include "buffer_type.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum { UNKNOWN_FILTER = 0, ALPHA_DERICHE = 1, GAUSSIAN_DERICHE = 2 } recursiveFilterType;

typedef enum {
    NODERIVATIVE = -1,
    DERIVATIVE_0 = 0,
    SMOOTHING = 0,
    DERIVATIVE_1 = 1,
    DERIVATIVE_2 = 2,
    DERIVATIVE_3 = 3,
    DERIVATIVE_1_CONTOURS = 11,
    DERIVATIVE_1_EDGES = 11
} derivativeOrder;

/* Converts bufferLength samples; unsupported pairs leave the output as is. */
void ConvertBuffer(const void *bufferIn, bufferType typeIn, void *bufferOut, bufferType typeOut, long bufferLength);

/* Sets the module's coefficients: x is alpha (ALPHA_DERICHE, 0.1..1.9) or
 * sigma (GAUSSIAN_DERICHE, >= 0.1). A rejected value leaves none set. */
void InitRecursiveCoefficients(double x, recursiveFilterType type_filter, derivativeOrder derivative);

/* Filters one line of dim doubles with the current coefficients (samples
 * outside the line count as 0): work1 receives the causal pass, work2 the
 * anti-causal one, out their sum (out may be work2). 1, or 0 when no
 * coefficients are set. */
int RecursiveFilter1D(const double *in, double *out, double *work1, double *work2, int dim);

/* Separable filtering of a dimx x dimy x dimz buffer (x fastest): each axis
 * of at least 5 samples whose order is not NODERIVATIVE and whose parameter
 * is above 0 is filtered with its lines extended by borderLengths replicated
 * samples at each end. 1 on success, 0 on failure. */
int RecursiveFilterOnBuffer(const void *bufferIn, bufferType typeIn, void *bufferOut, bufferType typeOut,
                            const int *bufferDims, const int *borderLengths, const derivativeOrder *derivatives,
                            const float *filterCoefs, recursiveFilterType filterType);

#ifdef __cplusplus
}
#endif

#endif
