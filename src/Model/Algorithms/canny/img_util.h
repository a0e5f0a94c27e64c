/* Small numeric utilities: processor timers, the sampled Gaussian mask and
 * order statistics of int arrays. */
#ifndef IMG_UTIL_H
#define IMG_UTIL_H

#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

clock_t start_timer(void);
/* Processor seconds since start_time. */
double stop_timer(clock_t start_time);

/* A new array of 2 ceil(3 sigma) + 1 Gaussian weights summing to 1, centred
 * on the middle element; its size is stored through mask_size. Null for
 * sigma not above machine epsilon or a mask too large to allocate. */
double *gauss_1d(double sigma, int *mask_size);

/* The k-th smallest (0-based) of num_elems ints; reorders data. */
int select_kth_smallest(int num_elems, int k, int *data);
/* The lower median: select_kth_smallest with k = (num_elems - 1) / 2. */
int find_median(int num_elems, int *data);
/* Sorts ascending in place. */
void sort_int(int num_elems, int *data);

#ifdef __cplusplus
}
#endif

#endif
