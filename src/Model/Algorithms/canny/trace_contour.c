#include "trace_contour.h"

#include "img_error.h"

#include <stdlib.h>

/* Steps of the eight directions, 0 east counter-clockwise to 7 south-east. */
static const int row_offset[8] = { 0, -1, -1, -1, 0, 1, 1, 1 };
static const int col_offset[8] = { 1, 1, 0, -1, -1, -1, 0, 1 };
/* After a step in direction d the search for the next one resumes from
 * (d + 5) mod 8, so that the object stays on the same side of the path. */
static const int dir_lut[8] = { 5, 6, 7, 0, 1, 2, 3, 4 };

static Bool find_first_pixel(const Image *lab_img, int label, int *row, int *col)
{
    const int *labels = lab_img->data_1d.int_data;
    size_t num_pixels = (size_t)lab_img->num_rows * (size_t)lab_img->num_cols;
    for (size_t k = 0; k < num_pixels; k++) {
        if (labels[k] == label) {
            *row = (int)(k / (size_t)lab_img->num_cols);
            *col = (int)(k % (size_t)lab_img->num_cols);
            return true;
        }
    }
    return false;
}

static Bool carries_label(const Image *lab_img, int row, int col, int label)
{
    return row >= 0 && row < lab_img->num_rows && col >= 0 && col < lab_img->num_cols &&
           lab_img->data_nd.int_data_1b[row][col] == label;
}

Chain *trace_contour(const Image *lab_img, int label, int max_length)
{
    const char *function = "trace_contour";
    if (!is_label_img(lab_img)) {
        report_error(function, "Not a label image !");
        return NULL;
    }
    if (label < 1) {
        report_error_fmt(function, "Label ( %d ) must be positive !", label);
        return NULL;
    }
    if (max_length < 1) {
        report_error_fmt(function, "Max length ( %d ) must be positive !", max_length);
        return NULL;
    }
    int start_row, start_col;
    if (!find_first_pixel(lab_img, label, &start_row, &start_col)) {
        report_error_fmt(function, "No object pixel with label ( %d ) found !", label);
        return NULL;
    }
    Chain *chain = alloc_chain(max_length);
    if (chain == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    chain->type = GEN_VALID;
    chain->row[0] = start_row;
    chain->col[0] = start_col;
    chain->dir[0] = 4;
    int row = start_row, col = start_col, prev = 4, count = 1;
    for (;;) {
        if (count == max_length) {
            report_warning_fmt(function, "Max contour length ( %d ) reached. Terminating the trace.", max_length);
            break;
        }
        int step = -1;
        for (int k = 1; k < 8 && step < 0; k++) {
            int d = (prev + k) % 8;
            if (carries_label(lab_img, row + row_offset[d], col + col_offset[d], label)) {
                step = d;
            }
        }
        if (step < 0) {
            break;
        }
        row += row_offset[step];
        col += col_offset[step];
        chain->row[count] = row;
        chain->col[count] = col;
        chain->dir[count] = step;
        count++;
        prev = dir_lut[step];
        if (row == start_row && col == start_col) {
            break;
        }
    }
    chain->length = count;
    return chain;
}

ChainList *trace_contours(const Image *lab_img, int max_length)
{
    const char *function = "trace_contours";
    if (!is_label_img(lab_img)) {
        report_error(function, "Not a label image !");
        return NULL;
    }
    if (max_length < 1) {
        report_error_fmt(function, "Max length ( %d ) must be positive !", max_length);
        return NULL;
    }
    ChainList *list = alloc_chain_list(lab_img->num_cc, max_length, lab_img->num_rows, lab_img->num_cols);
    if (list == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    for (int label = 1; label <= lab_img->num_cc; label++) {
        Chain *traced = trace_contour(lab_img, label, max_length);
        /* A label without pixels keeps its empty chain, so every slot
         * holds a chain the list can release. */
        if (traced != NULL) {
            free_chain(list->chain[label - 1]);
            free(list->chain[label - 1]);
            list->chain[label - 1] = traced;
        }
    }
    list->type = GEN_VALID;
    return list;
}
