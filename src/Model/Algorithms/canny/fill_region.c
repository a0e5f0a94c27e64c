#include "fill_region.h"

#include "img_error.h"
#include "img_size.h"

#include <stdlib.h>

Box *calc_box(const Image *img, int label)
{
    const char *function = "calc_box";
    if (!is_bin_or_label_img(img)) {
        report_error(function, "Not a binary or label image !");
        return NULL;
    }
    Box *box = alloc_box();
    if (box == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    Bool found = false;
    for (int r = 0; r < img->num_rows; r++) {
        for (int c = 0; c < img->num_cols; c++) {
            if (get_label_pix(img, r, c) == label) {
                found = true;
                if (r < box->min_row) box->min_row = r;
                if (r > box->max_row) box->max_row = r;
                if (c < box->min_col) box->min_col = c;
                if (c > box->max_col) box->max_col = c;
            }
        }
    }
    if (!found) {
        free_box(box);
        report_error_fmt(function, "No pixel with label ( %d ) found !", label);
        return NULL;
    }
    return box;
}

void fill_region(int seed_row, int seed_col, int label, Image *img)
{
    const char *function = "fill_region";
    if (seed_row < 0 || seed_col < 0) {
        report_error_fmt(function, "Seed coordinates ( %d, %d ) must be non-negative !", seed_row, seed_col);
        return;
    }
    if (label < 1) {
        report_error_fmt(function, "Label ( %d ) must be positive !", label);
        return;
    }
    if (!is_bin_or_label_img(img)) {
        report_error(function, "Not a binary or label image !");
        return;
    }
    Box *box = calc_box(img, label);
    if (box == NULL) {
        return;
    }
    seed_fill(box, label, seed_row, seed_col, img);
    free_box(box);
}

/* The pending spans; the stack grows as the region needs, so a fill never
 * stops short or writes past its end however ragged the region is. */
typedef struct {
    Segment *items;
    size_t count;
    size_t capacity;
    Bool failed;
} SegmentStack;

/* Pushes the span of row y + dy unless that row lies outside the window. */
static void push(SegmentStack *stack, int y, int xl, int xr, int dy, int min_row, int max_row)
{
    if (y + dy < min_row || y + dy > max_row || stack->failed) {
        return;
    }
    if (!grow_array((void **)&stack->items, &stack->capacity, stack->count + 1, sizeof *stack->items)) {
        stack->failed = true;
        return;
    }
    Segment s = { y, xl, xr, dy };
    stack->items[stack->count++] = s;
}

void seed_fill(const Box *box, int new_val, int seed_row, int seed_col, Image *img)
{
    const char *function = "seed_fill";
    if (box == NULL) {
        report_error(function, "Invalid bounding-box object !");
        return;
    }
    if (!is_bin_or_label_img(img)) {
        report_error(function, "Not a binary or label image !");
        return;
    }
    int min_row = box->min_row > 0 ? box->min_row : 0;
    int min_col = box->min_col > 0 ? box->min_col : 0;
    int max_row = box->max_row < img->num_rows - 1 ? box->max_row : img->num_rows - 1;
    int max_col = box->max_col < img->num_cols - 1 ? box->max_col : img->num_cols - 1;
    if (seed_row < min_row || seed_row > max_row || seed_col < min_col || seed_col > max_col) {
        return;
    }
    int old_val = get_label_pix(img, seed_row, seed_col);
    if (is_bin_img(img)) {
        new_val = (byte)new_val;
    }
    if (old_val == new_val) {
        return;
    }
    SegmentStack stack = { NULL, 0, 0, false };
    push(&stack, seed_row, seed_col, seed_col, 1, min_row, max_row);
    push(&stack, seed_row + 1, seed_col, seed_col, -1, min_row, max_row);
    while (stack.count > 0 && !stack.failed) {
        Segment s = stack.items[--stack.count];
        int y = s.y + s.dy, x1 = s.xl, x2 = s.xr, dy = s.dy;
        /* Extend the span to the left of x1, then walk right across the
         * parent span, filling each run and queueing its neighbours. */
        int x = x1;
        while (x >= min_col && get_label_pix(img, y, x) == old_val) {
            set_label_pix(img, y, x, new_val);
            x--;
        }
        int left = x + 1;
        Bool in_run = x < x1;
        if (in_run && left < x1) {
            push(&stack, y, left, x1 - 1, -dy, min_row, max_row);
        }
        x = x1 + 1;
        if (!in_run) {
            while (x <= x2 && get_label_pix(img, y, x) != old_val) x++;
            left = x;
            in_run = x <= x2;
        }
        while (in_run) {
            while (x <= max_col && get_label_pix(img, y, x) == old_val) {
                set_label_pix(img, y, x, new_val);
                x++;
            }
            push(&stack, y, left, x - 1, dy, min_row, max_row);
            if (x > x2 + 1) {
                push(&stack, y, x2 + 1, x - 1, -dy, min_row, max_row);
            }
            x++;
            while (x <= x2 && get_label_pix(img, y, x) != old_val) x++;
            left = x;
            in_run = x <= x2;
        }
    }
    if (stack.failed) {
        report_error(function, "Insufficient memory !");
    }
    free(stack.items);
}
