#include "gradient_workspace.h"

#include "img_size.h"

#include <stdlib.h>
#include <string.h>

int gradient_workspace_alloc(GradientWorkspace *workspace, size_t pixels, long bands, size_t width)
{
    memset(workspace, 0, sizeof *workspace);
    size_t rows;
    int ok = size_mul(width, 4, &rows);
    /* The planes first: they are what a picture too large cannot have. */
    workspace->gx = ok ? alloc_array(pixels, sizeof *workspace->gx) : NULL;
    workspace->gy = workspace->gx ? alloc_array(pixels, sizeof *workspace->gy) : NULL;
    workspace->bands = workspace->gy ? alloc_array((size_t)bands, sizeof *workspace->bands) : NULL;
    ok = workspace->bands != NULL;
    if (ok) {
        memset(workspace->bands, 0, (size_t)bands * sizeof *workspace->bands);
        workspace->band_count = bands;
    }
    for (long b = 0; ok && b < bands; b++) {
        GradientBand *band = &workspace->bands[b];
        band->moduli = alloc_array(rows, sizeof *band->moduli);
        band->unit = band->moduli ? alloc_array(rows / 2, sizeof *band->unit) : NULL;
        ok = band->unit != NULL;
    }
    if (!ok) {
        gradient_workspace_release(workspace);
    }
    return ok;
}

void gradient_workspace_release(GradientWorkspace *workspace)
{
    free(workspace->gx);
    free(workspace->gy);
    for (long b = 0; b < workspace->band_count; b++) {
        free(workspace->bands[b].moduli);
        free(workspace->bands[b].unit);
    }
    free(workspace->bands);
    memset(workspace, 0, sizeof *workspace);
}
