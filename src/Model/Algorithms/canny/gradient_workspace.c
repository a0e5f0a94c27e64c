#include "gradient_workspace.h"

#include "img_size.h"

#include <stdlib.h>
#include <string.h>

GradientWorkspace *gradient_workspace_new(void)
{
    GradientWorkspace *workspace = alloc_array(1, sizeof *workspace);
    if (workspace != NULL) {
        memset(workspace, 0, sizeof *workspace);
    }
    return workspace;
}

static void free_band(GradientBand *band)
{
    free(band->moduli);
    free(band->unit);
}

void gradient_workspace_free(GradientWorkspace *workspace)
{
    if (workspace == NULL) {
        return;
    }
    free(workspace->gx);
    free(workspace->gy);
    for (long b = 0; b < workspace->band_capacity; b++) {
        free_band(&workspace->bands[b]);
    }
    free(workspace->bands);
    free(workspace);
}

int gradient_workspace_planes(GradientWorkspace *workspace, size_t pixels)
{
    if (pixels <= workspace->plane_capacity) {
        return 1;
    }
    free(workspace->gx);
    free(workspace->gy);
    workspace->gx = alloc_array(pixels, sizeof *workspace->gx);
    workspace->gy = alloc_array(pixels, sizeof *workspace->gy);
    if (workspace->gx == NULL || workspace->gy == NULL) {
        free(workspace->gx);
        free(workspace->gy);
        workspace->gx = workspace->gy = NULL;
        workspace->plane_capacity = 0;
        return 0;
    }
    workspace->plane_capacity = pixels;
    return 1;
}

/* Rows of at least width samples for one band. */
static int band_rows(GradientBand *band, size_t width)
{
    if (width <= band->row_capacity) {
        return 1;
    }
    free(band->moduli);
    free(band->unit);
    band->row_capacity = 0;
    band->moduli = NULL;
    band->unit = NULL;
    size_t rows;
    if (!size_mul(width, 4, &rows)) {
        return 0;
    }
    band->moduli = alloc_array(rows, sizeof *band->moduli);
    band->unit = alloc_array(rows / 2, sizeof *band->unit);
    if (band->moduli == NULL || band->unit == NULL) {
        return 0;
    }
    band->row_capacity = width;
    return 1;
}

int gradient_workspace_bands(GradientWorkspace *workspace, long bands, size_t width)
{
    if (bands > workspace->band_capacity) {
        GradientBand *grown = alloc_array((size_t)bands, sizeof *grown);
        if (grown == NULL) {
            return 0;
        }
        if (workspace->band_capacity > 0) {
            memcpy(grown, workspace->bands, (size_t)workspace->band_capacity * sizeof *grown);
        }
        memset(grown + workspace->band_capacity, 0, (size_t)(bands - workspace->band_capacity) * sizeof *grown);
        free(workspace->bands);
        workspace->bands = grown;
        workspace->band_capacity = bands;
    }
    for (long b = 0; b < bands; b++) {
        if (!band_rows(&workspace->bands[b], width)) {
            return 0;
        }
    }
    return 1;
}
