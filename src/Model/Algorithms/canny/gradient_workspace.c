#include "gradient_workspace.h"

#include "img_size.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>

/* Huge pages for a plane of a huge page or more: the filters along y step
 * from row to row, and with small pages every row is a page of its own for
 * the address translation. The plane starts at a huge-page boundary inside
 * *block. */
static float *alloc_plane(size_t pixels, void **block)
{
    enum { HUGE_PAGE = 2 << 20 };
    size_t bytes;
    if (!size_mul(pixels, sizeof(float), &bytes) || bytes > SIZE_MAX - HUGE_PAGE) {
        return NULL;
    }
    if (bytes < HUGE_PAGE) {
        *block = alloc_array(pixels, sizeof(float));
        return *block;
    }
    char *raw = alloc_array(bytes + HUGE_PAGE, 1);
    *block = raw;
    if (raw == NULL) {
        return NULL;
    }
    char *plane = raw + (HUGE_PAGE - (uintptr_t)raw % HUGE_PAGE) % HUGE_PAGE;
    madvise(plane, bytes, MADV_HUGEPAGE);
    return (float *)plane;
}

int gradient_workspace_alloc(GradientWorkspace *workspace, size_t pixels, long bands, size_t width)
{
    memset(workspace, 0, sizeof *workspace);
    size_t rows;
    int ok = size_mul(width, 4, &rows);
    /* The planes first: they are what a picture too large cannot have. */
    workspace->gx = ok ? alloc_plane(pixels, &workspace->gx_block) : NULL;
    workspace->gy = workspace->gx ? alloc_plane(pixels, &workspace->gy_block) : NULL;
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
    free(workspace->gx_block);
    free(workspace->gy_block);
    for (long b = 0; b < workspace->band_count; b++) {
        free(workspace->bands[b].moduli);
        free(workspace->bands[b].unit);
    }
    free(workspace->bands);
    memset(workspace, 0, sizeof *workspace);
}
