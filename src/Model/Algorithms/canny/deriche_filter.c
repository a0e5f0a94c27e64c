#include "deriche_filter.h"

#include "img_parallel.h"
#include "img_size.h"

#include <complex.h>
#include <limits.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Diagnostics of the coefficient and buffer stages are printed only above
 * this level, which the programs never raise. */
static const int verbose_level = 0;

/* ------------------------------------------------------------------------
 * Sample conversion
 * ------------------------------------------------------------------------ */

static double round_half_away(double v) { return v < 0.0 ? trunc(v - 0.5) : trunc(v + 0.5); }

static double clamp_round_unsigned(double v, double top)
{
    if (v < 0.0) return 0.0;
    if (v >= top) return top;
    return trunc(v + 0.5);
}

static double clamp_round_signed(double v, double bottom, double top)
{
    if (v <= bottom) return bottom;
    if (v >= top) return top;
    return round_half_away(v);
}

/* Reals truncated toward zero; values beyond int are held at its ends. */
static double clamp_trunc_int(double v)
{
    if (v <= (double)INT_MIN) return (double)INT_MIN;
    if (v >= (double)INT_MAX) return (double)INT_MAX;
    return trunc(v);
}

#define CONVERT_LOOP(in_t, out_t, rule)                                                                      \
    do {                                                                                                     \
        const in_t *src = bufferIn;                                                                          \
        out_t *dst = bufferOut;                                                                              \
        for (long k = 0; k < bufferLength; k++) {                                                            \
            double v = (double)src[k];                                                                       \
            (void)v;                                                                                         \
            dst[k] = (out_t)(rule);                                                                          \
        }                                                                                                    \
    } while (0)

/* Value conversion from any integer or real input type into out_t. */
#define CONVERT_ANY(out_t)                                                                                   \
    switch (typeIn) {                                                                                        \
    case UCHAR: CONVERT_LOOP(unsigned char, out_t, src[k]); return 1;                                       \
    case SCHAR: CONVERT_LOOP(signed char, out_t, src[k]); return 1;                                         \
    case USHORT: CONVERT_LOOP(unsigned short, out_t, src[k]); return 1;                                     \
    case SSHORT: CONVERT_LOOP(short, out_t, src[k]); return 1;                                              \
    case INT: CONVERT_LOOP(int, out_t, src[k]); return 1;                                                   \
    case FLOAT: CONVERT_LOOP(float, out_t, src[k]); return 1;                                               \
    case DOUBLE: CONVERT_LOOP(double, out_t, src[k]); return 1;                                             \
    default: return 0;                                                                                       \
    }

