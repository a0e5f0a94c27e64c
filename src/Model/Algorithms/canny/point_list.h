/* Points, point lists and bounding boxes. */
#ifndef POINT_LIST_H
#define POINT_LIST_H

#include "chain.h"
#include "image.h"
#include "img_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* row is the vertical coordinate (y), col the horizontal one (x), in pixels. */
typedef struct {
    double row;
    double col;
} PointFourier;

/* A list is GEN_INVALID until its creator has filled every slot. Its slot
 * array may have more slots than num_pts; those slots still own points. */
typedef struct {
    GenericType type;
    int num_pts;
    PointFourier **point;
} PointList;

/* Inclusive pixel bounds. */
typedef struct {
    int min_row;
    int max_row;
    int min_col;
    int max_col;
} Box;

PointFourier *alloc_point(double row_val, double col_val);
/* Releases a point of alloc_point; null is ignored. Any thread may release
 * any point. */
void free_point(PointFourier *point);

/* Between open_point_pool and close_point_pool (calls nest), alloc_point on
 * the calling thread cuts its points from blocks of many points instead of
 * one heap allocation each; for code that makes points by the million. The
 * points stay valid after the pool closes, until free_point releases each. */
void open_point_pool(void);
void close_point_pool(void);

/* A new GEN_INVALID list of num_pts unset slots, or null. */
PointList *alloc_point_list(int num_pts);
/* Whether list is a list its creator has filled; null is not. */
Bool is_valid_point_list(const PointList *list);
/* The same, with at least one point. */
Bool is_nonempty_point_list(const PointList *list);
int get_num_pts(const PointList *list);
/* Releases the points in use; the slot array and the structure stay. */
void free_point_list(PointList *list);

/* Releases a list whole: the points of its first num_slots slots, the slot
 * array and the structure. Null is ignored. */
void delete_point_list(PointList *list, int num_slots);

Box *alloc_box(void);
void free_box(Box *box);
int get_box_height(const Box *box);
int get_box_width(const Box *box);
int calc_box_area(const Box *box);

/* A new valid list with one point per entry of a chain, or null. */
PointList *chain_to_point_list(const Chain *chain);

/* A PIX_BIN image with 1 at every point that falls inside it. */
Image *point_list_to_img(const PointList *list, int num_rows, int num_cols);

#ifdef __cplusplus
}
#endif

#endif
