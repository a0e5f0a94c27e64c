#include "canny_edges.h"

#include "img_error.h"
#include "img_parallel.h"
#include "img_size.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The rate pairs of one search and the thresholds taken from them. Each
 * search keeps its own, so searches may run at the same time. */
typedef struct {
    int count;
    double low_rate[MAX_THRESHOLD_PAIRS];
    double high_rate[MAX_THRESHOLD_PAIRS];
    double low_val[MAX_THRESHOLD_PAIRS];
    double high_val[MAX_THRESHOLD_PAIRS];
} ThresholdPairs;

/* The pairs of the last search started on this thread, which the
 * step-by-step entry points (thresholds, then hysteresis) share between
 * their calls. */
static _Thread_local ThresholdPairs last_search_pairs;

static void set_pair_thresholds(ThresholdPairs *pairs, const ModulusHistogram *hist, int t)
{
    thresholds_from_histogram(hist, pairs->low_rate[t], pairs->high_rate[t], &pairs->low_val[t],
                              &pairs->high_val[t]);
    printf("Hysteresis thresholds. Rates[%.2f, %.2f]. Low=%.2f and High=%.2f\n", pairs->low_rate[t],
           pairs->high_rate[t], pairs->low_val[t], pairs->high_val[t]);
}

/* One histogram of all moduli serves every pair. */
static void set_all_pair_thresholds(ThresholdPairs *pairs, const ModulusHistogram *hist)
{
    for (int t = 0; t < pairs->count; t++) {
        set_pair_thresholds(pairs, hist, t);
    }
}

void calc_hysteresis_thresholds_mod(const float *grad_data, long num_pixels, int threshold)
{
    if (threshold < 0 || threshold >= MAX_THRESHOLD_PAIRS) {
        return;
    }
    ModulusHistogram hist;
    modulus_histogram(grad_data, num_pixels, &hist);
    set_pair_thresholds(&last_search_pairs, &hist, threshold);
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
        set_all_pair_thresholds(&last_search_pairs, &hist);
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

/* Working data of the hysteresis run of one rate pair, sized by the edgel
 * count. */
typedef struct {
    const EdgelView *edgels;
    const EdgelAdjacency *links;
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
    const int *first = f->links->first, *to = f->links->to;
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
        if (list->point[k] == NULL) {
            delete_point_list(list, k);
            return NULL;
        }
    }
    list->type = GEN_VALID;
    return list;
}

/* The lowest modulus any pair's follower may still accept: edgels at or
 * below it are never visited, so their links need not be kept. */
static double lowest_followed_modulus(const ThresholdPairs *pairs)
{
    double lowest = pairs->low_val[0] < pairs->high_val[0] ? pairs->low_val[0] : pairs->high_val[0];
    for (int t = 1; t < pairs->count; t++) {
        lowest = pairs->low_val[t] < lowest ? pairs->low_val[t] : lowest;
        lowest = pairs->high_val[t] < lowest ? pairs->high_val[t] : lowest;
    }
    return lowest;
}

/* The chains one rate pair gives, in the order they are found. */
typedef struct {
    PointList **chains;
    size_t count, capacity;
} PairChains;

static void free_pair_chains(PairChains *found)
{
    for (size_t k = 0; k < found->count; k++) {
        delete_point_list(found->chains[k], found->chains[k]->num_pts);
    }
    free(found->chains);
}

/* What the rate pairs share: the edgels and their links; each pair follows
 * with scratch arrays of its own, so the pairs run in parallel. */
typedef struct {
    const EdgelView *edgels;
    const EdgelAdjacency *links;
    const ThresholdPairs *pairs;
    int min_size;
    PairChains *found; /* one per pair */
} HysteresisJob;

/* Follows the chains of rate pair t: every edgel above the high threshold
 * not yet taken seeds a chain; chains shorter than min_size are dropped. At
 * most MAX_EDGE_CHAINS are kept. 0 when memory runs out. */
static int follow_pair(long t, void *job_ptr)
{
    const HysteresisJob *job = job_ptr;
    const EdgelView *edgels = job->edgels;
    PairChains *found = &job->found[t];
    double low = job->pairs->low_val[t], high = job->pairs->high_val[t];
    size_t n = (size_t)edgels->n;
    Follower f = { edgels, job->links, NULL, NULL, NULL, 0 };
    f.open = alloc_array(n, sizeof *f.open);
    f.stack = alloc_array(n, sizeof *f.stack);
    f.chain = alloc_array(n, sizeof *f.chain);
    int ok = f.open != NULL && f.stack != NULL && f.chain != NULL;
    if (ok) {
        memcpy(f.open, edgels->grad, n * sizeof *f.open);
    }
    /* A chain's points are made together and mostly released together. */
    open_point_pool();
    for (size_t i = 0; ok && i < n && found->count < MAX_EDGE_CHAINS; i++) {
        if (!(f.open[i] > high)) {
            continue;
        }
        follow_chain(&f, (int)i, low);
        if (f.length < job->min_size) {
            continue;
        }
        ok = grow_array((void **)&found->chains, &found->capacity, found->count + 1, sizeof *found->chains);
        PointList *chain = ok ? chain_to_points(&f) : NULL;
        if (chain == NULL) {
            ok = 0;
            break;
        }
        found->chains[found->count++] = chain;
    }
    close_point_pool();
    if (!ok) {
        fprintf(stderr, "Insufficient memory edges!\n");
    }
    free(f.stack);
    free(f.chain);
    free(f.open);
    return ok;
}

