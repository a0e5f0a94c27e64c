#include "shape_desc.h"

#include "draw_line.h"
#include "fill_region.h"
#include "img_error.h"
#include "polygon_tools.h"

#include <float.h>
#include <limits.h>
#include <math.h>
#include <stdlib.h>

/* Failure result of the double-valued measures. */
static const double failed_measure = DBL_MIN;

static Bool check_object(const Image *img, int label, const char *function)
{
    if (!is_bin_or_label_img(img)) {
        report_error(function, "Not a binary or label image !");
        return false;
    }
    if (label < 1) {
        report_error_fmt(function, "Label ( %d ) must be positive !", label);
        return false;
    }
    return true;
}

static int value_at(const Image *img, int row, int col)
{
    if (row < 0 || row >= img->num_rows || col < 0 || col >= img->num_cols) {
        return 0;
    }
    return get_label_pix(img, row, col);
}

static int count_label(const Image *img, int label)
{
    int count = 0;
    for (int r = 0; r < img->num_rows; r++) {
        for (int c = 0; c < img->num_cols; c++) {
            count += value_at(img, r, c) == label;
        }
    }
    return count;
}

int count_obj_pixels(const Image *img, int label)
{
    return check_object(img, label, "count_obj_pixels") ? count_label(img, label) : INT_MIN;
}

double calc_obj_area(const Image *img, int label)
{
    static const int quad_weight[16] = { 0, 2, 2, 4, 2, 4, 6, 7, 2, 6, 4, 7, 4, 7, 7, 8 };
    if (!check_object(img, label, "calc_obj_area")) {
        return failed_measure;
    }
    /* Windows start one row and one column before the image as well as
     * within it, with the outside counted as background, so that an object
     * on the first row or column keeps all four windows of its pixels. */
    long long sum = 0;
    for (int r = -1; r < img->num_rows; r++) {
        for (int c = -1; c < img->num_cols; c++) {
            int pattern = (value_at(img, r, c) == label) | (value_at(img, r, c + 1) == label) << 2 |
                          (value_at(img, r + 1, c) == label) << 1 | (value_at(img, r + 1, c + 1) == label) << 3;
            sum += quad_weight[pattern];
        }
    }
    return sum / 8.0;
}

/* The object's box, or false (reported) when no pixel carries the label. */
static Bool object_box(const Image *img, int label, Box *box, const char *function)
{
    Box *found = calc_box(img, label);
    if (found == NULL) {
        report_error_fmt(function, "No object pixel with label ( %d ) found !", label);
        return false;
    }
    *box = *found;
    free_box(found);
    return true;
}

double calc_aspect_ratio(const Image *img, int label)
{
    const char *function = "calc_aspect_ratio";
    Box box;
    if (!check_object(img, label, function) || !object_box(img, label, &box, function)) {
        return failed_measure;
    }
    return (double)get_box_width(&box) / get_box_height(&box);
}

PointFourier *calc_obj_centroid(const Image *img, int label)
{
    const char *function = "calc_obj_centroid";
    if (!check_object(img, label, function)) {
        return NULL;
    }
    double sum_row = 0.0, sum_col = 0.0;
    long long count = 0;
    for (int r = 0; r < img->num_rows; r++) {
        for (int c = 0; c < img->num_cols; c++) {
            if (value_at(img, r, c) == label) {
                sum_row += r;
                sum_col += c;
                count++;
            }
        }
    }
    if (count == 0) {
        report_error_fmt(function, "No object pixel with label ( %d ) found !", label);
        return NULL;
    }
    return alloc_point(sum_row / count, sum_col / count);
}

Image *crop_object(const Image *in_img, int label)
{
    const char *function = "crop_object";
    Box box;
    if (!check_object(in_img, label, function) || !object_box(in_img, label, &box, function)) {
        return NULL;
    }
    Image *out_img = alloc_img(PIX_BIN, get_box_height(&box), get_box_width(&box));
    if (out_img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    for (int r = box.min_row; r <= box.max_row; r++) {
        for (int c = box.min_col; c <= box.max_col; c++) {
            out_img->data_nd.byte_data_1b[r - box.min_row][c - box.min_col] = value_at(in_img, r, c) == label;
        }
    }
    return out_img;
}

double calc_equi_diameter(const Image *img, int label)
{
    if (!check_object(img, label, "calc_equi_diameter")) {
        return failed_measure;
    }
    return sqrt(4.0 * count_label(img, label) / M_PI);
}

double calc_max_diameter(const PointList *cont)
{
    if (!is_valid_point_list(cont)) {
        report_error("calc_max_diameter", "Invalid point list object !");
        return failed_measure;
    }
    double longest = 0.0;
    for (int i = 0; i < cont->num_pts; i++) {
        for (int j = i + 1; j < cont->num_pts; j++) {
            double dr = cont->point[i]->row - cont->point[j]->row;
            double dc = cont->point[i]->col - cont->point[j]->col;
            double d = sqrt(dr * dr + dc * dc);
            if (d > longest) longest = d;
        }
    }
    return longest;
}

double calc_compactness(const Image *img, int label, const PointList *cont)
{
    const char *function = "calc_compactness";
    if (!check_object(img, label, function)) {
        return failed_measure;
    }
    if (!is_nonempty_point_list(cont)) {
        report_error(function, "Invalid point list object !");
        return failed_measure;
    }
    return calc_equi_diameter(img, label) / calc_max_diameter(cont);
}

double calc_solidity(const Image *in_img, int label, const PointList *hull)
{
    const char *function = "calc_solidity";
    if (!check_object(in_img, label, function)) {
        return failed_measure;
    }
    if (!is_nonempty_point_list(hull)) {
        report_error(function, "Invalid point list object !");
        return failed_measure;
    }
    Image *hull_img = alloc_img(PIX_BIN, in_img->num_rows, in_img->num_cols);
    PointFourier *centre = calc_obj_centroid_contour(hull);
    if (hull_img == NULL || centre == NULL) {
        report_error(function, "Insufficient memory !");
        free_point(centre);
        delete_img(hull_img);
        return failed_measure;
    }
    for (int i = 0; i < hull->num_pts; i++) {
        draw_line(hull->point[i], hull->point[(i + 1) % hull->num_pts], 1, hull_img);
    }
    /* A hull outside the image leaves nothing drawn to fill within. */
    int hull_pixels = count_label(hull_img, 1);
    if (hull_pixels > 0 && centre->row >= 0.0 && centre->col >= 0.0) {
        fill_region((int)centre->row, (int)centre->col, 1, hull_img);
        hull_pixels = count_label(hull_img, 1);
    }
    free_point(centre);
    delete_img(hull_img);
    if (hull_pixels == 0) {
        report_error(function, "Empty hull polygon !");
        return failed_measure;
    }
    return (double)count_label(in_img, label) / hull_pixels;
}