/* 1 when the pair is supported and converted, 0 when it is not. */
static int convert_pair(const void *bufferIn, bufferType typeIn, void *bufferOut, bufferType typeOut,
                        long bufferLength)
{
    switch (typeOut) {
    case UCHAR:
        switch (typeIn) {
        case UCHAR: CONVERT_LOOP(unsigned char, unsigned char, src[k]); return 1;
        case USHORT: CONVERT_LOOP(unsigned short, unsigned char, src[k] > 255 ? 255 : src[k]); return 1;
        case FLOAT: CONVERT_LOOP(float, unsigned char, clamp_round_unsigned(v, 255.0)); return 1;
        case DOUBLE: CONVERT_LOOP(double, unsigned char, clamp_round_unsigned(v, 255.0)); return 1;
        default: return 0;
        }
    case SCHAR:
        switch (typeIn) {
        case SCHAR: CONVERT_LOOP(signed char, signed char, src[k]); return 1;
        case FLOAT: CONVERT_LOOP(float, signed char, clamp_round_signed(v, -128.0, 127.0)); return 1;
        case DOUBLE: CONVERT_LOOP(double, signed char, clamp_round_signed(v, -128.0, 127.0)); return 1;
        default: return 0;
        }
    case USHORT:
        switch (typeIn) {
        case USHORT: CONVERT_LOOP(unsigned short, unsigned short, src[k]); return 1;
        case FLOAT: CONVERT_LOOP(float, unsigned short, clamp_round_unsigned(v, 65535.0)); return 1;
        case DOUBLE: CONVERT_LOOP(double, unsigned short, clamp_round_unsigned(v, 65535.0)); return 1;
        default: return 0;
        }
    case SSHORT:
        switch (typeIn) {
        case USHORT: CONVERT_LOOP(unsigned short, short, src[k] > 32767 ? 32767 : src[k]); return 1;
        case SSHORT: CONVERT_LOOP(short, short, src[k]); return 1;
        case FLOAT: CONVERT_LOOP(float, short, clamp_round_signed(v, -32768.0, 32767.0)); return 1;
        case DOUBLE: CONVERT_LOOP(double, short, clamp_round_signed(v, -32768.0, 32767.0)); return 1;
        default: return 0;
        }
    case INT:
        switch (typeIn) {
        case INT: CONVERT_LOOP(int, int, src[k]); return 1;
        case FLOAT: CONVERT_LOOP(float, int, clamp_trunc_int(v)); return 1;
        case DOUBLE: CONVERT_LOOP(double, int, clamp_trunc_int(v)); return 1;
        default: return 0;
        }
    case FLOAT: CONVERT_ANY(float)
    case DOUBLE: CONVERT_ANY(double)
    default: return -1;
    }
}

void ConvertBuffer(const void *bufferIn, bufferType typeIn, void *bufferOut, bufferType typeOut, long bufferLength)
{
    const char *function = "ConvertBuffer";
    if (typeIn == typeOut && bufferIn == bufferOut) {
        return;
    }
    if (bufferIn == NULL || bufferOut == NULL) {
        fprintf(stderr, " Fatal error in %s: NULL buffer(s).\n", function);
        return;
    }
    if (bufferLength <= 0) {
        fprintf(stderr, " Fatal error in %s: buffer length is negative or zero.\n", function);
        return;
    }
    int converted = convert_pair(bufferIn, typeIn, bufferOut, typeOut, bufferLength);
    if (converted < 0) {
        fprintf(stderr, " Error in %s: such output type not yet handled.\n", function);
    } else if (converted == 0) {
        fprintf(stderr, " Error in %s: such conversion not yet implemented.\n", function);
    }
}

/* ------------------------------------------------------------------------
 * Coefficients
 * ------------------------------------------------------------------------ */

/* One recursion: causal numerator sp, anti-causal numerator sn and the
 * denominator sd shared by both passes, with the filter and derivative they
 * were made for (UNKNOWN_FILTER and NODERIVATIVE while unset). */
typedef struct {
    double sp0, sp1, sp2, sp3;
    double sn0, sn1, sn2, sn3, sn4;
    double sd1, sd2, sd3, sd4;
    recursiveFilterType type;
    derivativeOrder derivative;
} Coefficients;

/* The coefficients InitRecursiveCoefficients sets for RecursiveFilter1D.
 * Each thread has its own, so filtering on one thread never sees another's;
 * buffer filtering keeps its coefficients in its own call instead. */
static _Thread_local Coefficients line_coefs = { .type = UNKNOWN_FILTER, .derivative = NODERIVATIVE };

/* Deriche's fourth-order fits of the Gaussian and its derivatives:
 * a0, omega0, a1, b0, c0, omega1, c1, b1 per order. */
typedef struct {
    double a0, w0, a1, b0, c0, w1, c1, b1;
} GaussianFit;

static const GaussianFit fit_smoothing = { 1.68, 0.6318, 3.735, 1.783, -0.6803, 1.997, -0.2598, 1.723 };
static const GaussianFit fit_derivative_1 = { -0.6472, 0.6719, -4.531, 1.527, 0.6494, 2.072, 0.9557, 1.516 };
static const GaussianFit fit_derivative_2 = { -1.331, 0.748, 3.661, 1.24, 0.3225, 2.166, -1.738, 1.314 };