/* Links and follows the edgels for every rate pair in use. Returns the
 * chains, those of every pair following those of the pair before (null
 * with *num_edges 0 when memory runs out, after the message of function). */
static PointList **follow_edgels(const EdgelView *edgels, const ThresholdPairs *pairs, int *num_edges,
                                 int min_size, const char *function)
{
    *num_edges = 0;
    EdgelAdjacency links = { NULL, NULL, 0 };
    PairChains found[MAX_THRESHOLD_PAIRS];
    memset(found, 0, sizeof found);
    int ok = link_edgels_flat(edgels->x, edgels->row_start, edgels->num_rows, edgels->grad,
                              lowest_followed_modulus(pairs), &links);
    if (!ok) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    HysteresisJob job = { edgels, &links, pairs, min_size, found };
    ok = imaging_parallel(pairs->count, follow_pair, &job);
    free_edgel_adjacency(&links);
    /* The chains of all pairs, in pair order, up to MAX_EDGE_CHAINS. */
    size_t total = 0;
    for (int t = 0; t < pairs->count; t++) {
        total += found[t].count;
    }
    size_t kept = total < MAX_EDGE_CHAINS ? total : MAX_EDGE_CHAINS;
    PointList **result = ok ? alloc_array(kept ? kept : 1, sizeof *result) : NULL;
    if (result != NULL) {
        size_t at = 0;
        for (int t = 0; t < pairs->count; t++) {
            for (size_t k = 0; k < found[t].count; k++) {
                if (at < kept) {
                    result[at++] = found[t].chains[k];
                } else {
                    delete_point_list(found[t].chains[k], found[t].chains[k]->num_pts);
                }
            }
            free(found[t].chains);
        }
        *num_edges = (int)kept;
        return result;
    }
    for (int t = 0; t < pairs->count; t++) {
        free_pair_chains(&found[t]);
    }
    report_error(function, "Insufficient memory !");
    return NULL;
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
        result = follow_edgels(&view, &last_search_pairs, num_edges, min_size, function);
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

int canny_edge_search(const Image *in_img, double blur_factor, int min_size, int nthresholds, const double *low,
                      const double *high, PointList ***chains, int *num_edges)
{
    const char *function = "detect_edge_multiscalar_canny_sigma";
    *chains = NULL;
    *num_edges = 0;
    /* The rate arrays hold MAX_THRESHOLD_PAIRS entries; more pairs are
     * refused rather than written past them. */
    if (nthresholds < 1 || nthresholds > MAX_THRESHOLD_PAIRS) {
        report_error_fmt(function, "Number of thresholds ( %d ) must be in [1, %d] range !", nthresholds,
                         MAX_THRESHOLD_PAIRS);
        return 0;
    }
    ThresholdPairs pairs = { .count = nthresholds };
    for (int t = 0; t < nthresholds; t++) {
        pairs.low_rate[t] = low[t];
        pairs.high_rate[t] = high[t];
    }
    last_search_pairs = pairs;
    if (!is_gray_img(in_img)) {
        report_error(function, "Not a grayscale image !");
        return 0;
    }
    if (blur_factor < 0.1) {
        report_error_fmt(function, "Sigma ( %f ) must be >= 0.1 !", blur_factor);
        return 0;
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
                                 &edgels, &hist, "Extract_Gradient_Maxima_2D_zelvora")) {
        /* The arguments were checked above: what fails here is memory. */
        report_error("Extract_Gradient_Maxima_2D_zelvora", "Insufficient memory !");
        return 0;
    }
    if (edgels.n == 0) {
        printf("Edges after Non_Maximal_Supression: %d\n", 0);
        free_edgel_positions(&edgels);
        return 1;
    }
    set_all_pair_thresholds(&pairs, &hist);
    last_search_pairs = pairs;
    const EdgelView view = { edgels.n, edgels.x, edgels.y, edgels.grad, edgels.row_start, rows };
    *chains = follow_edgels(&view, &pairs, num_edges, min_size, "HysteresisThresholding_library");
    free_edgel_positions(&edgels);
    return *chains != NULL;
}

PointList **detect_edge_multiscalar_canny_sigma(const Image *in_img, double blur_factor, int *num_edges,
                                                int min_size, int nthresholds, const double *low,
                                                const double *high)
{
    PointList **chains;
    canny_edge_search(in_img, blur_factor, min_size, nthresholds, low, high, &chains, num_edges);
    return chains;
}
