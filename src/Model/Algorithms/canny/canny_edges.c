#include "canny_edges.h"

#include "img_error.h"
#include "img_size.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The rate pairs of the running search and the thresholds taken from them. */
static int N_THRES = 0;
static double low_thres_rate[MAX_THRESHOLD_PAIRS];
static double high_thres_rate[MAX_THRESHOLD_PAIRS];
static double low_thres_val[MAX_THRESHOLD_PAIRS];
static double high_thres_val[MAX_THRESHOLD_PAIRS];

static void set_pair_thresholds(const ModulusHistogram *hist, int t)
{
    thresholds_from_histogram(hist, low_thres_rate[t], high_thres_rate[t], &low_thres_val[t], &high_thres_val[t]);
    printf("Hysteresis thresholds. Rates[%.2f, %.2f]. Low=%.2f and High=%.2f\n", low_thres_rate[t],
           high_thres_rate[t], low_thres_val[t], high_thres_val[t]);
}

/* One histogram of all moduli serves every pair. */
static void set_all_pair_thresholds(const ModulusHistogram *hist)
{
    for (int t = 0; t < N_THRES; t++) {
        set_pair_thresholds(hist, t);
    }
}

void calc_hysteresis_thresholds_mod(const float *grad_data, long num_pixels, int threshold)
{
    if (threshold < 0 || threshold >= MAX_THRESHOLD_PAIRS) {
        return;
    }
    ModulusHistogram hist;
    modulus_histogram(grad_data, num_pixels, &hist);
    set_pair_thresholds(&hist, threshold);
}

osl_edgel_chain *Extract_Gradient_Maxima_2D_zelvora(const void *bufferIn, bufferType typeIn, float *bufferOutNMS,
                                                    const int *bufferDims, const int *borderLengths,
                                                    const float *filterCoefs, recursiveFilterType filterType)
{
    ModulusHistogram hist;
    int ok;
    osl_edgel_chain *edgels = extract_edgels(bufferIn, typeIn, bufferOutNMS, bufferDims, borderLengths, filterCoefs,
                                             filterType, &hist, "Extract_Gradient_Maxima_2D_zelvora", &ok);
    if (edgels != NULL) {
        set_all_pair_thresholds(&hist);
    }
    return edgels;
}

/* ------------------------------------------------------------------------
 * Hysteresis
 * ------------------------------------------------------------------------ */

/* The edgels as the follower sees them, in row-major order. */
typedef struct {
    int n;
    const int *x;
    const int *y;
    const float *grad;
    const int *row_start; /* num_rows + 1 entries */
    int num_rows;
} EdgelView;

/* One edgel being followed: the edgel it was reached from and the next of
 * its links to try. */
typedef struct {
    int edgel;
    int from;
    int next;
} FollowFrame;

/* Working data of one hysteresis run, sized by the edgel count. */
typedef struct {
    const EdgelView *edgels;
    EdgelAdjacency links;
    /* Per rate pair, each edgel's modulus until it is taken into a chain,
     * then -infinity: one look-up tells whether an edgel may still be
     * taken, and a taken one fails every threshold test. */
    float *open;
    FollowFrame *stack;
    int *chain; /* edgel indices of the chain being filled */
    int length;
} Follower;

/* Adds to the chain, from the seed, every edgel reachable through edgels
 * above the low threshold, in depth-first pre-order with links taken in
 * list order and the link back to the predecessor skipped. An explicit
 * stack replaces recursion so that chains as long as the edgel count fit. */
static void follow_chain(Follower *f, int seed, double low)
{
    const int *first = f->links.first, *to = f->links.to;
    float *open = f->open;
    open[seed] = -INFINITY;
    f->chain[0] = seed;
    f->length = 1;
    int depth = 0;
    f->stack[0] = (FollowFrame){ seed, -1, first[seed] };
    while (depth >= 0) {
        FollowFrame *top = &f->stack[depth];
        int link = top->next, end = first[top->edgel + 1];
        while (link < end && to[link] == top->from) {
            link++;
        }
        if (link == end) {
            depth--;
            continue;
        }
        top->next = link + 1;
        int next = to[link];
        if (open[next] > low) {
            open[next] = -INFINITY;
            f->chain[f->length++] = next;
            f->stack[++depth] = (FollowFrame){ next, top->edgel, first[next] };
        }
    }
}

static PointList *chain_to_points(const Follower *f)
{
    PointList *list = alloc_point_list(f->length);
    if (list == NULL) {
        return NULL;
    }
    for (int k = 0; k < f->length; k++) {
        int e = f->chain[k];
        list->point[k] = alloc_point((double)f->edgels->y[e], (double)f->edgels->x[e]);
    }
    list->type = GEN_VALID;
    return list;
}

/* The lowest modulus any pair's follower may still accept: edgels at or
 * below it are never visited, so their links need not be kept. */
static double lowest_followed_modulus(void)
{
    double lowest = low_thres_val[0] < high_thres_val[0] ? low_thres_val[0] : high_thres_val[0];
    for (int t = 1; t < N_THRES; t++) {
        lowest = low_thres_val[t] < lowest ? low_thres_val[t] : lowest;
        lowest = high_thres_val[t] < lowest ? high_thres_val[t] : lowest;
    }
    return lowest;
}

/* Links and follows the edgels for every rate pair in use. Returns the
 * chains (null with *num_edges 0 when memory runs out, after the message of
 * function). */
