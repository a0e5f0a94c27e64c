#include "convex_hull.h"

#include "img_error.h"

#include <stdlib.h>

/* Rows ascending, then columns descending. */
static int cmpl(const void *a, const void *b)
{
    const PointFourier *p = *(PointFourier *const *)a;
    const PointFourier *q = *(PointFourier *const *)b;
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

/* Sorts the pointers and moves one chain of the hull to their front; returns
 * its length, the point after it being the chain's end. */
static int make_chain(int num_pts, int (*cmp)(const void *, const void *), PointFourier **point)
{
    qsort(point, (size_t)num_pts, sizeof *point, cmp);
    int s = 1;
    for (int i = 2; i < num_pts; i++) {
        int j = s;
        while (j >= 1 && turn(point[j - 1], point[j], point[i]) <= 0) {
            j--;
        }
        s = j + 1;
        PointFourier *swap = point[s];
        point[s] = point[i];
        point[i] = swap;
    }
    return s;
}

PointList *calc_2d_convex_hull(const PointList *cont)
{
    const char *function = "calc_2d_convex_hull";
    if (!is_nonempty_point_list(cont)) {
        report_error(function, "Invalid point list object !");
        return NULL;
    }
    int n = cont->num_pts;
    PointList *hull = alloc_point_list(n + 1);
    if (hull == NULL) {
        return NULL;
    }
    for (int i = 0; i < n; i++) {
        hull->point[i] = alloc_point(cont->point[i]->row, cont->point[i]->col);
        if (hull->point[i] == NULL) {
            delete_point_list(hull, i);
            return NULL;
        }
    }
    hull->type = GEN_VALID;
    int u = make_chain(n, cmpl, hull->point);
    hull->point[n] = alloc_point(hull->point[0]->row, hull->point[0]->col);
    if (hull->point[n] == NULL) {
        delete_point_list(hull, n);
        return NULL;
    }
    int m = make_chain(n - u + 1, cmph, hull->point + u);
    hull->num_pts = u + m;
    return hull;
}
