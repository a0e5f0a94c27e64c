/* Anisotropic Gaussian filtering of double buffers by recursive filters:
 * the Gaussian of standard deviations sigmav along direction phi and sigmau
 * across it is decomposed into a filter along x and one along a slanted
 * line (along y when the line is not slanted), each the third-order
 * recursive Gaussian of Young and van Vliet with Triggs and Sdika's
 * boundary initialisation. Buffers are sizey rows of sizex samples. */
#ifndef ANIGAUSS_H
#define ANIGAUSS_H

#ifdef __cplusplus
extern "C" {
#endif

/* Below this standard deviation the recursive approximation breaks down
 * (its pole parameter q turns negative near 0.42). */
#define ANIGAUSS_MIN_SIGMA 0.5

/* The 7 coefficients of one pass: filter[0..2] = a3, a2, a1 weigh the three
 * previous outputs of the forward pass, filter[3] is the input gain B, and
 * filter[4..6] = a1, a2, a3 weigh the three following outputs of the
 * backward pass; B = 1 - a1 - a2 - a3, so each pass keeps constants. */
void YvVfilterCoef(double sigma, double *filter);

/* The 3 x 3 matrix (row-major) that maps the forward pass's last three
 * outputs, less their steady state, to the backward pass's outputs at the
 * last sample and the two virtual samples after it, less theirs, as if the
 * line went on with its last value. */
void TriggsM(const double *filter, double *M);

/* Forward and backward passes along every row, every column, or every line
 * that moves tanp columns per row (sampled by linear interpolation between
 * columns). src and dest may not overlap. */
void f_iir_xline_filter(const double *src, double *dest, int sx, int sy, const double *filter);
void f_iir_yline_filter(const double *src, double *dest, int sx, int sy, const double *filter);
/* Returns 0 when its work buffer cannot be had. */
int f_iir_tline_filter(const double *src, double *dest, int sx, int sy, const double *filter, double tanp);

/* order times the first derivative along phi (radians): 0.5 cos(phi) times
 * the horizontal central difference plus 0.5 sin(phi) times the vertical
 * one, borders replicated. Returns 0 when its work buffer cannot be had. */
int f_iir_derivative_filter(const double *src, double *dest, int sx, int sy, double phi, int order);

/* Filters input into output (which may be the same buffer); phi in degrees.
 * Returns 0 on refused arguments or memory shortage. */
int anigauss(const double *input, double *output, int sizex, int sizey, double sigmav, double sigmau, double phi,
             int orderv, int orderu);

#ifdef __cplusplus
}
#endif

#endif