/* Closed-form normalisation of one damped cosine/sine term
 * (amplitudes a, b; frequency w; decay d, already scaled by sigma). */
static double term_normalisation(derivativeOrder order, double a, double b, double w, double d)
{
    double co = cos(w), si = sin(w);
    double e1 = exp(d), e2 = exp(2 * d), e3 = exp(3 * d), e4 = exp(4 * d);
    switch (order) {
    case DERIVATIVE_1_EDGES:
        return (b * e1 * (1 - co * co) + a * co * si * e1 - a * si) / ((2 * co * e1 - e2 - 1) * si);
    case DERIVATIVE_1:
        return -2 * e1 * (a * co * e2 - 2 * a * e1 + b * si * e2 + a * co - b * si) /
               (e4 - 4 * co * e3 + 4 * co * co * e2 + 2 * e2 - 4 * co * e1 + 1);
    case DERIVATIVE_2: {
        /* sum over n >= 1 of n^2 (a cos(wn) + b sin(wn)) exp(-dn), from
         * sum n^2 z^n = z (1 + z) / (1 - z)^3 with z = exp(-d + iw) */
        double complex z = cexp(-d + I * w);
        double complex s = z * (1 + z) / ((1 - z) * (1 - z) * (1 - z));
        return a * creal(s) + b * cimag(s);
    }
    default:
        return (2 * b * e1 * co * co - a * si * e2 + a * si - 2 * b * e1) / ((2 * co * e1 - e2 - 1) * si);
    }
}

static int init_gaussian(Coefficients *out, double sigma, derivativeOrder *order, const char *function)
{
    if (sigma < 0.1) {
        if (verbose_level > 0) {
            fprintf(stderr, "%s: improper value of coefficient (should be >= 0.1).\n", function);
        }
        return 0;
    }
    GaussianFit f;
    switch (*order) {
    case SMOOTHING: f = fit_smoothing; break;
    case DERIVATIVE_1:
    case DERIVATIVE_1_EDGES: f = fit_derivative_1; break;
    case DERIVATIVE_2: f = fit_derivative_2; break;
    default:
        if (verbose_level > 0) {
            fprintf(stderr, "%s: switch to default coefficients (smoothing).\n", function);
        }
        *order = SMOOTHING;
        f = fit_smoothing;
    }
    f.w0 /= sigma;
    f.w1 /= sigma;
    f.b0 /= sigma;
    f.b1 /= sigma;
    double norm = term_normalisation(*order, f.a0, f.a1, f.w0, f.b0) +
                  term_normalisation(*order, f.c0, f.c1, f.w1, f.b1);
    f.a0 /= norm;
    f.a1 /= norm;
    f.c0 /= norm;
    f.c1 /= norm;

    double co0 = cos(f.w0), si0 = sin(f.w0), co1 = cos(f.w1), si1 = sin(f.w1);
    Coefficients c = { 0 };
    c.sp0 = f.a0 + f.c0;
    c.sp1 = exp(-f.b1) * (f.c1 * si1 - (f.c0 + 2 * f.a0) * co1) + exp(-f.b0) * (f.a1 * si0 - (2 * f.c0 + f.a0) * co0);
    c.sp2 = 2 * exp(-f.b0 - f.b1) * ((f.a0 + f.c0) * co1 * co0 - co1 * f.a1 * si0 - co0 * f.c1 * si1) +
            f.c0 * exp(-2 * f.b0) + f.a0 * exp(-2 * f.b1);
    c.sp3 = exp(-f.b1 - 2 * f.b0) * (f.c1 * si1 - f.c0 * co1) + exp(-f.b0 - 2 * f.b1) * (f.a1 * si0 - f.a0 * co0);
    c.sd1 = -2 * co1 * exp(-f.b1) - 2 * co0 * exp(-f.b0);
    c.sd2 = 4 * co1 * co0 * exp(-f.b0 - f.b1) + exp(-2 * f.b1) + exp(-2 * f.b0);
    c.sd3 = -2 * co0 * exp(-f.b0 - 2 * f.b1) - 2 * co1 * exp(-f.b1 - 2 * f.b0);
    c.sd4 = exp(-2 * f.b0 - 2 * f.b1);
    if (*order == SMOOTHING || *order == DERIVATIVE_2) {
        c.sn1 = c.sp1 - c.sp0 * c.sd1;
        c.sn2 = c.sp2 - c.sp0 * c.sd2;
        c.sn3 = c.sp3 - c.sp0 * c.sd3;
        c.sn4 = -c.sp0 * c.sd4;
    } else {
        c.sn1 = c.sp0 * c.sd1 - c.sp1;
        c.sn2 = c.sp0 * c.sd2 - c.sp2;
        c.sn3 = c.sp0 * c.sd3 - c.sp3;
        c.sn4 = c.sp0 * c.sd4;
    }
    *out = c;
    return 1;
}

