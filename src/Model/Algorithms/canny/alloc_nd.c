#include "alloc_nd.h"

#include "img_size.h"

#include <stdarg.h>
#include <stdatomic.h>
#include <stdint.h>
#include <stdlib.h>

/* Calls of alloc_array left before the one made to fail; 0 when none is. */
static atomic_long allocations_before_failure = 0;

long imaging_fail_allocation(long nth)
{
    return atomic_exchange(&allocations_before_failure, nth > 0 ? nth : 0);
}

static int allocation_made_to_fail(void)
{
    long left = atomic_load(&allocations_before_failure);
    while (left > 0) {
        if (atomic_compare_exchange_weak(&allocations_before_failure, &left, left - 1)) {
            return left == 1;
        }
    }
    return 0;
}

void *alloc_array(size_t count, size_t elem_size)
{
    size_t bytes;
    if (allocation_made_to_fail()) {
        return NULL;
    }
    if (!size_mul(count, elem_size, &bytes)) {
        return NULL;
    }
    return malloc(bytes ? bytes : 1);
}

int grow_array(void **array, size_t *capacity, size_t needed, size_t elem_size)
{
    if (needed <= *capacity) {
        return 1;
    }
    size_t new_capacity = *capacity ? *capacity : 16;
    while (new_capacity < needed) {
        if (new_capacity > SIZE_MAX / 2) {
            new_capacity = needed;
            break;
        }
        new_capacity *= 2;
    }
    size_t bytes;
    if (!size_mul(new_capacity, elem_size, &bytes)) {
        return 0;
    }
    void *grown = realloc(*array, bytes);
    if (grown == NULL) {
        return 0;
    }
    *array = grown;
    *capacity = new_capacity;
    return 1;
}

/* The tables and the block are released from the level-0 table down, each
 * table's entry 0 leading to the next one. */
void free_nd(void *base_ptr, int dim_count)
{
    void *current = base_ptr;
    for (int level = 0; level < dim_count && current != NULL; level++) {
        void *next = (level < dim_count - 1) ? ((void **)current)[0] : NULL;
        free(current);
        current = next;
    }
}

void *alloc_nd(size_t elem_size, int dim_count, ...)
{
    if (elem_size == 0 || dim_count < 1) {
        return NULL;
    }
    size_t *dims = malloc((size_t)dim_count * sizeof *dims);
    if (dims == NULL) {
        return NULL;
    }
    va_list args;
    va_start(args, dim_count);
    int valid = 1;
    for (int d = 0; d < dim_count; d++) {
        int dim = va_arg(args, int);
        valid = valid && dim >= 1;
        dims[d] = valid ? (size_t)dim : 0;
    }
    va_end(args);
    if (!valid) {
        free(dims);
        return NULL;
    }

    if (dim_count == 1) {
        void *block = alloc_array(dims[0], elem_size);
        free(dims);
        return block;
    }

    /* All sizes are checked before anything is allocated: entries[k] is
     * the number of pointers of level k, data_bytes the data block. */
    size_t *entries = malloc((size_t)dim_count * sizeof *entries);
    void **tables = calloc((size_t)dim_count, sizeof *tables);
    size_t count = 1, table_bytes, data_bytes = 0, row_bytes = 0;
    int ok = tables != NULL && entries != NULL;
    for (int level = 0; ok && level < dim_count - 1; level++) {
        ok = size_mul(count, dims[level], &count) && size_mul(count, sizeof(void *), &table_bytes);
        entries[level] = count;
    }
    ok = ok && size_mul(dims[dim_count - 1], elem_size, &row_bytes) && size_mul(count, row_bytes, &data_bytes);
    for (int level = 0; ok && level < dim_count - 1; level++) {
        tables[level] = alloc_array(entries[level], sizeof(void *));
        ok = tables[level] != NULL;
    }
    if (ok) {
        tables[dim_count - 1] = calloc(data_bytes, 1);
        ok = tables[dim_count - 1] != NULL;
    }
    void *result = NULL;
    if (ok) {
        for (int level = 0; level < dim_count - 2; level++) {
            void **table = tables[level];
            void **next = tables[level + 1];
            for (size_t i = 0; i < entries[level]; i++) {
                table[i] = next + i * dims[level + 1];
            }
        }
        void **last = tables[dim_count - 2];
        char *data = tables[dim_count - 1];
        for (size_t i = 0; i < entries[dim_count - 2]; i++) {
            last[i] = data + i * row_bytes;
        }
        result = tables[0];
    } else if (tables != NULL) {
        for (int level = 0; level < dim_count; level++) {
            free(tables[level]);
        }
    }
    free(tables);
    free(entries);
    free(dims);
    return result;
}
