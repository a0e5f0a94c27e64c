#include "outline_overlap.h"

#include "img_size.h"
#include "polygon_tools.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

/* Measures of one outline used to compare it with others. */
typedef struct {
    double side; /* longer side of its bounding box */
    int xc, yc;  /* centre of its bounding box */
    double gap;  /* longest side of the closed outline */
} OutlineMeasures;

static OutlineMeasures measure(const PointList *outline)
{
    Box box = computeBoundingBox(outline);
    OutlineMeasures m;
    m.side = lengthestSide(&box);
    m.xc = box.min_col + get_box_width(&box) / 2;
    m.yc = box.min_row + get_box_height(&box) / 2;
    m.gap = distanceMaxBetweenPts(outline);
    return m;
}

static double centre_distance(const OutlineMeasures *a, const OutlineMeasures *b)
{
    long long dx = (long long)a->xc - b->xc, dy = (long long)a->yc - b->yc;
    return sqrt((double)(dx * dx + dy * dy));
}

/* Opens one group per outline still free, in order: an outline whose
 * centre lies inside the reference joins it when the reference's centre
 * lies inside it too, replaces the reference when only the reference's
 * centre lies inside it, and is dropped when only its own centre lies
 * inside the reference. Each group keeps the member of smallest gap (the
 * first among equals). Groups have no size limit. Returns the number of
 * groups, their selections in selected. */
static int form_groups(PointList *const *contour, int num_edges, const OutlineMeasures *m, int *selected)
{
    int *status = malloc((size_t)num_edges * sizeof *status);
    int *members = malloc((size_t)num_edges * sizeof *members);
    if (status == NULL || members == NULL) {
        free(status);
        free(members);
        return -1;
    }
    for (int i = 0; i < num_edges; i++) {
        status[i] = 1;
    }
    int groups = 0;
    for (int i = 0; i < num_edges; i++) {
        if (status[i] != 1) {
            continue;
        }
        int count = 1;
        members[0] = i;
        int r = i;
        for (int j = i + 1; j < num_edges; j++) {
            if (status[j] != 1 || !(centre_distance(&m[j], &m[r]) < m[j].side + m[r].side)) {
                continue;
            }
            int jr = point_inside_pt(contour[r], m[j].xc, m[j].yc);
            int rj = point_inside_pt(contour[j], m[r].xc, m[r].yc);
            if (jr && rj) {
                members[count++] = j;
                status[j] = 0;
            } else if (rj) {
                status[r] = 0;
                status[j] = 0;
                members[0] = j;
                r = j;
            } else if (jr) {
                status[j] = 0;
            }
        }
        int best = members[0];
        for (int k = 1; k < count; k++) {
            if (m[members[k]].gap < m[best].gap) {
                best = members[k];
            }
        }
        selected[groups++] = best;
    }
    free(status);
    free(members);
    return groups;
}

PointList **computeOverlappingTest(PointList *const *contour, int num_edges, int num_cols, int num_rows, int *nout)
{
    *nout = 0;
    if (contour == NULL || num_edges <= 0 || num_cols < 1 || num_rows <= 0) {
        printf("Invalid pointers or dates in computeOverlappingTest!");
        return NULL;
    }
    OutlineMeasures *m = alloc_array((size_t)num_edges, sizeof *m);
    int *selected = alloc_array((size_t)num_edges, sizeof *selected);
    int *alive = alloc_array((size_t)num_edges, sizeof *alive);
    PointList **result = alloc_array((size_t)num_edges, sizeof *result);
    int groups = -1;
    if (m != NULL && selected != NULL && alive != NULL && result != NULL) {
        for (int i = 0; i < num_edges; i++) {
            m[i] = measure(contour[i]);
        }
        groups = form_groups(contour, num_edges, m, selected);
    }
    if (groups < 0) {
        free(m);
        free(selected);
        free(alive);
        free(result);
        printf("Insuficient memory in computeOverlappingTest!");
        return NULL;
    }
    int count = 0;
    for (int g = 0; g < groups; g++) {
        alive[g] = 1;
    }
    for (int a = 0; a < groups; a++) {
        for (int b = a + 1; b < groups && alive[a]; b++) {
            int ia = selected[a], ib = selected[b];
            if (!alive[b] || !(centre_distance(&m[ia], &m[ib]) < (m[ia].side + m[ib].side) / 2)) {
                continue;
            }
            const PointList *A = contour[ia], *B = contour[ib];
            int nab = overlapingTest(A, B, 4);
            int nba = overlapingTest(B, A, 4);
            if (nab == 0 && nba == 0) {
                continue;
            }
            if ((nab == 4 && nba == 4) || (nab == 0 && nba == 4)) {
                alive[a] = 0;
            } else if (nba == 0 && nab == 4) {
                alive[b] = 0;
            } else {
                PointList *u = unionContour(A, B);
                double gap_u = u ? distanceMaxBetweenPts(u) : INFINITY;
                if (gap_u < m[ia].gap && gap_u < m[ib].gap) {
                    alive[a] = alive[b] = 0;
                    result[count++] = u;
                } else {
                    delete_point_list(u, u ? u->num_pts : 0);
                    if (m[ib].gap > m[ia].gap) {
                        alive[b] = 0;
                    } else {
                        alive[a] = 0;
                    }
                }
            }
        }
    }
    for (int g = 0; g < groups; g++) {
        if (alive[g]) {
            result[count++] = copyPointList(contour[selected[g]]);
        }
    }
    free(m);
    free(selected);
    free(alive);
    *nout = count;
    return result;
}
