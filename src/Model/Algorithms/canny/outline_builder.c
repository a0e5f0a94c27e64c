#include "outline_builder.h"

#include "convex_hull.h"
#include "img_error.h"
#include "img_size.h"
#include "polygon_tools.h"
#include "scan_fill.h"

#include <limits.h>
#include <math.h>
#include <stdlib.h>

/* Nearest-point searches ignore points at this squared distance or more. */
static const double search_limit = 100000.0;

void compute_point_on_line(double a, double b, double d, double x1, double y1, double x2, double y2, double *xi,
                           double *yi)
{
    double norm = sqrt(a * a + b * b);
    if (fabs(a) < 1e-5) {
        *xi = (x1 <= x1 + d && x1 + d <= x2) ? x1 + d : x1 - d;
        *yi = y1;
    } else if (fabs(b) < 1e-5) {
        *yi = (y1 <= y1 + d && y1 + d <= y2) ? y1 + d : y1 - d;
        *xi = x1;
    } else {
        *xi = x1 - b * d / norm;
        if (*xi > fmin(x1, x2) && *xi < fmax(x1, x2)) {
            *yi = y1 + a * d / norm;
        } else {
            *xi = x1 + b * d / norm;
            *yi = y1 - a * d / norm;
        }
    }
}

static double squared_distance(const PointFourier *p, double row, double col)
{
    double dr = p->row - row, dc = p->col - col;
    return dr * dr + dc * dc;
}

/* Index of the first point of list nearest (row, col) among the first
 * count points, or -1 when none lies within the search limit. */
static int nearest_point(PointFourier *const *points, int count, double row, double col, double *best)
{
    int index = -1;
    *best = search_limit;
    for (int k = 0; k < count; k++) {
        double d = squared_distance(points[k], row, col);
        if (d < *best) {
            *best = d;
            index = k;
        }
    }
    return index;
}

/* The largest distance between two of the h + 1 hull entries. */
static double hull_diameter(const PointList *hull)
{
    int entries = hull->num_pts + 1;
    double longest = 0.0;
    for (int i = 0; i < entries; i++) {
        for (int j = i + 1; j < entries; j++) {
            double d = sqrt(squared_distance(hull->point[i], hull->point[j]->row, hull->point[j]->col));
            if (d > longest) {
                longest = d;
            }
        }
    }
    return longest;
}

/* A growing outline: as many points as the hull's long sides ask for. */
typedef struct {
    PointList *list;
    size_t capacity;
} Outline;

static int append(Outline *out, double row, double col)
{
    size_t needed = (size_t)out->list->num_pts + 1;
    if (needed > INT_MAX || !grow_array((void **)&out->list->point, &out->capacity, needed, sizeof(PointFourier *))) {
        return 0;
    }
    PointFourier *p = alloc_point(row, col);
    if (p == NULL) {
        return 0;
    }
    out->list->point[out->list->num_pts++] = p;
    return 1;
}

/* Adds the contour points near the hull side from a to b of length len. */
static int step_along_side(Outline *out, const PointList *in, const PointList *hull, const PointFourier *a,
                           const PointFourier *b, double len, double gap, double diameter)
{
    int entries = hull->num_pts + 1;
    double na = a->row - b->row, nb = b->col - a->col;
    double dc, dh, x, y;
    if (len > diameter / 2) {
        compute_point_on_line(na, nb, len / 2, a->col, a->row, b->col, b->row, &x, &y);
        nearest_point(in->point, in->num_pts, y, x, &dc);
        nearest_point(hull->point, entries, y, x, &dh);
        if (dc > dh / 2) {
            return 1; /* the contour keeps away from the middle of this side */
        }
    }
    if (!(len > gap)) {
        return 1;
    }
    int m = (int)(len / gap);
    double step = len / m;
    for (int k = 1; k < m; k++) {
        compute_point_on_line(na, nb, k * step, a->col, a->row, b->col, b->row, &x, &y);
        int c = nearest_point(in->point, in->num_pts, y, x, &dc);
        nearest_point(hull->point, entries, y, x, &dh);
        dh -= dh / 10;
        if (c >= 0 && dh > dc && !append(out, in->point[c]->row, in->point[c]->col)) {
            return 0;
        }
    }
    return 1;
}

/* The outline of valid lists in and hull, diameter being the hull's. */
static PointList *build_outline(const PointList *in, const PointList *hull, double gap, double diameter,
                                const char *function)
{
    Outline out = { alloc_point_list(in->num_pts + 1), 0 };
    if (out.list == NULL) {
        return NULL;
    }
    out.capacity = (size_t)in->num_pts + 1;
    out.list->num_pts = 0;
    int ok = append(&out, hull->point[0]->row, hull->point[0]->col);
    for (int i = 0; ok && i < hull->num_pts; i++) {
        const PointFourier *a = hull->point[i], *b = hull->point[i + 1];
        double len = sqrt(squared_distance(a, b->row, b->col));
        if (!(len < gap)) {
            ok = step_along_side(&out, in, hull, a, b, len, gap, diameter);
        }
        ok = ok && append(&out, b->row, b->col);
    }
    if (!ok) {
        delete_point_list(out.list, out.list->num_pts);
        report_error(function, "Insuficient memory !");
        return NULL;
    }
    /* The last point repeats the first: the outline closes implicitly. */
    free_point(out.list->point[--out.list->num_pts]);
    out.list->type = GEN_VALID;
    return out.list;
}

PointList *edge_approach2(const PointList *in, const PointList *hull)
{
    const char *function = "edge_approach2";
    if (!is_nonempty_point_list(in) || !is_nonempty_point_list(hull)) {
        report_error(function, "Invalid point list objects !");
        return NULL;
    }
    return build_outline(in, hull, 10.0, hull_diameter(hull), function);
}

PointList *edgeSortedFiltered(const PointList *in, double roundness, int minDiameter, int maxDiameter,
                              int flagRoundness, int flagDiameter)
{
    /* The hull refuses an invalid chain, and a hull always has a vertex. */
    HullView view;
    if (!calc_2d_convex_hull_view(in, &view)) {
        return NULL;
    }
    const PointList *hull = &view.list;
    PointList *outline = NULL;
    Box box = computeBoundingBox(hull);
    double diameter = hull_diameter(hull);
    int rejected = (flagRoundness && computeRoundness(hull, box) > roundness) ||
                   (flagDiameter && minDiameter > diameter) || diameter > maxDiameter;
    if (!rejected) {
        outline = build_outline(in, hull, minDiameter / 3.0, diameter, "edgeSortedFiltered");
    }
    free_hull_view(&view);
    return outline;
}