static int init_alpha(Coefficients *out, double alpha, derivativeOrder *order, const char *function)
{
    if (alpha < 0.1 || alpha > 1.9) {
        if (verbose_level > 0) {
            fprintf(stderr, "%s: improper value of coefficient (should be >= 0.1 and <= 1.9).\n", function);
        }
        return 0;
    }
    double e = exp(-alpha);
    Coefficients c = { 0 };
    c.sd1 = -2 * e;
    c.sd2 = e * e;
    switch (*order) {
    case DERIVATIVE_1:
        c.sp1 = -(1 - e) * (1 - e) * (1 - e) / (2 * (1 + e));
        c.sn1 = -c.sp1;
        break;
    case DERIVATIVE_1_EDGES:
        c.sp1 = -(1 - e) * (1 - e);
        c.sn1 = (1 - e) * (1 - e);
        break;
    case DERIVATIVE_2: {
        double k = (1 - e * e) / (2 * e);
        double a = -2 * (1 - e) * (1 - e) * (1 - e) / ((1 + e) * (1 + e) * (1 + e));
        c.sp0 = a;
        c.sp1 = -a * e * (1 + k);
        c.sn1 = a * e * (1 - k);
        c.sn2 = -a * e * e;
        break;
    }
    case DERIVATIVE_3: {
        double q = (1 + alpha) * e + alpha - 1;
        double g = q * pow(1 - e, 4) / (2 * alpha * alpha * e * e * (1 + e));
        double r = (1 - e) / q;
        c.sp0 = g * alpha * (1 + r);
        c.sp1 = -g * alpha * e * (1 + (1 + alpha) * r);
        c.sn0 = -c.sp0;
        c.sn1 = -c.sp1;
        break;
    }
    default:
        if (*order != SMOOTHING && verbose_level > 0) {
            fprintf(stderr, "%s: switch to default coefficients (smoothing).\n", function);
        }
        *order = SMOOTHING;
        double k = (1 - e) * (1 - e) / (1 + 2 * alpha * e - e * e);
        c.sp0 = k;
        c.sp1 = k * e * (alpha - 1);
        c.sn1 = k * e * (alpha + 1);
        c.sn2 = -k * e * e;
    }
    *out = c;
    return 1;
}

