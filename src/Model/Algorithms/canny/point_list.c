#include "point_list.h"

#include "img_error.h"
#include "img_size.h"

#include <limits.h>
#include <stdatomic.h>
#include <stddef.h>
#include <stdlib.h>

/* Every point carries the block it was cut from, or null when it has a
 * heap allocation of its own. */
typedef struct PointBlock PointBlock;
typedef struct {
    PointBlock *block;
    PointFourier point;
} PointSlot;

/* Slots handed out to the points of one thread's pool. The block counts its
 * live points plus one while it is the pool's current block, and is released
 * when the count reaches zero, whichever thread frees the last point. */
enum { POINTS_PER_BLOCK = 4000 };
struct PointBlock {
    atomic_int live;
    PointSlot slot[POINTS_PER_BLOCK];
};

typedef struct {
    int depth;
    int used;
    PointBlock *block;
} PointPool;

static _Thread_local PointPool pool;

static void release_block(PointBlock *block)
{
    if (block != NULL && atomic_fetch_sub_explicit(&block->live, 1, memory_order_acq_rel) == 1) {
        free(block);
    }
}

void open_point_pool(void) { pool.depth++; }

void close_point_pool(void)
{
    if (pool.depth > 0 && --pool.depth == 0) {
        release_block(pool.block);
        pool.block = NULL;
    }
}

static PointSlot *pooled_slot(void)
{
    if (pool.block == NULL || pool.used == POINTS_PER_BLOCK) {
        PointBlock *block = malloc(sizeof *block);
        if (block == NULL) {
            return NULL;
        }
        atomic_init(&block->live, 1);
        release_block(pool.block);
        pool.block = block;
        pool.used = 0;
    }
    PointSlot *slot = &pool.block->slot[pool.used++];
    slot->block = pool.block;
    atomic_fetch_add_explicit(&pool.block->live, 1, memory_order_relaxed);
    return slot;
}

static PointSlot *own_slot(void)
{
    PointSlot *slot = malloc(sizeof *slot);
    if (slot != NULL) {
        slot->block = NULL;
    }
    return slot;
}

PointFourier *alloc_point(double row_val, double col_val)
{
    PointSlot *slot = pool.depth > 0 ? pooled_slot() : own_slot();
    if (slot == NULL) {
        report_error("alloc_point", "Insufficient memory !");
        return NULL;
    }
    slot->point.row = row_val;
    slot->point.col = col_val;
    return &slot->point;
}

void free_point(PointFourier *point)
{
    if (point == NULL) {
        return;
    }
    PointSlot *slot = (PointSlot *)((char *)point - offsetof(PointSlot, point));
    if (slot->block != NULL) {
        release_block(slot->block);
    } else {
        free(slot);
    }
}

PointList *alloc_point_list(int num_pts)
{
    const char *function = "alloc_point_list";
    if (num_pts < 1) {
        report_error_fmt(function, "Number of points ( %d ) must be positive !", num_pts);
        return NULL;
    }
    PointList *list = malloc(sizeof *list);
    PointFourier **slots = alloc_array((size_t)num_pts, sizeof *slots);
    if (list == NULL || slots == NULL) {
        free(list);
        free(slots);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    list->type = GEN_INVALID;
    list->num_pts = num_pts;
    list->point = slots;
    return list;
}

Bool is_valid_point_list(const PointList *list)
{
    return list != NULL && list->type != GEN_INVALID;
}

Bool is_nonempty_point_list(const PointList *list)
{
    return is_valid_point_list(list) && list->num_pts >= 1;
}

int get_num_pts(const PointList *list)
{
    if (!is_valid_point_list(list)) {
        report_error("get_num_pts", "Invalid point list object !");
        return INT_MIN;
    }
    return list->num_pts;
}

void free_point_list(PointList *list)
{
    if (!is_valid_point_list(list)) {
        return;
    }
    for (int i = list->num_pts - 1; i >= 0; i--) {
        free_point(list->point[i]);
        list->point[i] = NULL;
    }
    list->num_pts = INT_MIN;
}

void delete_point_list(PointList *list, int num_slots)
{
    if (list == NULL) {
        return;
    }
    for (int i = 0; i < num_slots; i++) {
        free_point(list->point[i]);
    }
    free(list->point);
    free(list);
}

Box *alloc_box(void)
{
    Box *box = malloc(sizeof *box);
    if (box == NULL) {
        report_error("alloc_box", "Insufficient memory !");
        return NULL;
    }
    box->min_row = INT_MAX;
    box->max_row = 0;
    box->min_col = INT_MAX;
    box->max_col = 0;
    return box;
}

void free_box(Box *box) { free(box); }

/* Extents are computed in long long so that the empty box's sentinels give
 * their documented values without signed overflow. */
static int box_extent(const Box *box, Bool rows, const char *function)
{
    if (box == NULL) {
        report_error(function, "Invalid bounding-box object !");
        return INT_MIN;
    }
    long long extent = rows ? (long long)box->max_row - box->min_row + 1
                            : (long long)box->max_col - box->min_col + 1;
    return (int)extent;
}

int get_box_height(const Box *box) { return box_extent(box, true, "get_box_height"); }

int get_box_width(const Box *box) { return box_extent(box, false, "get_box_width"); }

int calc_box_area(const Box *box)
{
    if (box == NULL) {
        report_error("calc_box_area", "Invalid bounding-box object !");
        return INT_MIN;
    }
    /* The wide product avoids signed overflow on an empty box. */
    return (int)((long long)get_box_height(box) * get_box_width(box));
}

Image *point_list_to_img(const PointList *list, int num_rows, int num_cols)
{
    const char *function = "point_list_to_img";
    if (!is_valid_point_list(list)) {
        report_error(function, "Invalid point list object !");
        return NULL;
    }
    if (num_rows < 1) {
        report_error_fmt(function, "Number of rows ( %d ) must be positive !", num_rows);
        return NULL;
    }
    if (num_cols < 1) {
        report_error_fmt(function, "Number of cols ( %d ) must be positive !", num_cols);
        return NULL;
    }
    Image *img = alloc_img(PIX_BIN, num_rows, num_cols);
    if (img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    for (int i = 0; i < list->num_pts; i++) {
        /* Compared as doubles before truncation so that huge or NaN
         * coordinates cannot overflow the int conversion. */
        double row = list->point[i]->row;
        double col = list->point[i]->col;
        if (row > -1.0 && row < num_rows && col > -1.0 && col < num_cols) {
            img->data_nd.byte_data_1b[(int)row][(int)col] = 1;
        }
    }
    return img;
}

PointList *chain_to_point_list(const Chain *chain)
{
    const char *function = "chain_to_point_list";
    if (!is_valid_chain(chain) || chain->length < 1) {
        report_error(function, "Invalid chain code object !");
        return NULL;
    }
    PointList *list = alloc_point_list(chain->length);
    if (list == NULL) {
        return NULL;
    }
    for (int i = 0; i < chain->length; i++) {
        list->point[i] = alloc_point(chain->row[i], chain->col[i]);
        if (list->point[i] == NULL) {
            delete_point_list(list, i);
            return NULL;
        }
    }
    list->type = GEN_VALID;
    return list;
}
