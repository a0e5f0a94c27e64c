/* The buffers of the edge search's gradient stage, kept from one search to
 * the next: the derivative planes and, per band of rows, the rows of moduli
 * and of unit gradients. Memory asked for once and touched once serves every
 * scale and every later search of the same size or smaller. A workspace
 * serves one search at a time; searches running side by side each need
 * their own. */
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
    float *moduli;  /* 4 rows */
    double *unit;   /* 2 rows: along x, then along y */
    size_t row_capacity;
    size_t count;
    size_t first; /* the band's first edgel among those of every band */
    long histogram[256];
} GradientBand;

typedef struct GradientWorkspace {
    float *gx, *gy;
    size_t plane_capacity;
    GradientBand *bands;
    long band_capacity;
} GradientWorkspace;

/* An empty workspace; null when memory runs out. */
GradientWorkspace *gradient_workspace_new(void);
void gradient_workspace_free(GradientWorkspace *workspace);

/* Derivative planes of at least `pixels` samples each; 0 when memory runs
 * out (the workspace then holds none). */
int gradient_workspace_planes(GradientWorkspace *workspace, size_t pixels);
/* `bands` bands with rows of at least `width` samples. 0 when memory runs
 * out (the workspace stays usable). */
int gradient_workspace_bands(GradientWorkspace *workspace, long bands, size_t width);

#ifdef __cplusplus
}
#endif

#endif
