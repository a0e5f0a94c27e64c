#include "anigauss.h"

#include "img_size.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

void YvVfilterCoef(double sigma, double *filter)
{
    const double m0 = 1.1668, m1 = 1.10783, m2 = 1.40586;
    double q = sigma < 3.556 ? 0.0561 * sigma * sigma + 0.5784 * sigma - 0.2568 : 0.9804 * (sigma - 3.556) + 2.5091;
    double q2 = q * q;
    double scale = (m0 + q) * (m1 * m1 + m2 * m2 + 2.0 * m1 * q + q2);
    double b1 = -q * (2.0 * m0 * m1 + m1 * m1 + m2 * m2 + (2.0 * m0 + 4.0 * m1) * q + 3.0 * q2) / scale;
    double b2 = q2 * (m0 + 2.0 * m1 + 3.0 * q) / scale;
    double b3 = -q2 * q / scale;
    double gain = m0 * (m1 * m1 + m2 * m2) / scale; /* = 1 + b1 + b2 + b3 */
    filter[0] = -b3;
    filter[1] = -b2;
    filter[2] = -b1;
    filter[3] = gain;
    filter[4] = -b1;
    filter[5] = -b2;
    filter[6] = -b3;
}

void TriggsM(const double *filter, double *M)
{
    double a1 = filter[2], a2 = filter[1], a3 = filter[0], gain = filter[3];
    /* The published matrix is for a backward pass of unit input weight;
     * ours weighs its input by the gain. */
    double s = gain / ((1.0 + a1 - a2 + a3) * (1.0 - a1 - a2 - a3) * (1.0 + a2 + (a1 - a3) * a3));
    M[0] = s * (-a3 * a1 + 1.0 - a3 * a3 - a2);
    M[1] = s * (a3 + a1) * (a2 + a3 * a1);
    M[2] = s * a3 * (a1 + a3 * a2);
    M[3] = s * (a1 + a3 * a2);
    M[4] = -s * (a2 - 1.0) * (a2 + a3 * a1);
    M[5] = -s * (a3 * a1 + a3 * a3 + a2 - 1.0) * a3;
    M[6] = s * (a3 * a1 + a2 + a1 * a1 - a2 * a2);
    M[7] = s * (a1 * a2 + a3 * a2 * a2 - a1 * a3 * a3 - a3 * a3 * a3 - a3 * a2 + a3);
    M[8] = s * a3 * (a1 + a3 * a2);
}

/* Filters one line of n samples, stride apart, from in into out (which may
 * be the same line). The forward pass starts from the steady state of the
 * first sample; the backward pass from Triggs and Sdika's state for a line
 * that continues with its last sample. */
static void filter_line(const double *in, double *out, int n, ptrdiff_t stride, const double *filter,
                        const double *M)
{
    const double a3 = filter[0], a2 = filter[1], a1 = filter[2], gain = filter[3];
    const double first = in[0], last = in[(ptrdiff_t)(n - 1) * stride];
    double y1 = first, y2 = first, y3 = first;
    for (int i = 0; i < n; i++) {
        double y = gain * in[(ptrdiff_t)i * stride] + a1 * y1 + a2 * y2 + a3 * y3;
        out[(ptrdiff_t)i * stride] = y;
        y3 = y2;
        y2 = y1;
        y1 = y;
    }
    /* Forward outputs before the line's start are its steady state. */
    double e0 = out[(ptrdiff_t)(n - 1) * stride] - last;
    double e1 = (n >= 2 ? out[(ptrdiff_t)(n - 2) * stride] : first) - last;
    double e2 = (n >= 3 ? out[(ptrdiff_t)(n - 3) * stride] : first) - last;
    double z1 = M[0] * e0 + M[1] * e1 + M[2] * e2 + last;
    double z2 = M[3] * e0 + M[4] * e1 + M[5] * e2 + last;
    double z3 = M[6] * e0 + M[7] * e1 + M[8] * e2 + last;
    out[(ptrdiff_t)(n - 1) * stride] = z1;
    for (int i = n - 2; i >= 0; i--) {
        double z = gain * out[(ptrdiff_t)i * stride] + a1 * z1 + a2 * z2 + a3 * z3;
        out[(ptrdiff_t)i * stride] = z;
        z3 = z2;
        z2 = z1;
        z1 = z;
    }
}

void f_iir_xline_filter(const double *src, double *dest, int sx, int sy, const double *filter)
{
    double M[9];
    TriggsM(filter, M);
    for (int y = 0; y < sy; y++) {
        filter_line(src + (ptrdiff_t)y * sx, dest + (ptrdiff_t)y * sx, sx, 1, filter, M);
    }
}

void f_iir_yline_filter(const double *src, double *dest, int sx, int sy, const double *filter)
{
    double M[9];
    TriggsM(filter, M);
    for (int x = 0; x < sx; x++) {
        filter_line(src + x, dest + x, sy, sx, filter, M);
    }
}

/* Value of a row at a fractional column, linearly interpolated, the row's
 * ends held beyond it. */
static double sample_row(const double *row, int sx, double pos)
{
    if (!(pos > 0.0)) return row[0];
    if (pos >= sx - 1) return row[sx - 1];
    int left = (int)pos;
    double frac = pos - left;
    return row[left] + frac * (row[left + 1] - row[left]);
}