/* Makes *c the recursion of parameter x; a rejected value leaves it unset. */
static void init_coefficients(Coefficients *c, double x, recursiveFilterType type_filter,
                              derivativeOrder derivative)
{
    const char *function = "InitRecursiveCoefficients";
    memset(c, 0, sizeof *c);
    c->type = UNKNOWN_FILTER;
    c->derivative = NODERIVATIVE;
    if (type_filter != ALPHA_DERICHE && type_filter != GAUSSIAN_DERICHE) {
        if (verbose_level > 0) {
            fprintf(stderr, "%s: switch to default recursive filter (Deriche's filters).\n", function);
        }
        type_filter = ALPHA_DERICHE;
    }
    int ok = type_filter == GAUSSIAN_DERICHE ? init_gaussian(c, x, &derivative, function)
                                             : init_alpha(c, x, &derivative, function);
    if (ok) {
        c->type = type_filter;
        c->derivative = derivative;
    }
}

void InitRecursiveCoefficients(double x, recursiveFilterType type_filter, derivativeOrder derivative)
{
    init_coefficients(&line_coefs, x, type_filter, derivative);
}

/* ------------------------------------------------------------------------
 * Line filtering
 *
 * Lines are processed LANES at a time, interleaved (sample i of lane k at
 * [i * LANES + k]), so that the recursion runs over independent lines side
 * by side; every lane performs exactly the operations of a single line, so
 * results do not depend on the grouping. Each line array carries PAD zero
 * samples at both ends: they stand for the samples outside the line, which
 * the recursion counts as 0.
 * ------------------------------------------------------------------------ */

enum { PAD = 4, LANES = 8 };

static inline void causal_pass(const double *restrict x, double *restrict y, long len, int lanes, const Coefficients *c)
{
    for (long i = 0; i < len * lanes; i += lanes) {
        for (int k = 0; k < lanes; k++) {
            long j = i + k;
            y[j] = c->sp0 * x[j] + c->sp1 * x[j - lanes] + c->sp2 * x[j - 2 * lanes] + c->sp3 * x[j - 3 * lanes] -
                   c->sd1 * y[j - lanes] - c->sd2 * y[j - 2 * lanes] - c->sd3 * y[j - 3 * lanes] -
                   c->sd4 * y[j - 4 * lanes];
        }
    }
}

static inline void anticausal_pass(const double *restrict x, double *restrict y, long len, int lanes, const Coefficients *c)
{
    for (long i = (len - 1) * lanes; i >= 0; i -= lanes) {
        for (int k = 0; k < lanes; k++) {
            long j = i + k;
            y[j] = c->sn0 * x[j] + c->sn1 * x[j + lanes] + c->sn2 * x[j + 2 * lanes] + c->sn3 * x[j + 3 * lanes] +
                   c->sn4 * x[j + 4 * lanes] - c->sd1 * y[j + lanes] - c->sd2 * y[j + 2 * lanes] -
                   c->sd3 * y[j + 3 * lanes] - c->sd4 * y[j + 4 * lanes];
        }
    }
}

static int have_coefficients(const Coefficients *c, const char *function)
{
    if (c->type == UNKNOWN_FILTER) {
        if (verbose_level > 0) {
            fprintf(stderr, "%s: unknown type of recursive filter.\n", function);
        }
        return 0;
    }
    if (c->derivative == NODERIVATIVE) {
        if (verbose_level > 0) {
            fprintf(stderr, "%s: unknown type of derivative.\n", function);
        }
        return 0;
    }
    return 1;
}

/* Three zero-padded line arrays for `lanes` interleaved lines of len. */
typedef struct {
    double *block;
    double *in, *causal, *anticausal;
} LineArrays;

static int alloc_line_arrays(LineArrays *lines, long len, int lanes)
{
    size_t stride;
    if (!size_mul((size_t)len + 2 * PAD, (size_t)lanes, &stride) || stride > SIZE_MAX / 3) {
        return 0;
    }
    lines->block = calloc(3 * stride, sizeof(double));
    if (lines->block == NULL) {
        return 0;
    }
    lines->in = lines->block + PAD * lanes;
    lines->causal = lines->in + stride;
    lines->anticausal = lines->causal + stride;
    return 1;
}

