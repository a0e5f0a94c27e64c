#include "edge_basic.h"

#include "img_error.h"
#include "img_size.h"

#include <float.h>
#include <limits.h>
#include <math.h>
#include <stdlib.h>

enum { ROBERTS = 0, PREWITT = 1, SOBEL = 2 };

Image *detect_edge_roberts(const Image *in_img) { return detect_edge_basic(in_img, ROBERTS); }

Image *detect_edge_prewitt(const Image *in_img) { return detect_edge_basic(in_img, PREWITT); }

Image *detect_edge_sobel(const Image *in_img) { return detect_edge_basic(in_img, SOBEL); }

/* Squared gradient of one pixel where the mask fits. Roberts' 2 x 2 masks
 * start at the pixel; Prewitt's and Sobel's 3 x 3 masks centre on it, with
 * w the weight of the middle row and column. */
static double squared_gradient(byte **p, int r, int c, int method)
{
    if (method == ROBERTS) {
        double gx = (double)p[r][c] - p[r + 1][c + 1];
        double gy = (double)p[r][c + 1] - p[r + 1][c];
        return gx * gx + gy * gy;
    }
    double w = method == SOBEL ? 2.0 : 1.0;
    double gx = (p[r - 1][c + 1] + w * p[r][c + 1] + p[r + 1][c + 1]) -
                (p[r - 1][c - 1] + w * p[r][c - 1] + p[r + 1][c - 1]);
    double gy = (p[r + 1][c - 1] + w * p[r + 1][c] + p[r + 1][c + 1]) -
                (p[r - 1][c - 1] + w * p[r - 1][c] + p[r - 1][c + 1]);
    return gx * gx + gy * gy;
}

Image *detect_edge_basic(const Image *in_img, int method)
{
    const char *function = "detect_edge_basic";
    if (!is_gray_img(in_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    if (method < ROBERTS || method > SOBEL) {
        report_error_fmt(function, "Edge detection method ( %d ) must be 0, 1 or 2 !", method);
        return NULL;
    }
    int rows = in_img->num_rows, cols = in_img->num_cols;
    /* The rows and columns where the mask fits: [lo, hi_r) x [lo, hi_c). */
    int lo = method == ROBERTS ? 0 : 1;
    int hi_r = rows - 1, hi_c = cols - 1;
    Image *edge_img = alloc_img(PIX_BIN, rows, cols);
    double *magnitude = alloc_array((size_t)rows * (size_t)cols, sizeof *magnitude);
    if (edge_img == NULL || magnitude == NULL) {
        free(magnitude);
        delete_img(edge_img);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    byte **p = in_img->data_nd.byte_data_1b;
    double sum = 0.0;
    size_t count = 0;
    for (int r = lo; r < hi_r; r++) {
        for (int c = lo; c < hi_c; c++) {
            double m = squared_gradient(p, r, c, method);
            magnitude[(size_t)r * cols + c] = m;
            sum += m;
            count++;
        }
    }
    if (count > 0) {
        double k = method == ROBERTS ? 6.0 : 4.0;
        double threshold = round(k * sum / count);
        for (int r = lo; r < hi_r; r++) {
            for (int c = lo; c < hi_c; c++) {
                edge_img->data_nd.byte_data_1b[r][c] = magnitude[(size_t)r * cols + c] > threshold;
            }
        }
    }
    free(magnitude);
    return edge_img;
}

double *create_log_mask(int win_size, double stdev)
{
    const char *function = "create_log_mask";
    if (win_size < 1 || win_size % 2 == 0) {
        report_error_fmt(function, "Window size ( %d ) must be a positive odd integer !", win_size);
        return NULL;
    }
    if (!(stdev > DBL_EPSILON)) {
        report_error_fmt(function, "Standard deviation ( %f ) must be positive !", stdev);
        return NULL;
    }
    double *mask = alloc_array((size_t)win_size * (size_t)win_size, sizeof *mask);
    if (mask == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    int half = win_size / 2;
    size_t n = (size_t)win_size * (size_t)win_size;
    double var = stdev * stdev, sum = 0.0;
    for (int y = -half; y <= half; y++) {
        for (int x = -half; x <= half; x++) {
            double g = exp(-(x * x + y * y) / (2.0 * var));
            mask[(size_t)(y + half) * win_size + (x + half)] = g;
            sum += g;
        }
    }
    double total = 0.0;
    for (int y = -half; y <= half; y++) {
        for (int x = -half; x <= half; x++) {
            double *m = &mask[(size_t)(y + half) * win_size + (x + half)];
            *m = *m / sum * (x * x + y * y - 2.0 * var) / (var * var);
            total += *m;
        }
    }
    double shift = total / n;
    for (size_t k = 0; k < n; k++) {
        mask[k] -= shift;
    }
    return mask;
}

Image *detect_edge_log(const Image *in_img, double sigma)
{
    const char *function = "detect_edge_log";
    if (!is_gray_img(in_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    if (!(sigma > DBL_EPSILON) || ceil(3.0 * sigma) > (INT_MAX - 1) / 2) {
        report_error_fmt(function, "Sigma ( %f ) must be positive and finite !", sigma);
        return NULL;
    }
    int half = (int)ceil(3.0 * sigma);
    int win_size = 2 * half + 1;
    int rows = in_img->num_rows, cols = in_img->num_cols;
    double *mask = create_log_mask(win_size, sigma);
    double *response = calloc((size_t)rows * (size_t)cols, sizeof *response);
    Image *edge_img = alloc_img(PIX_BIN, rows, cols);
    if (mask == NULL || response == NULL || edge_img == NULL) {
        free(mask);
        free(response);
        delete_img(edge_img);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    /* The response is computed where the mask fits; elsewhere it stays 0,
     * which is neither side of a crossing. */
    byte **p = in_img->data_nd.byte_data_1b;
    double abs_sum = 0.0;
    size_t count = 0;
    for (int r = half; r < rows - half; r++) {
        for (int c = half; c < cols - half; c++) {
            double v = 0.0;
            for (int y = -half; y <= half; y++) {
                const double *m = &mask[(size_t)(y + half) * win_size + half];
                for (int x = -half; x <= half; x++) {
                    v += m[x] * p[r + y][c + x];
                }
            }
            response[(size_t)r * cols + c] = v;
            abs_sum += fabs(v);
            count++;
        }
    }
    double limit = count > 0 ? 0.75 * abs_sum / count : 0.0;
    static const int dr[4] = { -1, 0, 0, 1 }, dc[4] = { 0, -1, 1, 0 };
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < cols; c++) {
            double v = response[(size_t)r * cols + c];
            if (!(v < -DBL_EPSILON)) {
                continue;
            }
            for (int k = 0; k < 4; k++) {
                int nr = r + dr[k], nc = c + dc[k];
                if (nr < 0 || nr >= rows || nc < 0 || nc >= cols) {
                    continue;
                }
                double w = response[(size_t)nr * cols + nc];
                if (w > DBL_EPSILON && w - v > limit) {
                    edge_img->data_nd.byte_data_1b[r][c] = 1;
                    break;
                }
            }
        }
    }
    free(mask);
    free(response);
    return edge_img;
}
