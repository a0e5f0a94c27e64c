#include "image_convert.h"

#include "img_error.h"

#include <string.h>

byte rgb_pixel_to_gray(byte red, byte green, byte blue)
{
    double gray = (0.29893602129378 * red + 0.58704307445112 * green) + 0.1140209042551 * blue;
    return (byte)gray;
}

static size_t num_samples(const Image *img)
{
    return (size_t)img->num_bands * (size_t)img->num_rows * (size_t)img->num_cols;
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
    memcpy(out_img->data_1d.byte_data, in_img->data_1d.byte_data, num_samples(in_img) * sample_bytes);
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
    size_t num_pixels = num_samples(gray_img);
    for (size_t k = 0; k < num_pixels; k++) {
        bin[k] = gray[k] > threshold;
    }
    return bin_img;
}