int RecursiveFilter1D(const double *in, double *out, double *work1, double *work2, int dim)
{
    if (!have_coefficients(&line_coefs, "RecursiveFilter1D") || dim < 1) {
        return 0;
    }
    LineArrays lines;
    if (!alloc_line_arrays(&lines, dim, 1)) {
        return 0;
    }
    memcpy(lines.in, in, (size_t)dim * sizeof *in);
    causal_pass(lines.in, lines.causal, dim, 1, &line_coefs);
    anticausal_pass(lines.in, lines.anticausal, dim, 1, &line_coefs);
    memcpy(work1, lines.causal, (size_t)dim * sizeof *work1);
    memcpy(work2, lines.anticausal, (size_t)dim * sizeof *work2);
    for (int i = 0; i < dim; i++) {
        out[i] = work1[i] + work2[i];
    }
    free(lines.block);
    return 1;
}

/* ------------------------------------------------------------------------
 * Buffer filtering
 * ------------------------------------------------------------------------ */

/* Where the lines of one axis lie in a buffer: line l, sample i is element
 * origin(l) + i * sample_stride. Lines along x are rows; along y, columns
 * (neighbouring lines adjacent in memory); along z, pixel stacks. */
typedef struct {
    long length;        /* samples per line */
    long count;         /* number of lines */
    size_t sample_stride;
    long lines_per_plane; /* lines of one slice (x: dimy, y: dimx, z: dimx dimy) */
    size_t line_stride;   /* between neighbouring lines of one slice */
    size_t plane_stride;  /* between slices */
} AxisLayout;

static size_t line_origin(const AxisLayout *a, long l)
{
    return (size_t)(l / a->lines_per_plane) * a->plane_stride + (size_t)(l % a->lines_per_plane) * a->line_stride;
}

/* Loads `lanes` lines from l0 into the interleaved array with border
 * replicated samples before and after each; lanes past the last line repeat
 * it. scatter writes back the central results of the lanes that are lines. */
#define GATHER(sample_t)                                                                                     \
    static void gather_##sample_t(const sample_t *buf, const AxisLayout *a, long l0, long border, double *dst) \
    {                                                                                                        \
        const sample_t *src[LANES];                                                                          \
        for (int k = 0; k < LANES; k++) {                                                                    \
            src[k] = buf + line_origin(a, l0 + k < a->count ? l0 + k : a->count - 1);                        \
        }                                                                                                    \
        size_t last = (size_t)(a->length - 1) * a->sample_stride;                                            \
        for (long i = 0; i < border; i++) {                                                                  \
            for (int k = 0; k < LANES; k++) {                                                                \
                dst[i * LANES + k] = src[k][0];                                                              \
                dst[(border + a->length + i) * LANES + k] = src[k][last];                                    \
            }                                                                                                \
        }                                                                                                    \
        double *d = dst + border * LANES;                                                                    \
        for (long i = 0; i < a->length; i++) {                                                               \
            size_t offset = (size_t)i * a->sample_stride;                                                    \
            for (int k = 0; k < LANES; k++) {                                                                \
                d[i * LANES + k] = src[k][offset];                                                           \
            }                                                                                                \
        }                                                                                                    \
    }
#define SCATTER(sample_t)                                                                                    \
    static void scatter_##sample_t(sample_t *buf, const AxisLayout *a, long l0, long border,                  \
                                   const double *causal, const double *anticausal)                           \
    {                                                                                                        \
        int lanes = a->count - l0 < LANES ? (int)(a->count - l0) : LANES;                                    \
        sample_t *dst[LANES];                                                                                \
        for (int k = 0; k < lanes; k++) {                                                                    \
            dst[k] = buf + line_origin(a, l0 + k);                                                           \
        }                                                                                                    \
        const double *p = causal + border * LANES;                                                           \
        const double *n = anticausal + border * LANES;                                                       \
        for (long i = 0; i < a->length; i++) {                                                               \
            size_t offset = (size_t)i * a->sample_stride;                                                    \
            for (int k = 0; k < lanes; k++) {                                                                \
                dst[k][offset] = (sample_t)(p[i * LANES + k] + n[i * LANES + k]);                            \
            }                                                                                                \
        }                                                                                                    \
    }

