#include "filter_sigma.h"

#include "img_error.h"

#include <math.h>
#include <stdlib.h>

Image *filter_sigma(const Image *in_img, int win_size, int k_value)
{
    const char *function = "filter_sigma";
    if (!is_gray_img(in_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    if (win_size < 1 || win_size % 2 == 0) {
        report_error_fmt(function, "Window size ( %d ) must be a positive odd integer !", win_size);
        return NULL;
    }
    /* Also bounds win_size so that win_size^2 cannot overflow below. */
    if (win_size > 46339 || k_value < 0 || k_value >= win_size * win_size) {
        report_error_fmt(function, "K value ( %d ) must be in [0, %d) range !", k_value,
                         win_size > 46339 ? 0 : win_size * win_size);
        return NULL;
    }
    Image *out_img = alloc_img(PIX_GRAY, in_img->num_rows, in_img->num_cols);
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    int half = win_size / 2;
    /* The 8-neighbour fallback needs a margin of one pixel too. */
    int margin = half > 1 ? half : 1;
    int n = win_size * win_size;
    byte **in = in_img->data_nd.byte_data_1b;
    byte **out = out_img->data_nd.byte_data_1b;
    for (int r = margin; r < in_img->num_rows - margin; r++) {
        for (int c = margin; c < in_img->num_cols - margin; c++) {
            double sum = 0.0, sum_sq = 0.0;
            for (int y = -half; y <= half; y++) {
                for (int x = -half; x <= half; x++) {
                    double v = in[r + y][c + x];
                    sum += v;
                    sum_sq += v * v;
                }
            }
            double spread = n * sum_sq - sum * sum;
            double two_sigma = 2.0 * sqrt(spread > 0.0 ? spread : 0.0) / n;
            int centre = in[r][c], close_count = 0;
            long long close_sum = 0;
            for (int y = -half; y <= half; y++) {
                for (int x = -half; x <= half; x++) {
                    int v = in[r + y][c + x];
                    if (abs(v - centre) < two_sigma) {
                        close_sum += v;
                        close_count++;
                    }
                }
            }
            if (close_count > k_value) {
                out[r][c] = (byte)(close_sum / close_count);
            } else {
                int neighbours = 0;
                for (int y = -1; y <= 1; y++) {
                    for (int x = -1; x <= 1; x++) {
                        neighbours += (y != 0 || x != 0) ? in[r + y][c + x] : 0;
                    }
                }
                out[r][c] = (byte)(neighbours / 8);
            }
        }
    }
    return out_img;
}
