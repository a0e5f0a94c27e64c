#include "image_convert.h"

#include "img_error.h"
#include "img_size.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>

#include <string.h>

byte rgb_pixel_to_gray(byte red, byte green, byte blue)
{
    double gray = (0.29893602129378 * red + 0.58704307445112 * green) + 0.1140209042551 * blue;
    return (byte)gray;
}

Image *rgb_to_gray(const Image *rgb_img)
{
    const char *function = "rgb_to_gray";
    if (!is_rgb_img(rgb_img)) {
        report_error(function, "Not an RGB image !");
        return NULL;
    }
    Image *gray_img = alloc_img(PIX_GRAY, rgb_img->num_rows, rgb_img->num_cols);
    if (gray_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    const byte *rgb = rgb_img->data_1d.byte_data;
    byte *gray = gray_img->data_1d.byte_data;
    size_t num_pixels = (size_t)rgb_img->num_rows * (size_t)rgb_img->num_cols;
    for (size_t k = 0; k < num_pixels; k++) {
        gray[k] = rgb_pixel_to_gray(rgb[3 * k], rgb[3 * k + 1], rgb[3 * k + 2]);
    }
    return gray_img;
}

void get_rgb_bands(const Image *rgb_img, Image **red_img, Image **green_img, Image **blue_img)
{
    const char *function = "get_rgb_bands";
    *red_img = NULL;
    *green_img = NULL;
    *blue_img = NULL;
    if (!is_rgb_img(rgb_img)) {
        report_error_fmt(function, "Not an RGB image !");
        return;
    }
    Image **bands[3] = { red_img, green_img, blue_img };
    for (int b = 0; b < 3; b++) {
        *bands[b] = alloc_img(PIX_GRAY, rgb_img->num_rows, rgb_img->num_cols);
        if (*bands[b] == NULL) {
            /* All three bands or none. */
            for (int made = 0; made < b; made++) {
                delete_img(*bands[made]);
                *bands[made] = NULL;
            }
            report_error_fmt(function, "Insufficient memory !");
            return;
        }
    }
    const byte *rgb = rgb_img->data_1d.byte_data;
    size_t num_pixels = (size_t)rgb_img->num_rows * (size_t)rgb_img->num_cols;
    for (int b = 0; b < 3; b++) {
        byte *band = (*bands[b])->data_1d.byte_data;
        for (size_t k = 0; k < num_pixels; k++) {
            band[k] = rgb[3 * k + b];
        }
    }
}

Image *clone_img(const Image *in_img)
{
    const char *function = "clone_img";
    if (in_img == NULL || in_img->type == PIX_INVALID) {
        report_error(function, "Invalid image object !");
        return NULL;
    }
    Image *out_img = alloc_img(in_img->type, in_img->num_rows, in_img->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    size_t sample_bytes = is_byte_img(in_img) ? 1 : is_int_img(in_img) ? sizeof(int) : sizeof(double);
    memcpy(out_img->data_1d.byte_data, in_img->data_1d.byte_data, get_num_samples(in_img) * sample_bytes);
    return out_img;
}

Image *threshold_img(const Image *gray_img, int threshold)
{
    const char *function = "threshold_img";
    if (!is_gray_img(gray_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    if (threshold < 0 || threshold > 255) {
        report_error_fmt(function, "Threshold ( %d ) must be in [0, %d] range !", threshold, 255);
        return NULL;
    }
    Image *bin_img = alloc_img(PIX_BIN, gray_img->num_rows, gray_img->num_cols);
    if (bin_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    const byte *gray = gray_img->data_1d.byte_data;
    byte *bin = bin_img->data_1d.byte_data;
    size_t num_pixels = get_num_samples(gray_img);
    for (size_t k = 0; k < num_pixels; k++) {
        bin[k] = gray[k] > threshold;
    }
    return bin_img;
}

Image *negate_img(const Image *in_img)
{
    const char *function = "negate_img";
    if (!is_byte_img(in_img)) {
        report_error(function, "Not a byte image !");
        return NULL;
    }
    Image *out_img = alloc_img(in_img->type, in_img->num_rows, in_img->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    byte top = is_bin_img(in_img) ? 1 : 255;
    const byte *in = in_img->data_1d.byte_data;
    byte *out = out_img->data_1d.byte_data;
    size_t count = get_num_samples(in_img);
    for (size_t k = 0; k < count; k++) {
        out[k] = (byte)(top - in[k]);
    }
    return out_img;
}

byte round_to_byte(double v)
{
    double rounded = v < 0.0 ? trunc(v - 0.5) : trunc(v + 0.5);
    if (!(rounded > 0.0)) return 0; /* also NaN */
    if (rounded > 255.0) return 255;
    return (byte)rounded;
}

Image *dbl_to_byte_img(const Image *in_img)
{
    const char *function = "dbl_to_byte_img";
    if (!is_dbl_img(in_img)) {
        report_error(function, "Not a double image !");
        return NULL;
    }
    Image *out_img = alloc_img(in_img->num_bands == 1 ? PIX_GRAY : PIX_RGB, in_img->num_rows, in_img->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    const double *in = in_img->data_1d.double_data;
    byte *out = out_img->data_1d.byte_data;
    size_t count = get_num_samples(in_img);
    for (size_t k = 0; k < count; k++) {
        out[k] = round_to_byte(in[k]);
    }
    return out_img;
}

Image *byte_to_dbl_img(const Image *in_img)
{
    const char *function = "byte_to_dbl_img";
    if (!is_byte_img(in_img)) {
        report_error(function, "Not a byte image !");
        return NULL;
    }
    Image *out_img = alloc_img(in_img->num_bands == 1 ? PIX_DBL_1B : PIX_DBL_3B, in_img->num_rows, in_img->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    const byte *in = in_img->data_1d.byte_data;
    double *out = out_img->data_1d.double_data;
    size_t count = get_num_samples(in_img);
    for (size_t k = 0; k < count; k++) {
        out[k] = in[k];
    }
    return out_img;
}

Image *combine_rgb_bands(const Image *red_img, const Image *green_img, const Image *blue_img)
{
    const char *function = "combine_rgb_bands";
    if (!is_gray_img(red_img) || !is_gray_img(green_img) || !is_gray_img(blue_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    if (!img_dims_agree(red_img, green_img) || !img_dims_agree(red_img, blue_img)) {
        report_error(function, "Image dimensions must agree !");
        return NULL;
    }
    Image *rgb_img = alloc_img(PIX_RGB, red_img->num_rows, red_img->num_cols);
    if (rgb_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    const Image *bands[3] = { red_img, green_img, blue_img };
    byte *rgb = rgb_img->data_1d.byte_data;
    size_t num_pixels = get_num_samples(red_img);
    for (int b = 0; b < 3; b++) {
        const byte *band = bands[b]->data_1d.byte_data;
        for (size_t k = 0; k < num_pixels; k++) {
            rgb[3 * k + b] = band[k];
        }
    }
    return rgb_img;
}

Bool is_equal_img(const Image *in_img_a, const Image *in_img_b)
{
    const char *function = "is_equal_img";
    if (!is_byte_img(in_img_a) || !is_byte_img(in_img_b)) {
        report_error(function, "Not a byte image !");
        return false;
    }
    if (!img_dims_agree(in_img_a, in_img_b)) {
        report_error(function, "Image dimensions must agree !");
        return false;
    }
    if (!img_types_agree(in_img_a, in_img_b)) {
        report_error(function, "Image types must agree !");
        return false;
    }
    return memcmp(in_img_a->data_1d.byte_data, in_img_b->data_1d.byte_data, get_num_samples(in_img_a)) == 0;
}

int count_colors(const Image *img)
{
    const char *function = "count_colors";
    if (!is_rgb_img(img)) {
        report_error(function, "Not an RGB image !");
        return INT_MIN;
    }
    /* One bit per possible 24-bit colour. */
    unsigned char *seen = calloc((1u << 24) / 8, 1);
    if (seen == NULL) {
        report_error(function, "Insufficient memory !");
        return INT_MIN;
    }
    const byte *rgb = img->data_1d.byte_data;
    size_t num_pixels = (size_t)img->num_rows * (size_t)img->num_cols;
    int count = 0;
    for (size_t k = 0; k < num_pixels; k++) {
        unsigned colour = ((unsigned)rgb[3 * k] << 16) | ((unsigned)rgb[3 * k + 1] << 8) | rgb[3 * k + 2];
        unsigned char bit = (unsigned char)(1u << (colour & 7));
        if (!(seen[colour >> 3] & bit)) {
            seen[colour >> 3] |= bit;
            count++;
        }
    }
    free(seen);
    return count;
}
