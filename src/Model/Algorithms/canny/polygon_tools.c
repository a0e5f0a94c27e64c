#include "polygon_tools.h"

#include "convex_hull.h"
#include "img_error.h"
#include "outline_builder.h"

#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

/* Crossing-number test; a point on an edge or vertex counts as inside. */
static int inside(const PointList *list, double r, double c)
{
    int n = get_num_pts(list);
    int flag = 0;
    for (int i = 0; i < n; i++) {
        const PointFourier *pi = list->point[i];
        const PointFourier *pj = list->point[i == 0 ? n - 1 : i - 1];
        if ((pi->row - r) * (pj->col - c) == (pj->row - r) * (pi->col - c) &&
            c >= fmin(pi->col, pj->col) && c <= fmax(pi->col, pj->col) &&
            r >= fmin(pi->row, pj->row) && r <= fmax(pi->row, pj->row)) {
            return 1;
        }
        if ((pi->row <= r && r < pj->row) || (pj->row <= r && r < pi->row)) {
            double x = (r - pi->row) * (pj->col - pi->col) / (pj->row - pi->row) + pi->col;
            if (x > c) {
                flag = !flag;
            }
        }
    }
    return flag;
}

int point_inside(const PointList *list, const PointFourier *p) { return inside(list, p->row, p->col); }

int point_inside_pt(const PointList *list, int col, int row) { return inside(list, row, col); }

int point_inside_box(const Box *box, int col, int row)
{
    return box->min_col < col && col < box->max_col && box->min_row < row && row < box->max_row;
}

Box computeBoundingBox(const PointList *p)
{
    Box box = { INT_MAX, 0, INT_MAX, 0 };
    if (p == NULL) {
        printf("Invalid pointer in computeBoundingBox !");
        return box;
    }
    for (int i = 0; i < p->num_pts; i++) {
        int row = (int)p->point[i]->row;
        int col = (int)p->point[i]->col;
        if (i == 0 || row < box.min_row) box.min_row = row;
        if (i == 0 || row > box.max_row) box.max_row = row;
        if (i == 0 || col < box.min_col) box.min_col = col;
        if (i == 0 || col > box.max_col) box.max_col = col;
    }
    return box;
}

double lengthestSide(const Box *box)
{
    int height = get_box_height(box);
    int width = get_box_width(box);
    return height > width ? height : width;
}

static double distance(const PointFourier *a, const PointFourier *b)
{
    double dr = a->row - b->row;
    double dc = a->col - b->col;
    return sqrt(dr * dr + dc * dc);
}

double distanceMaxBetweenPts(const PointList *p)
{
    if (p == NULL) {
        printf("Invalid pointer in distanceMaxBetweenPts !");
        return 0.0;
    }
    double longest = 0.0;
    for (int i = 0; i < p->num_pts; i++) {
        double d = distance(p->point[i], p->point[(i + 1) % p->num_pts]);
        if (d > longest) {
            longest = d;
        }
    }
    return longest;
}

int overlapingTest(const PointList *p, const PointList *q, int n)
{
    if (p == NULL || q == NULL || n < 1) {
        printf("Invalid pointers or dates in OverlapingTest!");
        return 0;
    }
    get_num_pts(p);
    int num_q = get_num_pts(q);
    if (num_q <= n) {
        return point_inside(p, q->point[0]);
    }
    int step = num_q / n;
    int count = 0;
    for (int k = 0; k < n; k++) {
        count += point_inside(p, q->point[k * step]);
    }
    return count;
}

int overlapCells(PointList *const *p, int num_cells, const PointList *q, int n)
{
    if (p == NULL || q == NULL || n < 1) {
        printf("Invalid pointers or dates in Overlapingcells!");
        return 0;
    }
    for (int i = 0; i < num_cells; i++) {
        if (overlapingTest(p[i], q, n) > 0 || overlapingTest(q, p[i], n) > 0) {
            return 1;
        }
    }
    return 0;
}

/* A new valid list holding copies of the points of a, then of b (b may be
 * null); null when it cannot be allocated. */
static PointList *join_copies(const PointList *a, const PointList *b)
{
    int num_a = a->num_pts;
    int num_b = b ? b->num_pts : 0;
    if (num_b > INT_MAX - num_a) {
        return NULL;
    }
    PointList *joined = alloc_point_list(num_a + num_b);
    if (joined == NULL) {
        return NULL;
    }
    for (int i = 0; i < num_a + num_b; i++) {
        const PointFourier *src = i < num_a ? a->point[i] : b->point[i - num_a];
        joined->point[i] = alloc_point(src->row, src->col);
    }
    joined->type = GEN_VALID;
    return joined;
}

PointList *unionContour(const PointList *p, const PointList *q)
{
    if (!is_valid_point_list(p) || !is_valid_point_list(q)) {
        return NULL;
    }
    PointList *joined = join_copies(p, q);
    if (joined == NULL) {
        printf("Insuficient memory in unionContour !\n");
        return NULL;
    }
    PointList *hull = calc_2d_convex_hull(joined);
    PointList *outline = hull ? edge_approach2(joined, hull) : NULL;
    delete_point_list(hull, joined->num_pts + 1);
    delete_point_list(joined, joined->num_pts);
    return outline;
}

PointList *copyPointList(const PointList *p)
{
    if (!is_valid_point_list(p)) {
        printf("Invalid pointers  in copyPointList!");
        return NULL;
    }
    PointList *copy = join_copies(p, NULL);
    if (copy == NULL) {
        printf("Insuficient memory in copyPointList !\n");
    }
    return copy;
}

PointFourier *calc_obj_centroid_contour(const PointList *cont)
{
    if (!is_nonempty_point_list(cont)) {
        report_error("calc_obj_centroid_contour", "Invalid point list object !");
        return NULL;
    }
    int n = cont->num_pts;
    double rows = 0.0;
    double cols = 0.0;
    for (int i = 0; i < n; i++) {
        rows += cont->point[i]->row;
        cols += cont->point[i]->col;
    }
    return alloc_point(rows / n, cols / n);
}

double minDistance(const PointList *list, int col, int row)
{
    if (list == NULL) {
        printf("Invalid pointers  in minDistance!");
        return 0.0;
    }
    const PointFourier here = { row, col };
    int nearest = INT_MAX;
    for (int i = 0; i < list->num_pts; i++) {
        int d = (int)distance(list->point[i], &here);
        if (d < nearest) {
            nearest = d;
        }
    }
    return nearest;
}
