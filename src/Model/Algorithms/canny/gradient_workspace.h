/* The buffers of the edge search's gradient stage: the two derivative
 * planes and, per band of rows, the few rows the fused stage after them
 * works in. They live only while the stage runs: the chain following after
 * it needs none of them, and planes kept for the next scale or search would
 * add 8 bytes per pixel to the peak of the following, which sets the
 * search's peak, while saving no measurable time. */
#ifndef GRADIENT_WORKSPACE_H
#define GRADIENT_WORKSPACE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What one band of rows keeps while it runs: four rows of moduli (the row
 * suppressed and its neighbours, and the row below the band), the unit
 * gradient of one row, its histogram and the number of maxima it found. */
typedef struct {
    float *moduli; /* 4 rows */
    double *unit;  /* 2 rows: along x, then along y */
    size_t count;
    size_t first; /* the band's first edgel among those of every band */
    long histogram[256];
} GradientBand;

typedef struct {
    float *gx, *gy;
    void *gx_block, *gy_block; /* the blocks the planes lie in */
    GradientBand *bands;
    long band_count;
} GradientWorkspace;

/* Derivative planes of `pixels` samples and `bands` bands with rows of
 * `width` samples. 0 when memory runs out, with nothing held. */
int gradient_workspace_alloc(GradientWorkspace *workspace, size_t pixels, long bands, size_t width);
/* Releases every buffer; releasing again is harmless. */
void gradient_workspace_release(GradientWorkspace *workspace);

#ifdef __cplusplus
}
#endif

#endif