static PointList **follow_edgels(const EdgelView *edgels, int *num_edges, int min_size, const char *function)
{
    *num_edges = 0;
    size_t n = (size_t)edgels->n;
    Follower f = { edgels, { NULL, NULL, 0 }, NULL, NULL, NULL, 0 };
    f.open = alloc_array(n, sizeof *f.open);
    int ok = f.open != NULL && link_edgels_flat(edgels->x, edgels->row_start, edgels->num_rows, edgels->grad,
                                                  lowest_followed_modulus(), &f.links);
    if (!ok) {
        free(f.open);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    f.stack = alloc_array(n, sizeof *f.stack);
    f.chain = alloc_array(n, sizeof *f.chain);
    /* The result grows with the chains found, up to MAX_EDGE_CHAINS. */
    size_t capacity = 0;
    PointList **result = NULL;
    ok = f.stack != NULL && f.chain != NULL && grow_array((void **)&result, &capacity, 1, sizeof *result);
    if (!ok) {
        fprintf(stderr, "Insufficient memory edges!\n");
    }
    size_t found = 0;
    for (int t = 0; ok && t < N_THRES; t++) {
        memcpy(f.open, edgels->grad, n * sizeof *f.open);
        for (size_t i = 0; ok && i < n && found < MAX_EDGE_CHAINS; i++) {
            if (!(f.open[i] > high_thres_val[t])) {
                continue;
            }
            follow_chain(&f, (int)i, low_thres_val[t]);
            if (f.length < min_size) {
                continue;
            }
            ok = grow_array((void **)&result, &capacity, found + 1, sizeof *result);
            PointList *chain = ok ? chain_to_points(&f) : NULL;
            if (chain == NULL) {
                fprintf(stderr, "Insufficient memory edges!\n");
                ok = 0;
                break;
            }
            result[found++] = chain;
        }
    }
    free(f.stack);
    free(f.chain);
    free(f.open);
    free_edgel_adjacency(&f.links);
    if (!ok) {
        for (size_t k = 0; k < found; k++) {
            delete_point_list(result[k], result[k]->num_pts);
        }
        free(result);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    *num_edges = (int)found;
    return result;
}

PointList **HysteresisThresholding_library(osl_edgel_chain *edgels_NMS, int num_rows, int num_cols,
                                           int *num_edges, int min_size)
{
    const char *function = "HysteresisThresholding_library";
    (void)num_cols;
    *num_edges = 0;
    if (edgels_NMS == NULL) {
        fprintf(stderr, " Fatal error in %s: NULL buffer(s).\n", function);
        return NULL;
    }
    int n = (int)edgels_NMS->n;
    int *x = alloc_array((size_t)n, sizeof *x);
    int *y = alloc_array((size_t)n, sizeof *y);
    int *rows = alloc_array((size_t)num_rows + 1, sizeof *rows);
    PointList **result = NULL;
    if (x != NULL && y != NULL && rows != NULL) {
        for (int k = 0; k < n; k++) {
            x[k] = (int)edgels_NMS->x[k];
            y[k] = (int)edgels_NMS->y[k];
        }
        int e = 0;
        for (int r = 0; r <= num_rows; r++) {
            while (e < n && y[e] < r) {
                e++;
            }
            rows[r] = r == num_rows ? n : e;
        }
        const EdgelView view = { n, x, y, edgels_NMS->grad, rows, num_rows };
        result = follow_edgels(&view, num_edges, min_size, function);
    }
    int ok = x != NULL && y != NULL && rows != NULL;
    free(x);
    free(y);
    free(rows);
    free_osl_edgel_chain(edgels_NMS);
    if (!ok) {
        report_error(function, "Insufficient memory !");
    }
    return result;
}

PointList **detect_edge_multiscalar_canny_sigma(const Image *in_img, double blur_factor, int *num_edges,
                                                int min_size, int nthresholds, const double *low,
                                                const double *high)
{
    const char *function = "detect_edge_multiscalar_canny_sigma";
    *num_edges = 0;
    /* The rate arrays hold MAX_THRESHOLD_PAIRS entries; more pairs are
     * refused rather than written past them. */
    if (nthresholds < 1 || nthresholds > MAX_THRESHOLD_PAIRS) {
        report_error_fmt(function, "Number of thresholds ( %d ) must be in [1, %d] range !", nthresholds,
                         MAX_THRESHOLD_PAIRS);
        return NULL;
    }
    N_THRES = nthresholds;
    for (int t = 0; t < nthresholds; t++) {
        low_thres_rate[t] = low[t];
        high_thres_rate[t] = high[t];
    }
    if (!is_gray_img(in_img)) {
        report_error(function, "Not a grayscale image !");
        return NULL;
    }
    if (blur_factor < 0.1) {
        report_error_fmt(function, "Sigma ( %f ) must be >= 0.1 !", blur_factor);
        return NULL;
    }
    int rows = in_img->num_rows, cols = in_img->num_cols;
    const int dims[3] = { cols, rows, 1 };
    const int borders[3] = { 10, 10, 10 };
    const float sigmas[3] = { (float)blur_factor, (float)blur_factor, (float)blur_factor };
    /* Only the edgels' positions and moduli are needed from here on: the
     * suppressed plane, derivatives and orientations are not kept. */
    EdgelPositions edgels;
    ModulusHistogram hist;
    if (!extract_edgel_positions(in_img->data_1d.byte_data, UCHAR, dims, borders, sigmas, GAUSSIAN_DERICHE,
                                 &edgels, &hist, "Extract_Gradient_Maxima_2D_zelvora") ||
        edgels.n == 0) {
        printf("Edges after Non_Maximal_Supression: %d\n", 0);
        return NULL;
    }
    set_all_pair_thresholds(&hist);
    const EdgelView view = { edgels.n, edgels.x, edgels.y, edgels.grad, edgels.row_start, rows };
    PointList **chains = follow_edgels(&view, num_edges, min_size, "HysteresisThresholding_library");
    free_edgel_positions(&edgels);
    return chains;
}