typedef unsigned char uchar;

GATHER(uchar)
GATHER(float)
GATHER(double)
SCATTER(float)
SCATTER(double)

/* One axis of the working buffer to filter, shared by the bands of its
 * lines: the lines are read from source (the working buffer itself, or the
 * input for the first axis filtered) and written to the working buffer. */
typedef struct {
    const void *source;
    bufferType source_type;
    void *work;
    bufferType type;
    const AxisLayout *axis;
    long border;
    const Coefficients *coefs;
    long groups; /* groups of LANES lines */
    long bands;
} AxisJob;

/* Filters the line groups of one band, with line arrays of its own. */
static int filter_axis_band(long band, void *job_ptr)
{
    const AxisJob *job = job_ptr;
    const AxisLayout *a = job->axis;
    long len = a->length + 2 * job->border;
    LineArrays lines;
    if (!alloc_line_arrays(&lines, len, LANES)) {
        return 0;
    }
    long first, end;
    imaging_band(job->groups, job->bands, band, &first, &end);
    for (long l0 = first * LANES; l0 < end * LANES && l0 < a->count; l0 += LANES) {
        switch (job->source_type) {
        case UCHAR: gather_uchar(job->source, a, l0, job->border, lines.in); break;
        case FLOAT: gather_float(job->source, a, l0, job->border, lines.in); break;
        default: gather_double(job->source, a, l0, job->border, lines.in); break;
        }
        causal_pass(lines.in, lines.causal, len, LANES, job->coefs);
        anticausal_pass(lines.in, lines.anticausal, len, LANES, job->coefs);
        if (job->type == FLOAT) {
            scatter_float(job->work, a, l0, job->border, lines.causal, lines.anticausal);
        } else {
            scatter_double(job->work, a, l0, job->border, lines.causal, lines.anticausal);
        }
    }
    free(lines.block);
    return 1;
}

/* Filters every line of one axis from source into the working buffer; the
 * lines are independent, so bands of them run in parallel. 0 when memory
 * for the line arrays runs out. */
static int filter_axis(const void *source, bufferType source_type, void *work, bufferType type,
                       const AxisLayout *a, long border, const Coefficients *coefs)
{
    long groups = (a->count + LANES - 1) / LANES;
    /* A band of a few dozen line groups amortises its line arrays. */
    AxisJob job = { source, source_type, work, type, a, border, coefs, groups, imaging_band_count(groups, 16) };
    return imaging_parallel(job.bands, filter_axis_band, &job);
}

/* Whether an axis of dim samples is filtered with this derivative and
 * parameter. */
static int axis_filtered(long dim, derivativeOrder derivative, float coef)
{
    return dim >= 5 && derivative != NODERIVATIVE && coef > 0.0f;
}

/* Whether every sample of type `in` is a value of the working type `work`,
 * so that filtering may read it without a conversion in between. */
static int converts_exactly(bufferType in, bufferType work)
{
    return in == UCHAR || in == work || (in == FLOAT && work == DOUBLE);
}

