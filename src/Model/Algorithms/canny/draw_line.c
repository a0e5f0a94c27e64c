#include "draw_line.h"

#include "img_error.h"

#include <stdlib.h>

static void put_pixel(Image *img, long row, long col, int pix_value)
{
    if (row < 0 || row >= img->num_rows || col < 0 || col >= img->num_cols) {
        return;
    }
    set_label_pix(img, (int)row, (int)col, pix_value);
}

/* Truncates a coordinate toward zero, holding it inside long's range. */
static long truncated(double v)
{
    if (!(v > -1e15)) return (long)-1e15; /* also NaN */
    if (v > 1e15) return (long)1e15;
    return (long)v;
}

void draw_line(const PointFourier *point1, const PointFourier *point2, int pix_value, Image *img)
{
    const char *function = "draw_line";
    if (point1 == NULL || point2 == NULL) {
        report_error(function, "Invalid point object(s) !");
        return;
    }
    if (!is_bin_or_label_img(img)) {
        report_error(function, "Not a binary or label image !");
        return;
    }
    if (is_bin_img(img) && pix_value < 0) {
        report_error_fmt(function, "Pixel value ( %d ) must be non-negative !", pix_value);
        return;
    }
    long row = truncated(point1->row), col = truncated(point1->col);
    long end_row = truncated(point2->row), end_col = truncated(point2->col);
    long d_col = labs(end_col - col), d_row = -labs(end_row - row);
    long step_col = col < end_col ? 1 : -1, step_row = row < end_row ? 1 : -1;
    long err = d_col + d_row;
    for (;;) {
        put_pixel(img, row, col, pix_value);
        if (row == end_row && col == end_col) {
            break;
        }
        long twice = 2 * err;
        if (twice >= d_row) {
            err += d_row;
            col += step_col;
        }
        if (twice <= d_col) {
            err += d_col;
            row += step_row;
        }
    }
}
