#include "image.h"

#include "alloc_nd.h"
#include "img_error.h"

#include <limits.h>
#include <stdlib.h>

static Bool is_valid_img(const Image *img)
{
    return img != NULL && img->type != PIX_INVALID;
}

static Bool has_type(const Image *img, PixelType type)
{
    return img != NULL && img->type == type;
}

Bool is_bin_img(const Image *img) { return has_type(img, PIX_BIN); }
Bool is_gray_img(const Image *img) { return has_type(img, PIX_GRAY); }
Bool is_rgb_img(const Image *img) { return has_type(img, PIX_RGB); }
Bool is_dbl_3b_img(const Image *img) { return has_type(img, PIX_DBL_3B); }

Bool is_byte_img(const Image *img)
{
    return is_bin_img(img) || is_gray_img(img) || is_rgb_img(img);
}

Bool is_label_img(const Image *img)
{
    return has_type(img, PIX_INT_1B) && img->num_cc >= 1;
}

Bool is_int_img(const Image *img)
{
    return has_type(img, PIX_INT_1B) || has_type(img, PIX_INT_3B);
}

Bool is_dbl_img(const Image *img)
{
    return has_type(img, PIX_DBL_1B) || has_type(img, PIX_DBL_3B);
}

Bool is_bin_or_label_img(const Image *img)
{
    return is_bin_img(img) || is_label_img(img);
}

Bool is_bin_or_gray_img(const Image *img)
{
    return is_bin_img(img) || is_gray_img(img);
}

/* Band count of a pixel type; a type outside the enumeration is fatal. */
static int bands_of(PixelType type, const char *function)
{
    switch (type) {
    case PIX_BIN:
    case PIX_GRAY:
    case PIX_INT_1B:
    case PIX_DBL_1B:
        return 1;
    case PIX_RGB:
    case PIX_INT_3B:
    case PIX_DBL_3B:
        return 3;
    default:
        report_fatal(function, "Invalid pixel type !");
        return INT_MIN;
    }
}

static size_t sample_size(PixelType type)
{
    if (type == PIX_BIN || type == PIX_GRAY || type == PIX_RGB) {
        return sizeof(imaging_byte);
    }
    if (type == PIX_INT_1B || type == PIX_INT_3B) {
        return sizeof(int);
    }
    return sizeof(double);
}

PixelType get_pix_type(const Image *img)
{
    if (!is_valid_img(img)) {
        report_error("get_pix_type", "Invalid image object !");
        return PIX_INVALID;
    }
    return img->type;
}

static int checked_count(const Image *img, int value, const char *function)
{
    if (!is_valid_img(img)) {
        report_error(function, "Invalid image object !");
        return INT_MIN;
    }
    return value;
}

int get_num_bands(const Image *img)
{
    return checked_count(img, img ? img->num_bands : 0, "get_num_bands");
}

int get_num_rows(const Image *img)
{
    return checked_count(img, img ? img->num_rows : 0, "get_num_rows");
}

int get_num_cols(const Image *img)
{
    return checked_count(img, img ? img->num_cols : 0, "get_num_cols");
}

int get_num_cc(const Image *img)
{
    if (!is_label_img(img)) {
        report_error("get_num_cc", "Not a label image !");
        return INT_MIN;
    }
    return img->num_cc;
}

static Bool has_data(const Image *img, const char *function)
{
    if (!is_valid_img(img)) {
        report_error(function, "Invalid image object !");
        return false;
    }
    if (img->type > PIX_DBL_3B) {
        report_fatal(function, "Invalid pixel type !");
        return false;
    }
    return true;
}

void *get_img_data_1d(const Image *img)
{
    return has_data(img, "get_img_data_1d") ? (void *)img->data_1d.byte_data : NULL;
}

void *get_img_data_nd(const Image *img)
{
    return has_data(img, "get_img_data_nd") ? (void *)img->data_nd.byte_data_1b : NULL;
}

Bool img_dims_agree(const Image *img_a, const Image *img_b)
{
    if (!is_valid_img(img_a) || !is_valid_img(img_b)) {
        report_error("img_dims_agree", "Invalid image object(s) !");
        return false;
    }
    return img_a->num_rows == img_b->num_rows && img_a->num_cols == img_b->num_cols;
}