/* The slanted lines are filtered as the columns of a sheared copy: row y of
 * the copy holds the source row y shifted by y * tanp columns, wide enough
 * that every source pixel lies on one of its columns; the filtered copy is
 * sheared back. */
int f_iir_tline_filter(const double *src, double *dest, int sx, int sy, const double *filter, double tanp)
{
    double reach = fabs(tanp) * (sy - 1);
    if (!(reach < (double)(1 << 24))) {
        return 0;
    }
    int extra = (int)ceil(reach) + 2;
    if (sx > INT_MAX - extra) {
        return 0;
    }
    int width = sx + extra;
    /* Column j of the copy at row y is source column j + offset + y * tanp. */
    double offset = tanp > 0.0 ? -ceil(reach) - 1.0 : -1.0;
    size_t count;
    if (!size_mul((size_t)width, (size_t)sy, &count)) {
        return 0;
    }
    double *sheared = alloc_array(count, sizeof *sheared);
    if (sheared == NULL) {
        return 0;
    }
    for (int y = 0; y < sy; y++) {
        for (int j = 0; j < width; j++) {
            sheared[(size_t)y * width + j] = sample_row(src + (ptrdiff_t)y * sx, sx, j + offset + y * tanp);
        }
    }
    f_iir_yline_filter(sheared, sheared, width, sy, filter);
    for (int y = 0; y < sy; y++) {
        for (int x = 0; x < sx; x++) {
            dest[(ptrdiff_t)y * sx + x] = sample_row(sheared + (size_t)y * width, width, x - offset - y * tanp);
        }
    }
    free(sheared);
    return 1;
}

int f_iir_derivative_filter(const double *src, double *dest, int sx, int sy, double phi, int order)
{
    size_t count;
    if (!size_mul((size_t)sx, (size_t)sy, &count)) {
        return 0;
    }
    double *work = alloc_array(count, sizeof *work);
    if (work == NULL) {
        return 0;
    }
    if (src != dest) {
        memcpy(dest, src, count * sizeof *dest);
    }
    double wx = 0.5 * cos(phi), wy = 0.5 * sin(phi);
    for (int k = 0; k < order; k++) {
        memcpy(work, dest, count * sizeof *work);
        for (int y = 0; y < sy; y++) {
            const double *row = work + (size_t)y * sx;
            const double *up = work + (size_t)(y > 0 ? y - 1 : y) * sx;
            const double *down = work + (size_t)(y < sy - 1 ? y + 1 : y) * sx;
            for (int x = 0; x < sx; x++) {
                double dx = row[x < sx - 1 ? x + 1 : x] - row[x > 0 ? x - 1 : x];
                double dy = down[x] - up[x];
                dest[(size_t)y * sx + x] = wx * dx + wy * dy;
            }
        }
    }
    free(work);
    return 1;
}

int anigauss(const double *input, double *output, int sizex, int sizey, double sigmav, double sigmau, double phi,
             int orderv, int orderu)
{
    if (input == NULL || output == NULL || sizex < 1 || sizey < 1 || orderv < 0 || orderu < 0 ||
        !(sigmav >= ANIGAUSS_MIN_SIGMA) || !(sigmau >= ANIGAUSS_MIN_SIGMA)) {
        return 0;
    }
    double angle = phi * M_PI / 180.0;
    double c = cos(angle), s = sin(angle);
    double vv = sigmav * sigmav, uu = sigmau * sigmau;
    /* Covariance of the filter in (x, y); a Gaussian along x of variance
     * a11 - a12^2 / a22 followed by one of variance a22 along the line that
     * moves a12 / a22 columns per row has the same covariance. */
    double a11 = c * c * vv + s * s * uu;
    double a12 = c * s * (vv - uu);
    double a22 = s * s * vv + c * c * uu;
    double tanp = a12 / a22;
    /* Both variances lie between sigmau^2 and sigmav^2. */
    double sigma_x = sqrt(a11 - a12 * tanp);
    double sigma_line = sqrt(a22);
    double filter_x[7], filter_line_coefs[7];
    YvVfilterCoef(sigma_x, filter_x);
    YvVfilterCoef(sigma_line, filter_line_coefs);
    size_t count;
    if (!size_mul((size_t)sizex, (size_t)sizey, &count)) {
        return 0;
    }
    double *tmp = alloc_array(count, sizeof *tmp);
    if (tmp == NULL) {
        return 0;
    }
    f_iir_xline_filter(input, tmp, sizex, sizey, filter_x);
    int ok = 1;
    /* A slope below rounding noise (phi a multiple of 90 degrees computed in
     * floating point) is a plain column. */
    if (fabs(tanp) < 1e-12) {
        f_iir_yline_filter(tmp, output, sizex, sizey, filter_line_coefs);
    } else {
        ok = f_iir_tline_filter(tmp, output, sizex, sizey, filter_line_coefs, tanp);
    }
    free(tmp);
    if (ok && orderv > 0) {
        ok = f_iir_derivative_filter(output, output, sizex, sizey, angle - M_PI / 2.0, orderv);
    }
    if (ok && orderu > 0) {
        ok = f_iir_derivative_filter(output, output, sizex, sizey, angle, orderu);
    }
    return ok;
}
