#include "canny_edges.h"

#include "img_error.h"
#include "img_size.h"

#include <stdio.h>
#include <stdlib.h>

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
    /* One histogram of all moduli serves every pair. */
    for (int t = 0; edgels != NULL && t < N_THRES; t++) {
        set_pair_thresholds(&hist, t);
    }
    return edgels;
}

/* ------------------------------------------------------------------------
 * Hysteresis
 * ------------------------------------------------------------------------ */

/* One edgel being followed: the edgel it was reached from and the next of
 * its links to try. */
typedef struct {
    int edgel;
    int from;
    const osl_LINK *next;
} FollowFrame;

/* Working data of one hysteresis run, sized by the edgel count. */
typedef struct {
    const osl_edgel_chain *edgels;
    EdgelLinks links;
    int *status;
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
    f->status[seed] = 1;
    f->chain[0] = seed;
    f->length = 1;
    int depth = 0;
    f->stack[0] = (FollowFrame){ seed, -1, f->links.head[seed] };
    while (depth >= 0) {
        FollowFrame *top = &f->stack[depth];
        const osl_LINK *link = top->next;
        while (link != NULL && link->to == top->from) {
            link = link->nextl;
        }
        if (link == NULL) {
            depth--;
            continue;
        }
        top->next = link->nextl;
        int to = link->to;
        if (f->status[to] == 0 && f->edgels->grad[to] > low) {
            f->status[to] = 1;
            f->chain[f->length++] = to;
            f->stack[++depth] = (FollowFrame){ to, top->edgel, f->links.head[to] };
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

/* Builds the links of the edgels from their row-major positions. */
static int link_edgels(const osl_edgel_chain *edgels, int num_rows, int num_cols, EdgelLinks *links)
{
    int n = (int)edgels->n;
    int *col = alloc_array((size_t)n, sizeof(int));
    int *rows = alloc_array((size_t)num_rows + 1, sizeof(int));
    int ok = col != NULL && rows != NULL && alloc_edgel_links(links, n);
    if (ok) {
        int e = 0;
        for (int r = 0; r <= num_rows; r++) {
            while (e < n && (int)edgels->y[e] < r) {
                e++;
            }
            rows[r] = r == num_rows ? n : e;
        }
        for (int k = 0; k < n; k++) {
            col[k] = (int)edgels->x[k];
        }
        ok = Link_edgelsOX(col, rows, links, num_rows, num_cols);
    }
    free(col);
    free(rows);
    return ok;
}

PointList **HysteresisThresholding_library(osl_edgel_chain *edgels_NMS, int num_rows, int num_cols,
                                           int *num_edges, int min_size)
{
    const char *function = "HysteresisThresholding_library";
    *num_edges = 0;
    if (edgels_NMS == NULL) {
        fprintf(stderr, " Fatal error in %s: NULL buffer(s).\n", function);
        return NULL;
    }
    size_t n = edgels_NMS->n;
    Follower f = { edgels_NMS, { 0 }, NULL, NULL, NULL, 0 };
    f.status = alloc_array(n, sizeof(int));
    int ok = f.status != NULL && link_edgels(edgels_NMS, num_rows, num_cols, &f.links);
    if (!ok) {
        free_edgel_links(&f.links);
        free(f.status);
        free_osl_edgel_chain(edgels_NMS);
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
        for (size_t i = 0; i < n; i++) {
            f.status[i] = 0;
        }
        for (size_t i = 0; ok && i < n && found < MAX_EDGE_CHAINS; i++) {
            if (f.status[i] != 0 || !(edgels_NMS->grad[i] > high_thres_val[t])) {
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
    free(f.status);
    free_edgel_links(&f.links);
    free_osl_edgel_chain(edgels_NMS);
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
    float *nms = alloc_array((size_t)rows * (size_t)cols, sizeof(float));
    if (nms == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    osl_edgel_chain *edgels = Extract_Gradient_Maxima_2D_zelvora(in_img->data_1d.byte_data, UCHAR, nms, dims,
                                                                 borders, sigmas, GAUSSIAN_DERICHE);
    /* The suppressed plane is not needed by the linking; releasing it first
     * lowers the peak memory of the search. */
    free(nms);
    if (edgels == NULL) {
        printf("Edges after Non_Maximal_Supression: %d\n", 0);
        return NULL;
    }
    return HysteresisThresholding_library(edgels, rows, cols, num_edges, min_size);
}