int RecursiveFilterOnBuffer(const void *bufferIn, bufferType typeIn, void *bufferOut, bufferType typeOut,
                            const int *bufferDims, const int *borderLengths, const derivativeOrder *derivatives,
                            const float *filterCoefs, recursiveFilterType filterType)
{
    const char *function = "RecursiveFilterOnBuffer";
    static const char *const axis_names[3] = { "X", "Y", "Z" };
    static const char *const line_failures[3] = {
        " Error in %s: unable to process X line (y=%d,z=%d).\n",
        " Error in %s: unable to process Y line (x=%d,z=%d).\n",
        " Error in %s: unable to process Z line (x=%d,y=%d).\n",
    };
    long dims[3] = { bufferDims[0], bufferDims[1], bufferDims[2] };
    if (dims[0] < 1 || dims[1] < 1 || dims[2] < 1) {
        if (verbose_level > 0) {
            fprintf(stderr, " Fatal error in %s: improper buffer's dimension.\n", function);
        }
        return 0;
    }
    if (bufferIn == NULL || bufferOut == NULL) {
        if (verbose_level > 0) {
            fprintf(stderr, " Fatal error in %s: NULL pointer on buffer.\n", function);
        }
        return 0;
    }
    size_t num_samples;
    if (!size_mul((size_t)dims[0], (size_t)dims[1], &num_samples) ||
        !size_mul(num_samples, (size_t)dims[2], &num_samples) || num_samples > LONG_MAX) {
        return 0;
    }

    /* The working buffer is the output itself when it holds reals. */
    bufferType work_type = (typeOut == FLOAT || typeOut == DOUBLE) ? typeOut : FLOAT;
    void *work = work_type == typeOut ? bufferOut : alloc_array(num_samples, sizeof(float));
    if (work == NULL) {
        if (verbose_level > 0) {
            fprintf(stderr, " Fatal error in %s: unable to allocate auxiliary buffer.\n", function);
        }
        return 0;
    }
    /* Everything is filtered in the working buffer. The first axis filtered
     * reads its lines straight from the input when the input's samples are
     * exactly those the working type would hold; otherwise the input is
     * first brought into the working buffer. */
    int first_axis = 0;
    while (first_axis < 3 && !axis_filtered(dims[first_axis], derivatives[first_axis], filterCoefs[first_axis])) {
        first_axis++;
    }
    const void *source = work;
    bufferType source_type = work_type;
    if (first_axis < 3 && converts_exactly(typeIn, work_type)) {
        source = bufferIn;
        source_type = typeIn;
    } else {
        ConvertBuffer(bufferIn, typeIn, work, work_type, (long)num_samples);
    }

    long borders[3] = { 0, 0, 0 };
    for (int d = 0; d < 3; d++) {
        if (borderLengths != NULL && borderLengths[d] > 0) {
            borders[d] = borderLengths[d];
        }
    }

    size_t plane = (size_t)dims[0] * (size_t)dims[1];
    const AxisLayout layouts[3] = {
        { dims[0], dims[1] * dims[2], 1, dims[1], (size_t)dims[0], plane },
        { dims[1], dims[0] * dims[2], (size_t)dims[0], dims[0], 1, plane },
        { dims[2], (long)plane, plane, (long)plane, 1, 0 },
    };
    int ok = 1;
    for (int d = 0; d < 3 && ok; d++) {
        if (!axis_filtered(dims[d], derivatives[d], filterCoefs[d])) {
            continue;
        }
        if (verbose_level > 0) {
            fprintf(stderr, " %s: processing along %s.\n", function, axis_names[d]);
        }
        Coefficients coefs;
        init_coefficients(&coefs, filterCoefs[d], filterType, derivatives[d]);
        if (!have_coefficients(&coefs, function)) {
            if (verbose_level > 0) {
                /* The first line of the axis is the one that fails. */
                fprintf(stderr, line_failures[d], function, 0, 0);
            }
            ok = 0;
            break;
        }
        if (!filter_axis(source, source_type, work, work_type, &layouts[d], borders[d], &coefs)) {
            if (verbose_level > 0) {
                fprintf(stderr, " Fatal error in %s: unable to allocate auxiliary work arrays.\n", function);
            }
            ok = 0;
        }
        source = work;
        source_type = work_type;
    }
    if (ok) {
        ConvertBuffer(work, work_type, bufferOut, typeOut, (long)num_samples);
    }
    if (work != bufferOut) {
        free(work);
    }
    return ok;
}
