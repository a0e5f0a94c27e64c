#include "convex_hull.h"

#include "img_error.h"
#include "img_size.h"

#include <stdlib.h>

/* Rows ascending, then columns descending. */
static int cmpl(const void *a, const void *b)
{
    const PointFourier *p = a;
    const PointFourier *q = b;
    if (p->row > q->row) return 1;
    if (p->row < q->row) return -1;
    if (p->col < q->col) return 1;
    if (p->col > q->col) return -1;
    return 0;
}

static int cmph(const void *a, const void *b) { return cmpl(b, a); }

/* Positive when a -> b -> c turns the way the hull runs. */
static double turn(const PointFourier *a, const PointFourier *b, const PointFourier *c)
{
    return (b->row - a->row) * (c->col - b->col) + (c->row - b->row) * (a->col - b->col);
}

/* Sorts the points and moves one chain of the hull to their front; returns
 * its length, the point after it being the chain's end. Points that compare
 * equal have equal coordinates, so the outcome does not depend on how the
 * sort orders them. */
static int make_chain(int num_pts, int (*cmp)(const void *, const void *), PointFourier *point)
{
    qsort(point, (size_t)num_pts, sizeof *point, cmp);
    int s = 1;
    for (int i = 2; i < num_pts; i++) {
        int j = s;
        while (j >= 1 && turn(&point[j - 1], &point[j], &point[i]) <= 0) {
            j--;
        }
        s = j + 1;
        PointFourier swap = point[s];
        point[s] = point[i];
        point[i] = swap;
    }
    return s;
}

/* Arranges the n points of values (n + 1 slots) as the hull's slots and
 * returns the number of vertices. */
static int arrange_hull(PointFourier *values, int n)
{
    int u = make_chain(n, cmpl, values);
    values[n] = values[0];
    return u + make_chain(n - u + 1, cmph, values + u);
}

int calc_2d_convex_hull_view(const PointList *cont, HullView *hull)
{
    const char *function = "calc_2d_convex_hull";
    if (!is_nonempty_point_list(cont)) {
        report_error(function, "Invalid point list object !");
        return 0;
    }
    size_t slots = (size_t)cont->num_pts + 1;
    PointFourier **point = alloc_array(slots, sizeof *point + sizeof(PointFourier));
    if (point == NULL) {
        report_error(function, "Insufficient memory !");
        return 0;
    }
    PointFourier *values = (PointFourier *)(point + slots);
    for (int i = 0; i < cont->num_pts; i++) {
        values[i] = *cont->point[i];
    }
    hull->list.type = GEN_VALID;
    hull->list.num_pts = arrange_hull(values, cont->num_pts);
    hull->list.point = point;
    for (size_t i = 0; i < slots; i++) {
        point[i] = &values[i];
    }
    return 1;
}

void free_hull_view(HullView *hull)
{
    free(hull->list.point);
    hull->list.point = NULL;
}

PointList *calc_2d_convex_hull(const PointList *cont)
{
    HullView view;
    if (!calc_2d_convex_hull_view(cont, &view)) {
        return NULL;
    }
    int slots = cont->num_pts + 1;
    PointList *hull = alloc_point_list(slots);
    for (int i = 0; hull != NULL && i < slots; i++) {
        hull->point[i] = alloc_point(view.list.point[i]->row, view.list.point[i]->col);
        if (hull->point[i] == NULL) {
            delete_point_list(hull, i);
            hull = NULL;
        }
    }
    if (hull != NULL) {
        hull->type = GEN_VALID;
        hull->num_pts = view.list.num_pts;
    }
    free_hull_view(&view);
    return hull;
}
