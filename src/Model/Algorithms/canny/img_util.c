#include "img_util.h"

#include "img_error.h"
#include "img_size.h"

#include <float.h>
#include <limits.h>
#include <math.h>
#include <stdlib.h>

clock_t start_timer(void) { return clock(); }

double stop_timer(clock_t start_time) { return (double)(clock() - start_time) / CLOCKS_PER_SEC; }

double *gauss_1d(double sigma, int *mask_size)
{
    const char *function = "gauss_1d";
    if (!(sigma > DBL_EPSILON)) {
        report_error_fmt(function, "Sigma ( %f ) must be positive !", sigma);
        return NULL;
    }
    /* The half width must leave 2 * half + 1 inside int. */
    double half_width = ceil(3.0 * sigma);
    if (half_width > (INT_MAX - 1) / 2) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    int half = (int)half_width;
    int size = 2 * half + 1;
    double *mask = alloc_array((size_t)size, sizeof *mask);
    if (mask == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    double sum = 0.0;
    for (int i = 0; i < size; i++) {
        double x = i - half;
        mask[i] = exp(-x * x / (2.0 * sigma * sigma));
        sum += mask[i];
    }
    for (int i = 0; i < size; i++) {
        mask[i] /= sum;
    }
    if (mask_size != NULL) {
        *mask_size = size;
    }
    return mask;
}

static void swap_int(int *a, int *b)
{
    int t = *a;
    *a = *b;
    *b = t;
}

int select_kth_smallest(int num_elems, int k, int *data)
{
    const char *function = "select_kth_smallest";
    if (data == NULL) {
        report_error(function, "Invalid data array !");
        return INT_MIN;
    }
    if (num_elems < 1) {
        report_error_fmt(function, "Number of elements ( %d ) must be positive !", num_elems);
        return INT_MIN;
    }
    if (k < 0 || k >= num_elems) {
        report_error_fmt(function, "Rank ( %d ) must be in [0, %d] range !", k, num_elems - 1);
        return INT_MIN;
    }
    int left = 0, right = num_elems - 1;
    /* Quickselect: the median of the first, middle and last elements is the
     * pivot, which also serves as sentinel for both scans. */
    for (;;) {
        if (right <= left + 1) {
            if (right == left + 1 && data[right] < data[left]) {
                swap_int(&data[left], &data[right]);
            }
            return data[k];
        }
        int mid = left + (right - left) / 2;
        swap_int(&data[mid], &data[left + 1]);
        if (data[left] > data[right]) swap_int(&data[left], &data[right]);
        if (data[left + 1] > data[right]) swap_int(&data[left + 1], &data[right]);
        if (data[left] > data[left + 1]) swap_int(&data[left], &data[left + 1]);
        int i = left + 1, j = right;
        int pivot = data[left + 1];
        for (;;) {
            do i++; while (data[i] < pivot);
            do j--; while (data[j] > pivot);
            if (j < i) break;
            swap_int(&data[i], &data[j]);
        }
        data[left + 1] = data[j];
        data[j] = pivot;
        if (j >= k) right = j - 1;
        if (j <= k) left = i;
    }
}

int find_median(int num_elems, int *data) { return select_kth_smallest(num_elems, (num_elems - 1) / 2, data); }

void sort_int(int num_elems, int *data)
{
    if (data == NULL) {
        report_error("sort_int", "Invalid data array !");
        return;
    }
    for (int i = 1; i < num_elems; i++) {
        int value = data[i];
        int j = i - 1;
        while (j >= 0 && data[j] > value) {
            data[j + 1] = data[j];
            j--;
        }
        data[j + 1] = value;
    }
}
