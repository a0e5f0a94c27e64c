#include "texture.h"

#include "image_convert.h"
#include "img_error.h"
#include "img_size.h"
#include "scan_fill.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

enum { LBP_LABELS = 10, GRAY_LEVELS = 256 };

int uniformLabel(const int *x)
{
    int changes = abs(x[7] - x[0]);
    int zeros = x[0] == 0;
    for (int i = 1; i < 8; i++) {
        changes += abs(x[i - 1] - x[i]);
        zeros += x[i] == 0;
    }
    return changes > 2 ? 9 : zeros;
}

double *statisticsHistogram(const double *hist, int n)
{
    const char *function = "statisticsHistogram";
    if (hist == NULL) {
        report_error(function, "Not a valid pointer !");
        return NULL;
    }
    if (n <= 0) {
        report_error(function, " Vector dimension must be higher than 0 !");
        return NULL;
    }
    double *stats = malloc(5 * sizeof *stats);
    if (stats == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    double mean = 0.0;
    for (int i = 0; i < n; i++) {
        mean += i * hist[i];
    }
    double variance = 0.0, third = 0.0, fourth = 0.0, entropy = 0.0;
    for (int i = 0; i < n; i++) {
        double d = i - mean;
        variance += d * d * hist[i];
        third += d * d * d * hist[i];
        fourth += d * d * d * d * hist[i];
        if (hist[i] > 0) {
            entropy += hist[i] * log10(hist[i]);
        }
    }
    stats[0] = mean;
    stats[1] = variance;
    stats[2] = third;
    stats[3] = fourth;
    stats[4] = -entropy;
    return stats;
}

/* The image window the features read: the region's box cut to the image,
 * with its mask and grey levels. */
typedef struct {
    int row0, col0, rows, cols;
    byte *mask;
    byte *gray;
} RegionWindow;

static int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

/* Loads mask and grey levels of the box rows [ymin, ymax), columns
 * [xmin, xmax) cut to the image; 0 when memory runs out. Only this window
 * is converted and rasterised, so a region costs its box, not the image. */
static int load_window(const Image *img, const PointList *in, int ymin, int ymax, int xmin, int xmax,
                       RegionWindow *w)
{
    w->row0 = clamp(ymin, 0, img->num_rows);
    w->col0 = clamp(xmin, 0, img->num_cols);
    w->rows = clamp(ymax, 0, img->num_rows) - w->row0;
    w->cols = clamp(xmax, 0, img->num_cols) - w->col0;
    w->mask = w->gray = NULL;
    if (w->rows <= 0 || w->cols <= 0) {
        w->rows = w->cols = 0;
        return 1;
    }
    size_t size = (size_t)w->rows * (size_t)w->cols;
    w->mask = calloc(size, 1);
    w->gray = malloc(size);
    byte **mask_rows = alloc_array((size_t)w->rows, sizeof *mask_rows);
    int ok = w->mask && w->gray && mask_rows;
    if (ok) {
        for (int r = 0; r < w->rows; r++) {
            mask_rows[r] = w->mask + (size_t)r * (size_t)w->cols;
            const byte *rgb = img->data_nd.byte_data_3b[w->row0 + r][w->col0];
            byte *gray = w->gray + (size_t)r * (size_t)w->cols;
            for (int c = 0; c < w->cols; c++) {
                gray[c] = rgb_pixel_to_gray(rgb[3 * c], rgb[3 * c + 1], rgb[3 * c + 2]);
            }
        }
        ok = fill_polygon_mask(in, img->num_rows, img->num_cols, mask_rows, w->row0, w->col0, w->rows, w->cols);
    }
    free(mask_rows);
    return ok;
}

/* Features 10..24: per channel, the histogram of the masked pixels divided
 * by their count p, and its statistics. */
static int colour_features(const Image *img, const RegionWindow *w, double *hist, double *features,
                           const char *function)
{
    long p = 0;
    for (int band = 0; band < 3; band++) {
        memset(hist, 0, GRAY_LEVELS * sizeof *hist);
        long count = 0;
        for (int r = 0; r < w->rows; r++) {
            const byte *mask = w->mask + (size_t)r * (size_t)w->cols;
            const byte *rgb = img->data_nd.byte_data_3b[w->row0 + r][w->col0];
            for (int c = 0; c < w->cols; c++) {
                if (mask[c] == 1) {
                    hist[rgb[3 * c + band]] += 1;
                    count++;
                }
            }
        }
        if (band == 0) {
            p = count;
        }
        if (p > 0) {
            for (int k = 0; k < GRAY_LEVELS; k++) {
                hist[k] /= p;
            }
        }
        double *stats = statisticsHistogram(hist, GRAY_LEVELS);
        if (stats == NULL) {
            report_error(function, "Not enough memmory !");
            return 0;
        }
        memcpy(features + 10 + 5 * band, stats, 5 * sizeof *stats);
        free(stats);
    }
    return 1;
}

/* Features 0..9: LBP labels of the masked pixels with all 8 neighbours in
 * the window, as fractions of their count. */
static void lbp_features(const RegionWindow *w, double *features)
{
    static const int dy[8] = { 0, 1, 1, 1, 0, -1, -1, -1 };
    static const int dx[8] = { 1, 1, 0, -1, -1, -1, 0, 1 };
    long bins[LBP_LABELS] = { 0 };
    long q = 0;
    for (int r = 1; r < w->rows - 1; r++) {
        for (int c = 1; c < w->cols - 1; c++) {
            if (w->mask[(size_t)r * (size_t)w->cols + (size_t)c] != 1) {
                continue;
            }
            byte centre = w->gray[(size_t)r * (size_t)w->cols + (size_t)c];
            int pattern[8];
            for (int k = 0; k < 8; k++) {
                pattern[k] = w->gray[(size_t)(r + dy[k]) * (size_t)w->cols + (size_t)(c + dx[k])] > centre;
            }
            bins[uniformLabel(pattern)]++;
            q++;
        }
    }
    for (int k = 0; k < LBP_LABELS; k++) {
        features[k] = q > 0 ? (double)bins[k] / q : 0.0;
    }
}

double *textureLBPColor(const Image *img, const PointList *in)
{
    const char *function = "textureLPBColor";
    if (!is_rgb_img(img)) {
        report_error(function, "Not a color image !");
        return NULL;
    }
    if (!is_nonempty_point_list(in)) {
        report_error(function, "Invalid point list object !");
        return NULL;
    }
    int ymin = img->num_rows, xmin = img->num_cols, ymax = 0, xmax = 0;
    for (int k = 0; k < in->num_pts - 1; k++) {
        int row = (int)in->point[k]->row, col = (int)in->point[k]->col;
        if (row < ymin) ymin = row;
        if (row > ymax) ymax = row;
        if (col < xmin) xmin = col;
        if (col > xmax) xmax = col;
    }
    double *features = calloc(TEXTURE_FEATURE_COUNT, sizeof *features);
    double *hist = malloc(GRAY_LEVELS * sizeof *hist);
    RegionWindow w;
    /* The colour scan covers rows [ymin, ymax) and columns [xmin, xmax); the
     * LBP scan the same window less its outer ring. */
    int ok = features != NULL && hist != NULL && load_window(img, in, ymin, ymax, xmin, xmax, &w);
    if (!ok) {
        free(features);
        free(hist);
        report_error(function, "Not enough memmory !");
        return NULL;
    }
    ok = colour_features(img, &w, hist, features, function);
    if (ok) {
        lbp_features(&w, features);
    }
    free(w.mask);
    free(w.gray);
    free(hist);
    if (!ok) {
        free(features);
        return NULL;
    }
    return features;
}
