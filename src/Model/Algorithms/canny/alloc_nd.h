/* Iliffe arrays: n-dimensional arrays held in one contiguous data block with
 * dim_count - 1 levels of pointer tables over it, so that repeated indexing
 * reaches any element without multiplications. */
#ifndef ALLOC_ND_H
#define ALLOC_ND_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* dim_count int dimensions follow. One dimension gives an uninitialised block;
 * more give pointer tables over a zeroed block. Null for elem_size 0,
 * dim_count < 1, a dimension below 1, a size that overflows, or memory
 * shortage (everything allocated so far is then released). */
void *alloc_nd(size_t elem_size, int dim_count, ...);

/* Releases an array made by alloc_nd with the same dim_count. */
void free_nd(void *base_ptr, int dim_count);

#ifdef __cplusplus
}
#endif

#endif