Bool img_types_agree(const Image *img_a, const Image *img_b)
{
    if (!is_valid_img(img_a) || !is_valid_img(img_b)) {
        report_error("img_types_agree", "Invalid image object(s) !");
        return false;
    }
    return img_a->type == img_b->type;
}

size_t get_num_samples(const Image *img)
{
    return (size_t)img->num_bands * (size_t)img->num_rows * (size_t)img->num_cols;
}

int get_label_pix(const Image *img, int row, int col)
{
    return img->type == PIX_BIN ? img->data_nd.byte_data_1b[row][col] : img->data_nd.int_data_1b[row][col];
}

void set_label_pix(Image *img, int row, int col, int value)
{
    if (img->type == PIX_BIN) {
        img->data_nd.byte_data_1b[row][col] = (imaging_byte)value;
    } else {
        img->data_nd.int_data_1b[row][col] = value;
    }
}

Image *alloc_img(PixelType pix_type, int num_rows, int num_cols)
{
    const char *function = "alloc_img";
    if (pix_type == PIX_INVALID) {
        report_error(function, "Invalid pixel type !");
        return NULL;
    }
    if (num_rows < 1) {
        report_error_fmt(function, "Number of rows ( %d ) must be positive !", num_rows);
        return NULL;
    }
    if (num_cols < 1) {
        report_error_fmt(function, "Number of columns ( %d ) must be positive !", num_cols);
        return NULL;
    }
    int bands = bands_of(pix_type, function);
    if (bands < 1) {
        return NULL;
    }
    Image *img = malloc(sizeof *img);
    if (img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    img->type = pix_type;
    img->num_bands = bands;
    img->num_rows = num_rows;
    img->num_cols = num_cols;
    img->num_cc = INT_MIN;
    size_t size = sample_size(pix_type);
    /* alloc_nd sizes in size_t with overflow checks, so an image too large
     * for memory is refused rather than allocated short. */
    void *array = img->num_bands == 1 ? alloc_nd(size, 2, num_rows, num_cols)
                                      : alloc_nd(size, 3, num_rows, num_cols, 3);
    if (array == NULL) {
        free(img);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    img->data_nd.byte_data_1b = array;
    img->data_1d.byte_data = img->num_bands == 1 ? img->data_nd.byte_data_1b[0]
                                                 : img->data_nd.byte_data_3b[0][0];
    img->max_pix_val = size == 1 ? 255 : INT_MAX;
    return img;
}

Image *alloc_const_img(PixelType pix_type, int num_rows, int num_cols, double value)
{
    const char *function = "alloc_const_img";
    Bool byte_type = pix_type == PIX_BIN || pix_type == PIX_GRAY || pix_type == PIX_RGB;
    Bool int_type = pix_type == PIX_INT_1B || pix_type == PIX_INT_3B;
    if (byte_type && !(value >= 0.0 && value < 256.0)) {
        report_error_fmt(function, "Value ( %f ) must be in [0, 255] range !", value);
        return NULL;
    }
    if (int_type && !(value >= (double)INT_MIN && value <= (double)INT_MAX)) {
        report_error_fmt(function, "Value ( %f ) must be in [%d, %d] range !", value, INT_MIN, INT_MAX);
        return NULL;
    }
    Image *img = alloc_img(pix_type, num_rows, num_cols);
    if (img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    size_t count = get_num_samples(img);
    for (size_t k = 0; k < count; k++) {
        if (byte_type) {
            img->data_1d.byte_data[k] = (imaging_byte)value;
        } else if (int_type) {
            img->data_1d.int_data[k] = (int)value;
        } else {
            img->data_1d.double_data[k] = value;
        }
    }
    return img;
}

void free_img(Image *img)
{
    if (!is_valid_img(img)) {
        return;
    }
    free_nd(img->data_nd.byte_data_1b, bands_of(img->type, "free_img") == 1 ? 2 : 3);
    img->data_nd.byte_data_1b = NULL;
    img->data_1d.byte_data = NULL;
    img->type = PIX_INVALID;
    img->num_bands = INT_MIN;
    img->num_rows = INT_MIN;
    img->num_cols = INT_MIN;
    img->max_pix_val = INT_MIN;
    img->num_cc = INT_MIN;
}

void delete_img(Image *img)
{
    free_img(img);
    free(img);
}
