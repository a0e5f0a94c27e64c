/* Overflow-checked size arithmetic used wherever the library sizes a block
 * from image dimensions or counts: a product that does not fit in size_t is
 * treated as an allocation that cannot succeed. */
#ifndef IMG_SIZE_H
#define IMG_SIZE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Stores a * b in *product; returns 0 when the product overflows. */
static inline int size_mul(size_t a, size_t b, size_t *product)
{
    return !__builtin_mul_overflow(a, b, product);
}

/* Allocates count elements of elem_size bytes (uninitialised); null when the
 * byte count overflows or the memory cannot be had. */
void *alloc_array(size_t count, size_t elem_size);

/* Makes the nth call of alloc_array from now on (1 for the next) return null
 * as if memory had run out, so that tests can take every failure path of a
 * stage in turn; 0 turns it off. The count is shared by all threads. Returns
 * how many calls were still to come before the failure set earlier (0 when
 * it has happened or none was set). */
long imaging_fail_allocation(long nth);

/* Grows *array, holding *capacity elements, to at least needed elements;
 * returns 0 (array untouched) when that cannot be had. */
int grow_array(void **array, size_t *capacity, size_t needed, size_t elem_size);

#ifdef __cplusplus
}
#endif

#endif
