#include "filter_gaussian.h"

#include "anigauss.h"
#include "image_convert.h"
#include "img_error.h"
#include "img_util.h"

#include <stdlib.h>

Image *filter_gaussian(const Image *in_img, double stdev)
{
    const char *function = "filter_gaussian";
    if (!is_gray_img(in_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    int size = 0;
    double *mask = gauss_1d(stdev, &size);
    if (mask == NULL) {
        return NULL;
    }
    Image *out_img = alloc_img(PIX_GRAY, in_img->num_rows, in_img->num_cols);
    if (out_img == NULL) {
        free(mask);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    int half = size / 2;
    byte **in = in_img->data_nd.byte_data_1b;
    byte **out = out_img->data_nd.byte_data_1b;
    for (int r = half; r < in_img->num_rows - half; r++) {
        for (int c = half; c < in_img->num_cols - half; c++) {
            double sum = 0.0;
            for (int y = -half; y <= half; y++) {
                double row_sum = 0.0;
                for (int x = -half; x <= half; x++) {
                    row_sum += mask[x + half] * in[r + y][c + x];
                }
                sum += mask[y + half] * row_sum;
            }
            out[r][c] = (byte)sum;
        }
    }
    free(mask);
    return out_img;
}

Image *filter_ani_gaussian(const Image *in_img, double sigma_v, double sigma_u, double phi, int order_v,
                           int order_u)
{
    const char *function = "filter_ani_gaussian";
    if (!is_gray_img(in_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    if (order_v < 0 || order_u < 0) {
        report_error_fmt(function, "Derivative orders ( %d, %d ) must be non-negative !", order_v, order_u);
        return NULL;
    }
    if (!(sigma_v >= ANIGAUSS_MIN_SIGMA) || !(sigma_u >= ANIGAUSS_MIN_SIGMA)) {
        report_error_fmt(function, "Standard deviations ( %f, %f ) must be at least %.1f !", sigma_v, sigma_u,
                         ANIGAUSS_MIN_SIGMA);
        return NULL;
    }
    Image *in_dbl = byte_to_dbl_img(in_img);
    Image *out_img = alloc_img(PIX_DBL_1B, in_img->num_rows, in_img->num_cols);
    int done = in_dbl != NULL && out_img != NULL &&
               anigauss(in_dbl->data_1d.double_data, out_img->data_1d.double_data, in_img->num_cols,
                        in_img->num_rows, sigma_v, sigma_u, phi, order_v, order_u);
    delete_img(in_dbl);
    if (!done) {
        delete_img(out_img);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    return out_img;
}
