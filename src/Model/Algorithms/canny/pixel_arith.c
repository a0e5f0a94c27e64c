#include "pixel_arith.h"

#include "image_convert.h"
#include "img_error.h"

#include <float.h>
#include <math.h>
#include <stdlib.h>

typedef enum { OP_ADD, OP_SUB, OP_MULT, OP_ABS_DIFF, OP_MAX, OP_MIN } PixelOp;

static int apply_op(PixelOp op, int a, int b)
{
    switch (op) {
    case OP_ADD: return a + b > 255 ? 255 : a + b;
    case OP_SUB: return a - b < 0 ? 0 : a - b;
    case OP_MULT: return a * b > 255 ? 255 : a * b;
    case OP_ABS_DIFF: return abs(a - b);
    case OP_MAX: return a > b ? a : b;
    default: return a < b ? a : b;
    }
}

/* Applies op sample by sample into a new image of out_type. */
static Image *combine(const Image *a, const Image *b, PixelOp op, PixelType out_type, const char *function)
{
    Image *out_img = alloc_img(out_type, a->num_rows, a->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    size_t count = get_num_samples(a);
    for (size_t k = 0; k < count; k++) {
        out_img->data_1d.byte_data[k] = (byte)apply_op(op, a->data_1d.byte_data[k], b->data_1d.byte_data[k]);
    }
    return out_img;
}

static Bool check_pair(const Image *a, const Image *b, Bool same_type, const char *function)
{
    if (!is_byte_img(a) || !is_byte_img(b)) {
        report_error(function, "Not a byte image !");
        return false;
    }
    if (!img_dims_agree(a, b)) {
        report_error(function, "Image dimensions must agree !");
        return false;
    }
    if (same_type && !img_types_agree(a, b)) {
        report_error(function, "Image types must agree !");
        return false;
    }
    return true;
}

static Image *arith(const Image *a, const Image *b, PixelOp op, const char *function)
{
    return check_pair(a, b, true, function) ? combine(a, b, op, a->type, function) : NULL;
}

Image *add_img(const Image *in_img_a, const Image *in_img_b) { return arith(in_img_a, in_img_b, OP_ADD, "add_img"); }

Image *sub_img(const Image *in_img_a, const Image *in_img_b) { return arith(in_img_a, in_img_b, OP_SUB, "sub_img"); }

Image *mult_img(const Image *in_img_a, const Image *in_img_b)
{
    return arith(in_img_a, in_img_b, OP_MULT, "mult_img");
}

Image *abs_diff_img(const Image *in_img_a, const Image *in_img_b)
{
    return arith(in_img_a, in_img_b, OP_ABS_DIFF, "abs_diff_img");
}

/* Union (is_union) or intersection of binary and grey images in any pairing. */
static Image *set_op(const Image *a, const Image *b, Bool is_union, const char *function)
{
    if (!is_bin_or_gray_img(a) || !is_bin_or_gray_img(b)) {
        report_error(function, "Images must be binary or grayscale !");
        return NULL;
    }
    if (!check_pair(a, b, false, function)) {
        return NULL;
    }
    PixelOp op = is_union ? OP_MAX : OP_MIN;
    if (a->type == b->type) {
        return combine(a, b, op, a->type, function);
    }
    const Image *mask = is_bin_img(a) ? a : b;
    const Image *gray = is_bin_img(a) ? b : a;
    Image *out_img = alloc_img(PIX_GRAY, a->num_rows, a->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    size_t count = get_num_samples(a);
    for (size_t k = 0; k < count; k++) {
        /* The mask's 1 stands for 255, so max and min give the rule. */
        int m = mask->data_1d.byte_data[k] ? 255 : 0;
        out_img->data_1d.byte_data[k] = (byte)apply_op(op, m, gray->data_1d.byte_data[k]);
    }
    return out_img;
}

Image *union_img(const Image *in_img_a, const Image *in_img_b) { return set_op(in_img_a, in_img_b, true, "union_img"); }

Image *intersect_img(const Image *in_img_a, const Image *in_img_b)
{
    return set_op(in_img_a, in_img_b, false, "intersect_img");
}

/* v * factor + offset per sample into a new image of the input's type. */
static Image *affine(const Image *in_img, double factor, double offset, const char *function)
{
    if (!is_byte_img(in_img)) {
        report_error(function, "Not a byte image !");
        return NULL;
    }
    Image *out_img = alloc_img(in_img->type, in_img->num_rows, in_img->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    size_t count = get_num_samples(in_img);
    for (size_t k = 0; k < count; k++) {
        out_img->data_1d.byte_data[k] = round_to_byte(in_img->data_1d.byte_data[k] * factor + offset);
    }
    return out_img;
}

Image *add_img_scalar(const Image *in_img, double scalar) { return affine(in_img, 1.0, scalar, "add_img_scalar"); }

Image *sub_img_scalar(const Image *in_img, double scalar) { return affine(in_img, 1.0, -scalar, "sub_img_scalar"); }

Image *mult_img_scalar(const Image *in_img, double scalar) { return affine(in_img, scalar, 0.0, "mult_img_scalar"); }

Image *div_img_scalar(const Image *in_img, double scalar)
{
    const char *function = "div_img_scalar";
    if (!is_byte_img(in_img)) {
        report_error(function, "Not a byte image !");
        return NULL;
    }
    if (fabs(scalar) < DBL_EPSILON) {
        return alloc_const_img(in_img->type, in_img->num_rows, in_img->num_cols, 255);
    }
    return affine(in_img, 1.0 / scalar, 0.0, function);
}
