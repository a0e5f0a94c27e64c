#include "gradient_maxima.h"

#include "gradient_workspace.h"
#include "img_error.h"
#include "img_parallel.h"
#include "img_size.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Diagnostics of the gradient stage are printed only above this level,
 * which the programs never raise. */
static const int verbose_level = 0;

/* Below this modulus a pixel is never a maximum. */
static const double epsilon_norm = 0.5;
/* Beyond this direction cosine the gradient counts as axis-aligned. */
static const double epsilon_derivative = 0.95;

static const double pi = 3.14159265358979323846;

osl_edgel_chain *alloc_osl_edgel_chain(unsigned n)
{
    const char *function = "alloc_osl_edgel_chain";
    if (n == 0) {
        report_error_fmt(function, "n_ ( %d ) must be > 0 !", (int)n);
        return NULL;
    }
    osl_edgel_chain *chain = calloc(1, sizeof *chain);
    if (chain != NULL) {
        chain->n = n;
        chain->x = alloc_array(n, sizeof(unsigned));
        chain->y = alloc_array(n, sizeof(unsigned));
        chain->dx = alloc_array(n, sizeof(float));
        chain->dy = alloc_array(n, sizeof(float));
        chain->grad = alloc_array(n, sizeof(float));
        chain->theta = alloc_array(n, sizeof(float));
    }
    if (chain == NULL || !chain->x || !chain->y || !chain->dx || !chain->dy || !chain->grad || !chain->theta) {
        free_osl_edgel_chain(chain);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    return chain;
}

void free_osl_edgel_chain(osl_edgel_chain *chain)
{
    if (chain == NULL) {
        return;
    }
    free(chain->x);
    free(chain->y);
    free(chain->dx);
    free(chain->dy);
    free(chain->grad);
    free(chain->theta);
    free(chain);
}

/* The root is taken in single precision: a double root rounded to float is
 * the correctly rounded float root, so the moduli are the same, and the
 * float root runs several per instruction. */
static float modulus_of(float gx, float gy)
{
    float squares = gx * gx + gy * gy;
    return sqrtf(squares);
}

static float orientation_of(float gx, float gy) { return (float)(180.0 * atan2((double)gy, (double)gx) / pi); }

typedef struct {
    float *modulus;
    const float *gx, *gy;
    long length, bands;
} ModulusJob;

static void modulus_row(const float *gx, const float *gy, long length, float *moduli)
{
    for (long k = 0; k < length; k++) {
        moduli[k] = modulus_of(gx[k], gy[k]);
    }
}

static int modulus_band(long band, void *job_ptr)
{
    const ModulusJob *job = job_ptr;
    long begin, end;
    imaging_band(job->length, job->bands, band, &begin, &end);
    modulus_row(job->gx + begin, job->gy + begin, end - begin, job->modulus + begin);
    return 1;
}

void GradientModulus2D(float *gradient_modulus, const float *derivative_along_X, const float *derivative_along_Y,
                       long length)
{
    ModulusJob job = { gradient_modulus, derivative_along_X, derivative_along_Y, length,
                       imaging_band_count(length, 1L << 16) };
    imaging_parallel(job.bands, modulus_band, &job);
}

void GradientOrientation2D(float *gradient_orientation, const float *derivative_along_X,
                           const float *derivative_along_Y, long length)
{
    for (long k = 0; k < length; k++) {
        gradient_orientation[k] = orientation_of(derivative_along_X[k], derivative_along_Y[k]);
    }
}

/* Bilinear interpolation of the modulus between rows top and bottom (the
 * next row) at column x0, with weights fx, fy toward the next column and
 * row. */
static double interpolate(const float *top, const float *bottom, int x0, double fx, double fy)
{
    return (1 - fx) * (1 - fy) * top[x0] + fx * (1 - fy) * top[x0 + 1] + (1 - fx) * fy * bottom[x0] +
           fx * fy * bottom[x0 + 1];
}

static int inside_interpolation_range(double px, double py, int dimx, int dimy)
{
    return px >= 0 && px < dimx - 1 && py >= 0 && py < dimy - 1;
}

/* Whether the pixel (x, y) of unit gradient (ux, uy) is a maximum across
 * the edge; rows holds the moduli of rows y - 1, y and y + 1, the only rows
 * the neighbours along the gradient can fall on (a unit step rounds to at
 * most one row, and the interpolated case has |uy| <= epsilon_derivative). */
static inline int is_maximum(const float *const rows[3], int dimx, int dimy, int x, int y, double ux, double uy)
{
    float n = rows[1][x];
    if (n < epsilon_norm) {
        return 0;
    }
    if (fabs(ux) > epsilon_derivative || fabs(uy) > epsilon_derivative) {
        float forward = rows[(int)(y + uy + 0.5) - y + 1][(int)(x + ux + 0.5)];
        float backward = rows[(int)(y - uy + 0.5) - y + 1][(int)(x - ux + 0.5)];
        return n > forward && n >= backward;
    }
    double px = x + ux, py = y + uy;
    if (!inside_interpolation_range(px, py, dimx, dimy)) {
        return 0;
    }
    int x0 = (int)px, y0 = (int)py;
    double fx = px - x0, fy = py - y0;
    if (n <= interpolate(rows[y0 - y + 1], rows[y0 - y + 2], x0, fx, fy)) {
        return 0;
    }
    double qx = x - ux, qy = y - uy;
    if (!inside_interpolation_range(qx, qy, dimx, dimy)) {
        return 0;
    }
    /* The backward point mirrors the forward one about the pixel, so its
     * fractional parts are the complements of the forward ones. */
    int y1 = (int)qy;
    return n >= interpolate(rows[y1 - y + 1], rows[y1 - y + 2], (int)qx, 1 - fx, 1 - fy);
}

/* The unit gradient of one row, divided out for the whole row at once so
 * that the divisions run several per instruction. */
static void unit_gradient_row(const float *gx, const float *gy, const float *norme, int dimx, double *ux,
                              double *uy)
{
    for (int x = 0; x < dimx; x++) {
        ux[x] = gx[x] / (double)norme[x];
        uy[x] = gy[x] / (double)norme[x];
    }
}

/* Suppression of one band of rows; see suppress_non_maxima. */
typedef struct {
    float *maxima;
    const float *gx, *gy, *norme;
    int dimx, dimy;
    long bands;
    size_t *counts; /* maxima kept per band */
} SuppressionJob;

static int suppress_band(long band, void *job_ptr)
{
    const SuppressionJob *job = job_ptr;
    float *maxima = job->maxima;
    const float *gx = job->gx, *gy = job->gy, *norme = job->norme;
    int dimx = job->dimx, dimy = job->dimy;
    long first, end;
    imaging_band(dimy, job->bands, band, &first, &end);
    double *ux = alloc_array(2 * (size_t)dimx, sizeof *ux);
    double one_ux, one_uy;
    size_t count = 0;
    for (int y = (int)first; y < (int)end; y++) {
        size_t at = (size_t)y * (size_t)dimx;
        float *row = maxima + at;
        if (y == 0 || y == dimy - 1) {
            memset(row, 0, (size_t)dimx * sizeof *row);
            continue;
        }
        if (ux != NULL) {
            unit_gradient_row(gx + at, gy + at, norme + at, dimx, ux, ux + dimx);
        }
        const float *const rows[3] = { norme + at - dimx, norme + at, norme + at + dimx };
        row[0] = 0.0f;
        for (int x = 1; x < dimx - 1; x++) {
            double *px = &one_ux, *py = &one_uy;
            if (ux != NULL) {
                px = &ux[x];
                py = &ux[dimx + x];
            } else {
                /* Without room for a row, one pixel at a time. */
                unit_gradient_row(gx + at + x, gy + at + x, norme + at + x, 1, px, py);
            }
            int keep = is_maximum(rows, dimx, dimy, x, y, *px, *py);
            row[x] = keep ? norme[at + (size_t)x] : 0.0f;
            count += (size_t)keep;
        }
        row[dimx - 1] = 0.0f;
    }
    free(ux);
    job->counts[band] = count;
    return 1;
}

/* Suppression into maxima, which may be gx itself: each row's derivatives
 * are read before its results are written and serve no other pixel, and
 * the moduli the tests compare are never written. The rows are therefore
 * independent and run in bands in parallel. Returns the number of maxima. */
static size_t suppress_non_maxima(float *maxima, const float *gx, const float *gy, const float *norme,
                                  const int *bufferDims)
{
    enum { MAX_BANDS = 1024 };
    size_t counts[MAX_BANDS];
    long bands = imaging_band_count(bufferDims[1], 8);
    SuppressionJob job = { maxima, gx, gy, norme, bufferDims[0], bufferDims[1],
                           bands < MAX_BANDS ? bands : MAX_BANDS, counts };
    imaging_parallel(job.bands, suppress_band, &job);
    size_t count = 0;
    for (long b = 0; b < job.bands; b++) {
        count += counts[b];
    }
    return count;
}

void Remove_Gradient_NonMaxima_Slice_2D(float *maxima, const float *gx, const float *gy, const float *norme,
                                        const int *bufferDims)
{
    suppress_non_maxima(maxima, gx, gy, norme, bufferDims);
}

int Remove_Gradient_NonMaxima_Slice_2D_VXL(float *maxima, const float *gx, const float *gy, const float *norme,
                                           const int *bufferDims)
{
    return (int)suppress_non_maxima(maxima, gx, gy, norme, bufferDims);
}

int osl_canny_nms(float *maxima, float *gx, float *gy, const float *norme, const int *bufferDims)
{
    /* Neighbour offsets (dx, dy) of the +direction side of each sector;
     * the other side is the opposite pixel. */
    static const int sector_dx[9] = { 0, 1, 1, -1, 0, 1, 1, -1, 0 };
    static const int sector_dy[9] = { 1, 1, 0, 1, 1, 1, 0, 1, 1 };
    int dimx = bufferDims[0], dimy = bufferDims[1];
    size_t w = (size_t)dimx;
    memset(maxima, 0, w * (size_t)dimy * sizeof *maxima);
    int kept = 0;
    for (int y = 1; y < dimy - 1; y++) {
        for (int x = 1; x < dimx - 1; x++) {
            size_t at = (size_t)y * w + (size_t)x;
            float c = norme[at];
            int candidate = gx[at] <= gy[at] ? c > norme[at - w] && c > norme[at + w]
                                             : c > norme[at + 1] && c >= norme[at - 1];
            if (!candidate) {
                continue;
            }
            int sector = (int)(180.0 * atan2((double)gx[at], (double)gy[at]) / pi + 202.5) / 45;
            int dx = sector_dx[sector], dy = sector_dy[sector];
            double a = norme[(size_t)(y - dy) * w + (size_t)(x - dx)];
            double b = norme[(size_t)(y + dy) * w + (size_t)(x + dx)];
            double offset = (a - b) / (2 * (a + b - 2 * c));
            if (offset > 0.5) {
                continue;
            }
            maxima[at] = c;
            gx[at] = (float)(x + 0.5 + offset * dx);
            gy[at] = (float)(y + 0.5 + offset * dy);
            kept++;
        }
    }
    return kept;
}

/* ------------------------------------------------------------------------
 * Gradient stage
 * ------------------------------------------------------------------------ */

static size_t sample_bytes(bufferType type)
{
    switch (type) {
    case UCHAR:
    case SCHAR: return 1;
    case USHORT:
    case SSHORT: return 2;
    case INT:
    case FLOAT: return 4;
    case DOUBLE: return 8;
    default: return 0;
    }
}

/* Scratch planes of one slice. */
typedef struct {
    float *gx, *gy, *modulus;
} GradientPlanes;

static int alloc_planes(GradientPlanes *planes, size_t plane)
{
    planes->gx = alloc_array(plane, sizeof(float));
    planes->gy = alloc_array(plane, sizeof(float));
    planes->modulus = alloc_array(plane, sizeof(float));
    return planes->gx && planes->gy && planes->modulus;
}

/* Frees the planes and forgets them, so that freeing them again is safe. */
static void free_planes(GradientPlanes *planes)
{
    free(planes->gx);
    free(planes->gy);
    free(planes->modulus);
    memset(planes, 0, sizeof *planes);
}

/* Whether the stage can run on these arguments; 0 (with the message)
 * when it cannot. */
static int gradient_arguments_valid(const void *bufferIn, bufferType typeIn, const int *bufferDims,
                                    const float *filterCoefs, const char *function)
{
    if (bufferDims[0] < 1 || bufferDims[1] < 1 || bufferDims[2] < 1 || bufferIn == NULL) {
        if (verbose_level > 0) {
            fprintf(stderr, " Fatal error in %s: improper buffer's dimension.\n", function);
        }
        return 0;
    }
    if (filterCoefs[0] < 0.0f || filterCoefs[1] < 0.0f) {
        if (verbose_level > 0) {
            fprintf(stderr, " Error in %s: negative coefficient's value.\n", function);
        }
        return 0;
    }
    if (sample_bytes(typeIn) == 0) {
        if (verbose_level > 0) {
            fprintf(stderr, " Error in %s: such input type not handled.\n", function);
        }
        return 0;
    }
    return 1;
}

static void report_no_auxiliary_buffer(const char *function)
{
    if (verbose_level > 0) {
        fprintf(stderr, " Fatal error in %s: unable to allocate auxiliary buffer.\n", function);
    }
}

/* Checks the arguments and allocates the planes; 0 (with the message) when
 * the stage cannot run. */
static int start_gradient(const void *bufferIn, bufferType typeIn, const int *bufferDims, const float *filterCoefs,
                          GradientPlanes *planes, const char *function)
{
    memset(planes, 0, sizeof *planes);
    if (!gradient_arguments_valid(bufferIn, typeIn, bufferDims, filterCoefs, function)) {
        return 0;
    }
    if (!alloc_planes(planes, (size_t)bufferDims[0] * (size_t)bufferDims[1])) {
        free_planes(planes);
        report_no_auxiliary_buffer(function);
        return 0;
    }
    return 1;
}

/* Derivatives along x and y of slice z into gx and gy. */
static int slice_derivatives(const void *bufferIn, bufferType typeIn, const int *bufferDims,
                             const int *borderLengths, const float *filterCoefs, recursiveFilterType filterType,
                             int z, float *gx, float *gy, const char *function)
{
    size_t plane = (size_t)bufferDims[0] * (size_t)bufferDims[1];
    const char *slice = (const char *)bufferIn + (size_t)z * plane * sample_bytes(typeIn);
    const int dims[3] = { bufferDims[0], bufferDims[1], 1 };
    const derivativeOrder along_x[3] = { DERIVATIVE_1_EDGES, SMOOTHING, NODERIVATIVE };
    const derivativeOrder along_y[3] = { SMOOTHING, DERIVATIVE_1_EDGES, NODERIVATIVE };
    if (!RecursiveFilterOnBuffer(slice, typeIn, gx, FLOAT, dims, borderLengths, along_x, filterCoefs,
                                 filterType)) {
        if (verbose_level > 0) {
            fprintf(stderr, " Fatal error in %s:", function);
            fprintf(stderr, " unable to compute X gradient for slice #%d.\n", z);
        }
        return 0;
    }
    if (!RecursiveFilterOnBuffer(slice, typeIn, gy, FLOAT, dims, borderLengths, along_y, filterCoefs,
                                 filterType)) {
        if (verbose_level > 0) {
            fprintf(stderr, " Fatal error in %s:", function);
            fprintf(stderr, " unable to compute Y gradient for slice #%d.\n", z);
        }
        return 0;
    }
    return 1;
}

/* Derivatives along x and y and the modulus of slice z. */
static int slice_gradient(const void *bufferIn, bufferType typeIn, const int *bufferDims, const int *borderLengths,
                          const float *filterCoefs, recursiveFilterType filterType, int z, GradientPlanes *planes,
                          const char *function)
{
    if (!slice_derivatives(bufferIn, typeIn, bufferDims, borderLengths, filterCoefs, filterType, z, planes->gx,
                           planes->gy, function)) {
        return 0;
    }
    GradientModulus2D(planes->modulus, planes->gx, planes->gy, (long)bufferDims[0] * bufferDims[1]);
    return 1;
}

int Extract_Gradient_Maxima_2D(const void *bufferIn, bufferType typeIn, void *bufferOut, bufferType typeOut,
                               const int *bufferDims, const int *borderLengths, const float *filterCoefs,
                               recursiveFilterType filterType)
{
    const char *function = "Extract_Gradient_Maxima_2D";
    GradientPlanes planes;
    if (!start_gradient(bufferIn, typeIn, bufferDims, filterCoefs, &planes, function)) {
        return 0;
    }
    size_t plane = (size_t)bufferDims[0] * (size_t)bufferDims[1];
    /* The maxima are written as floats, then converted to typeOut. */
    float *maxima = alloc_array(plane, sizeof(float));
    int ok = maxima != NULL;
    for (int z = 0; z < bufferDims[2] && ok; z++) {
        ok = slice_gradient(bufferIn, typeIn, bufferDims, borderLengths, filterCoefs, filterType, z, &planes,
                            function);
        if (ok) {
            suppress_non_maxima(maxima, planes.gx, planes.gy, planes.modulus, bufferDims);
            char *out = (char *)bufferOut + (size_t)z * plane * sample_bytes(typeOut);
            ConvertBuffer(maxima, FLOAT, out, typeOut, (long)plane);
        }
    }
    free(maxima);
    free_planes(&planes);
    return ok;
}

int Extract_Gradient_Theta_Maxima_2D(const void *bufferIn, bufferType typeIn, float *bufferOutGrad,
                                     float *bufferOutTheta, float *bufferOutNMS, const int *bufferDims,
                                     const int *borderLengths, const float *filterCoefs,
                                     recursiveFilterType filterType)
{
    const char *function = "Extract_Gradient_Theta_Maxima_2D";
    GradientPlanes planes;
    if (!start_gradient(bufferIn, typeIn, bufferDims, filterCoefs, &planes, function)) {
        return 0;
    }
    size_t plane = (size_t)bufferDims[0] * (size_t)bufferDims[1];
    int count = 0;
    for (int z = 0; z < bufferDims[2]; z++) {
        if (!slice_gradient(bufferIn, typeIn, bufferDims, borderLengths, filterCoefs, filterType, z, &planes,
                            function)) {
            break;
        }
        size_t offset = (size_t)z * plane;
        memcpy(bufferOutGrad + offset, planes.modulus, plane * sizeof(float));
        GradientOrientation2D(bufferOutTheta + offset, planes.gx, planes.gy, (long)plane);
        count = (int)suppress_non_maxima(bufferOutNMS + offset, planes.gx, planes.gy, planes.modulus, bufferDims);
        printf("No. de bordes: %d\n", count);
    }
    free_planes(&planes);
    return count;
}

/* The edgels are counted before they are stored; finding more than counted
 * means the planes changed underneath, which is reported as an error
 * instead of writing past the lists. */
static void edgel_count_broken(void)
{
    fprintf(stderr, "Assertion failed: i < n_edgels\n");
    fflush(stderr);
    if (get_err_mode()) {
        abort();
    }
}

/* Every non-zero pixel of the suppressed plane, in row-major order. */
static osl_edgel_chain *collect_edgels(const float *nms, const GradientPlanes *planes, size_t plane, int dimx)
{
    size_t n_edgels = 0;
    for (size_t k = 0; k < plane; k++) {
        n_edgels += nms[k] != 0.0f;
    }
    if (n_edgels == 0 || n_edgels > UINT32_MAX) {
        return NULL;
    }
    osl_edgel_chain *edgels = alloc_osl_edgel_chain((unsigned)n_edgels);
    if (edgels == NULL) {
        return NULL;
    }
    size_t i = 0;
    for (size_t k = 0; k < plane; k++) {
        if (nms[k] == 0.0f) {
            continue;
        }
        if (!(i < n_edgels)) {
            edgel_count_broken();
            free_osl_edgel_chain(edgels);
            return NULL;
        }
        float gx = planes->gx[k], gy = planes->gy[k];
        edgels->x[i] = (unsigned)(k % (size_t)dimx);
        edgels->y[i] = (unsigned)(k / (size_t)dimx);
        edgels->dx[i] = gx;
        edgels->dy[i] = gy;
        edgels->grad[i] = planes->modulus[k];
        /* Only the edgels' orientations are ever used, so they are computed
         * here rather than over a whole orientation plane. */
        edgels->theta[i] = orientation_of(gx, gy);
        i++;
    }
    return edgels;
}

osl_edgel_chain *extract_edgels(const void *bufferIn, bufferType typeIn, float *bufferOutNMS,
                                const int *bufferDims, const int *borderLengths, const float *filterCoefs,
                                recursiveFilterType filterType, ModulusHistogram *hist, const char *function,
                                int *ok)
{
    GradientPlanes planes;
    *ok = start_gradient(bufferIn, typeIn, bufferDims, filterCoefs, &planes, function) &&
          slice_gradient(bufferIn, typeIn, bufferDims, borderLengths, filterCoefs, filterType, 0, &planes,
                         function);
    osl_edgel_chain *edgels = NULL;
    if (*ok) {
        size_t plane = (size_t)bufferDims[0] * (size_t)bufferDims[1];
        suppress_non_maxima(bufferOutNMS, planes.gx, planes.gy, planes.modulus, bufferDims);
        edgels = collect_edgels(bufferOutNMS, &planes, plane, bufferDims[0]);
        modulus_histogram(planes.modulus, (long)plane, hist);
    }
    free_planes(&planes);
    return edgels;
}

void free_edgel_positions(EdgelPositions *edgels)
{
    free(edgels->x);
    free(edgels->y);
    free(edgels->grad);
    free(edgels->row_start);
    memset(edgels, 0, sizeof *edgels);
}

/* Adds count moduli to the bins of their rounded values. */
static void count_moduli(const float *moduli, long count, long *bins)
{
    for (long k = 0; k < count; k++) {
        float m = moduli[k];
        if (!(m > 0.0f)) {
            continue;
        }
        double rounded = (double)m + 0.5;
        bins[rounded >= 255.0 ? 255 : (int)rounded]++;
    }
}

/* Empties bin 0 and makes the counts cumulative from bin 1. */
static void finish_histogram(ModulusHistogram *hist)
{
    hist->cumulative[0] = 0;
    for (int bin = 2; bin < 256; bin++) {
        hist->cumulative[bin] += hist->cumulative[bin - 1];
    }
}

/* The fused stage after the derivatives: each band of rows computes the
 * moduli of its rows into a ring of three rows, counts them into its
 * histogram and suppresses its rows, the maxima taking the place of the
 * derivative along x (a row's derivatives serve only its own tests, read
 * before its maxima are written). No plane of moduli is made; every pixel
 * gets the same modulus and the same test as in a whole-plane pass. */
typedef struct {
    float *gx;
    const float *gy;
    int dimx, dimy;
    long bands;
    GradientBand *band;
    EdgelPositions *edgels;
} EdgelStage;

/* A band's neighbour rows belong to other bands, which overwrite their
 * derivatives: their moduli are taken before any band starts, into the
 * band's first row (the row above it) and fourth row (the row below). */
static int take_neighbour_moduli(long b, void *job_ptr)
{
    const EdgelStage *job = job_ptr;
    GradientBand *band = &job->band[b];
    const size_t dimx = (size_t)job->dimx;
    long first, end;
    imaging_band(job->dimy, job->bands, b, &first, &end);
    if (first > 0) {
        size_t above = (size_t)(first - 1) * dimx;
        modulus_row(job->gx + above, job->gy + above, job->dimx, band->moduli);
    }
    if (end < job->dimy) {
        size_t below = (size_t)end * dimx;
        modulus_row(job->gx + below, job->gy + below, job->dimx, band->moduli + 3 * dimx);
    }
    return 1;
}

static int suppress_band_rows(long b, void *job_ptr)
{
    const EdgelStage *job = job_ptr;
    GradientBand *band = &job->band[b];
    const int dimx = job->dimx, dimy = job->dimy;
    long first, end;
    imaging_band(dimy, job->bands, b, &first, &end);
    memset(band->histogram, 0, sizeof band->histogram);
    /* rows[0], rows[1], rows[2]: the moduli of rows y - 1, y, y + 1. */
    float *rows[3] = { band->moduli, band->moduli + dimx, band->moduli + 2 * (size_t)dimx };
    float *below = band->moduli + 3 * (size_t)dimx;
    modulus_row(job->gx + (size_t)first * (size_t)dimx, job->gy + (size_t)first * (size_t)dimx, dimx, rows[1]);
    double *ux = band->unit, *uy = band->unit + dimx;
    size_t count = 0;
    for (int y = (int)first; y < (int)end; y++) {
        float *maxima = job->gx + (size_t)y * (size_t)dimx;
        const float *gy = job->gy + (size_t)y * (size_t)dimx;
        if (y + 1 == (int)end) {
            rows[2] = below;
        } else {
            modulus_row(maxima + dimx, gy + dimx, dimx, rows[2]);
        }
        count_moduli(rows[1], dimx, band->histogram);
        if (y == 0 || y == dimy - 1) {
            memset(maxima, 0, (size_t)dimx * sizeof *maxima);
        } else {
            /* The row's derivatives along x, read before its maxima replace
             * them. */
            unit_gradient_row(maxima, gy, rows[1], dimx, ux, uy);
            const float *const neighbourhood[3] = { rows[0], rows[1], rows[2] };
            maxima[0] = 0.0f;
            for (int x = 1; x < dimx - 1; x++) {
                int keep = is_maximum(neighbourhood, dimx, dimy, x, y, ux[x], uy[x]);
                maxima[x] = keep ? rows[1][x] : 0.0f;
                count += (size_t)keep;
            }
            maxima[dimx - 1] = 0.0f;
        }
        float *done = rows[0];
        rows[0] = rows[1];
        rows[1] = rows[2];
        rows[2] = done;
    }
    band->count = count;
    return 1;
}

/* The maxima of a band go to the lists from the band's first index on,
 * which the counts of the bands before it give, so the bands fill the
 * lists in parallel in row-major order. A kept pixel's maximum is its
 * modulus. */
static int store_band_edgels(long b, void *job_ptr)
{
    const EdgelStage *job = job_ptr;
    EdgelPositions *edgels = job->edgels;
    const int dimx = job->dimx;
    long first, end;
    imaging_band(job->dimy, job->bands, b, &first, &end);
    size_t i = job->band[b].first, last = i + job->band[b].count;
    for (int y = (int)first; y < (int)end; y++) {
        edgels->row_start[y] = (int)i;
        const float *maxima = job->gx + (size_t)y * (size_t)dimx;
        for (int x = 0; x < dimx; x++) {
            /* Every pixel is written in the next free place, and only a
             * maximum takes it, which spares a branch the data cannot
             * predict. */
            if (i < last) {
                edgels->x[i] = x;
                edgels->y[i] = y;
                edgels->grad[i] = maxima[x];
            }
            i += maxima[x] != 0.0f;
        }
    }
    if (i != last) {
        edgel_count_broken();
        return 0;
    }
    return 1;
}

/* Runs the fused stage over the derivative planes of the workspace: the
 * edgels into *edgels (left empty when none survives) and the moduli's
 * histogram. 0 when memory runs out. */
static int find_edgels(GradientWorkspace *workspace, int dimx, int dimy, EdgelPositions *edgels,
                       ModulusHistogram *hist)
{
    EdgelStage job = { workspace->gx, workspace->gy, dimx, dimy, workspace->band_count, workspace->bands, edgels };
    imaging_parallel(job.bands, take_neighbour_moduli, &job);
    imaging_parallel(job.bands, suppress_band_rows, &job);
    size_t total = 0;
    memset(hist, 0, sizeof *hist);
    for (long b = 0; b < job.bands; b++) {
        job.band[b].first = total;
        total += job.band[b].count;
        for (int bin = 0; bin < 256; bin++) {
            hist->cumulative[bin] += job.band[b].histogram[bin];
        }
    }
    finish_histogram(hist);
    if (total == 0) {
        return 1;
    }
    if (total > INT32_MAX) {
        return 0;
    }
    edgels->n = (int)total;
    edgels->x = alloc_array(total, sizeof *edgels->x);
    edgels->y = alloc_array(total, sizeof *edgels->y);
    edgels->grad = alloc_array(total, sizeof *edgels->grad);
    edgels->row_start = alloc_array((size_t)dimy + 1, sizeof *edgels->row_start);
    if (!edgels->x || !edgels->y || !edgels->grad || !edgels->row_start) {
        return 0;
    }
    edgels->row_start[dimy] = edgels->n;
    return imaging_parallel(job.bands, store_band_edgels, &job);
}

int extract_edgel_positions(const void *bufferIn, bufferType typeIn, const int *bufferDims,
                            const int *borderLengths, const float *filterCoefs, recursiveFilterType filterType,
                            EdgelPositions *edgels, ModulusHistogram *hist, const char *function)
{
    memset(edgels, 0, sizeof *edgels);
    if (!gradient_arguments_valid(bufferIn, typeIn, bufferDims, filterCoefs, function)) {
        return 0;
    }
    GradientWorkspace workspace;
    if (!gradient_workspace_alloc(&workspace, (size_t)bufferDims[0] * (size_t)bufferDims[1],
                                  imaging_band_count(bufferDims[1], 8), (size_t)bufferDims[0])) {
        report_no_auxiliary_buffer(function);
        return 0;
    }
    int ok = slice_derivatives(bufferIn, typeIn, bufferDims, borderLengths, filterCoefs, filterType, 0,
                               workspace.gx, workspace.gy, function) &&
             find_edgels(&workspace, bufferDims[0], bufferDims[1], edgels, hist);
    gradient_workspace_release(&workspace);
    if (!ok) {
        free_edgel_positions(edgels);
    }
    return ok;
}

osl_edgel_chain *Extract_Gradient_Maxima_2D_edgels(const void *bufferIn, bufferType typeIn, double low, double high,
                                                   double *low_val, double *high_val, float *bufferOutNMS,
                                                   const int *bufferDims, const int *borderLengths,
                                                   const float *filterCoefs, recursiveFilterType filterType)
{
    ModulusHistogram hist;
    int ok;
    osl_edgel_chain *edgels = extract_edgels(bufferIn, typeIn, bufferOutNMS, bufferDims, borderLengths, filterCoefs,
                                             filterType, &hist, "Extract_Gradient_Maxima_2D_edgels", &ok);
    if (!ok) {
        return NULL;
    }
    printf("No. de bordes Remove_Gradient_NonMaxima_Slice_2D: %d \n", edgels ? (int)edgels->n : 0);
    thresholds_from_histogram(&hist, low, high, low_val, high_val);
    return edgels;
}

/* ------------------------------------------------------------------------
 * Hysteresis thresholds
 * ------------------------------------------------------------------------ */

/* Bands of pixels counted into histograms of their own, then summed. */
typedef struct {
    const float *grad_data;
    long num_pixels, bands;
    ModulusHistogram *band_counts;
} HistogramJob;

static int count_band_moduli(long band, void *job_ptr)
{
    const HistogramJob *job = job_ptr;
    long begin, end;
    imaging_band(job->num_pixels, job->bands, band, &begin, &end);
    long *counts = job->band_counts[band].cumulative;
    memset(counts, 0, sizeof job->band_counts[band].cumulative);
    count_moduli(job->grad_data + begin, end - begin, counts);
    return 1;
}

void modulus_histogram(const float *grad_data, long num_pixels, ModulusHistogram *hist)
{
    enum { MAX_BANDS = 64 };
    ModulusHistogram band_counts[MAX_BANDS];
    long bands = imaging_band_count(num_pixels, 1L << 16);
    HistogramJob job = { grad_data, num_pixels, bands < MAX_BANDS ? bands : MAX_BANDS, band_counts };
    imaging_parallel(job.bands, count_band_moduli, &job);
    memset(hist, 0, sizeof *hist);
    for (long b = 0; b < job.bands; b++) {
        for (int bin = 0; bin < 256; bin++) {
            hist->cumulative[bin] += band_counts[b].cumulative[bin];
        }
    }
    finish_histogram(hist);
}

void thresholds_from_histogram(const ModulusHistogram *hist, double low, double high, double *low_val,
                               double *high_val)
{
    long total = hist->cumulative[255];
    double share = (double)total * high + 0.5;
    long target = share >= (double)total + 1.0 ? total + 1 : (long)share;
    *low_val = 0.0;
    *high_val = 255.0;
    for (int bin = 1; bin < 256; bin++) {
        if (hist->cumulative[bin] >= target) {
            *high_val = bin - 1;
            *low_val = low * *high_val;
            return;
        }
    }
}

void calc_hysteresis_thresholds(const float *grad_data, long num_pixels, double low, double high, double *low_val,
                                double *high_val)
{
    ModulusHistogram hist;
    modulus_histogram(grad_data, num_pixels, &hist);
    thresholds_from_histogram(&hist, low, high, low_val, high_val);
}
