/* The image object: one zeroed block of samples with Iliffe row (and, for
 * three bands, pixel) pointer tables over it. */
#ifndef IMAGE_H
#define IMAGE_H

#include "img_types.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    PIX_INVALID = 0,
    PIX_BIN = 1,
    PIX_GRAY = 2,
    PIX_RGB = 3,
    PIX_INT_1B = 4,
    PIX_INT_3B = 5,
    PIX_DBL_1B = 6,
    PIX_DBL_3B = 7
} PixelType;

typedef struct {
    PixelType type;
    int num_bands;
    int num_rows;
    int num_cols;
    int max_pix_val;
    int num_cc;
    union {
        imaging_byte *byte_data;
        int *int_data;
        double *double_data;
    } data_1d;
    union {
        imaging_byte **byte_data_1b;
        int **int_data_1b;
        double **double_data_1b;
        imaging_byte ***byte_data_3b;
        int ***int_data_3b;
        double ***double_data_3b;
    } data_nd;
} Image;

Bool is_bin_img(const Image *img);
Bool is_gray_img(const Image *img);
Bool is_rgb_img(const Image *img);
Bool is_byte_img(const Image *img);
Bool is_label_img(const Image *img);
Bool is_int_img(const Image *img);
Bool is_dbl_img(const Image *img);
Bool is_dbl_3b_img(const Image *img);
Bool is_bin_or_label_img(const Image *img);
Bool is_bin_or_gray_img(const Image *img);

PixelType get_pix_type(const Image *img);
int get_num_bands(const Image *img);
int get_num_rows(const Image *img);
int get_num_cols(const Image *img);
int get_num_cc(const Image *img);
void *get_img_data_1d(const Image *img);
void *get_img_data_nd(const Image *img);
Bool img_dims_agree(const Image *img_a, const Image *img_b);
Bool img_types_agree(const Image *img_a, const Image *img_b);

/* num_bands * num_rows * num_cols of a valid image. */
size_t get_num_samples(const Image *img);
/* The pixel of a binary or label image; no checks. */
int get_label_pix(const Image *img, int row, int col);
void set_label_pix(Image *img, int row, int col, int value);

/* A new zeroed image owned by the caller, or null. */
Image *alloc_img(PixelType pix_type, int num_rows, int num_cols);
/* A new image with every sample set to value: byte types need
 * 0 <= value < 256, int types a value within int (both stored truncated),
 * double types take any value. Null on a refused value. */
Image *alloc_const_img(PixelType pix_type, int num_rows, int num_cols, double value);
/* Releases the samples and invalidates the fields; the structure itself is
 * the caller's to release afterwards. */
void free_img(Image *img);

/* Releases an image whole: its samples, then the structure. Null is
 * ignored. */
void delete_img(Image *img);

#ifdef __cplusplus
}
#endif

#endif
