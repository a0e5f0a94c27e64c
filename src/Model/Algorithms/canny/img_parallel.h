/* Work sharing of the imaging library: the pixel stages of a search split
 * their rows or lines into bands and run the bands on worker threads. The
 * bands are independent and every band computes exactly what one thread
 * would, so results do not depend on the number of threads. */
#ifndef IMG_PARALLEL_H
#define IMG_PARALLEL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Threads a stage may use: 0 (the default) means one per processor the
 * process may run on.
 * Settable at any time; stages already running keep the count they began
 * with. */
void imaging_set_threads(int threads);
/* The number of threads a stage started now would use (at least 1). */
int imaging_threads(void);
/* The processors the process may run on (its affinity mask), at least 1. */
int imaging_usable_cpus(void);

/* Runs run(task, arg) for every task in [0, tasks) on up to
 * imaging_threads() threads, the calling thread included. Returns 1 when
 * every call returned non-zero, 0 otherwise (all tasks are still run, so
 * each can release what it holds). Should a worker thread not start, the
 * others take its tasks. */
int imaging_parallel(long tasks, int (*run)(long task, void *arg), void *arg);

/* A number of bands for `units` rows or lines, each of at least
 * min_units (one band when units are few), enough to keep every thread
 * busy when bands take unequal time. */
long imaging_band_count(long units, long min_units);
/* Rows or lines [*begin, *end) of band `band` out of `bands` over units. */
void imaging_band(long units, long bands, long band, long *begin, long *end);

#ifdef __cplusplus
}
#endif

#endif
