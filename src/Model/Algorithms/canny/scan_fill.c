#include "scan_fill.h"

#include "img_error.h"
#include "img_size.h"

#include <math.h>
#include <stdlib.h>

/* Vertices of a polygon, closed by repeating the first (x[n] = x[0]). */
typedef struct {
    int *x;
    int *y;
    int n;
} Polygon;

typedef struct {
    int xmin, ymin, xmax, ymax;
} Window;

/* One non-horizontal side: xa is its x on the current scan line and dx its
 * change per line downward. */
typedef struct {
    int ymax;
    int ymin;
    float xa;
    float dx;
} Edge;

/* Edges sorted by ymax, largest first. */
typedef struct {
    Edge *edge;
    int count;
} EdgeTable;

/* What a scan does with each span: add its width to area, and, when rows is
 * set, mark its pixels in the mask window. */
typedef struct {
    double area;
    byte **rows;
    int origin_row, origin_col, num_rows, num_cols;
} SpanSink;

static void free_polygon(Polygon *poly)
{
    free(poly->x);
    free(poly->y);
    poly->x = poly->y = NULL;
}

static int alloc_polygon(Polygon *poly, size_t capacity)
{
    poly->x = alloc_array(capacity, sizeof(int));
    poly->y = alloc_array(capacity, sizeof(int));
    poly->n = 0;
    if (poly->x == NULL || poly->y == NULL) {
        free_polygon(poly);
        return 0;
    }
    return 1;
}

static void close_polygon(Polygon *poly)
{
    poly->x[poly->n] = poly->x[0];
    poly->y[poly->n] = poly->y[0];
}

static int sign(long long v) { return (v > 0) - (v < 0); }

/* Side of P relative to the window edge W1 -> W2: 1 or 0 is inside. */
static int visible(int px, int py, int w1x, int w1y, int w2x, int w2y)
{
    return sign(((long long)w2x - w1x) * ((long long)py - w1y) - ((long long)w2y - w1y) * ((long long)px - w1x));
}

/* Meeting point of the line S -> P with the window edge's line, truncated.
 * Computed in double: window and vertex coordinates may be far apart when a
 * polygon reaches beyond the image. */
static void intersect(int sx, int sy, int px, int py, int w1x, int w1y, int w2x, int w2y, int *ix, int *iy)
{
    double a1 = py - sy, b1 = sx - px, c1 = a1 * sx + b1 * sy;
    double a2 = w2y - w1y, b2 = w1x - w2x, c2 = a2 * w1x + b2 * w1y;
    double det = a1 * b2 - a2 * b1;
    *ix = (int)((b2 * c1 - b1 * c2) / det);
    *iy = (int)((a1 * c2 - a2 * c1) / det);
}

/* Sutherland-Hodgman clip against the four window edges in turn; an edge
 * that leaves nothing keeps the polygon as it was. */
static int clip_polygon(Polygon *poly, Window w)
{
    const int wx[5] = { w.xmin, w.xmax, w.xmax, w.xmin, w.xmin };
    const int wy[5] = { w.ymin, w.ymin, w.ymax, w.ymax, w.ymin };
    for (int e = 0; e < 4; e++) {
        Polygon out;
        /* Each vertex gives at most itself and one intersection. */
        if (!alloc_polygon(&out, 2 * (size_t)poly->n + 2)) {
            return 0;
        }
        int sx = 0, sy = 0, sv = 0;
        for (int k = 0; k < poly->n; k++) {
            int px = poly->x[k], py = poly->y[k];
            int pv = visible(px, py, wx[e], wy[e], wx[e + 1], wy[e + 1]);
            if (k > 0 && sv != 0 && pv == -sv) {
                intersect(sx, sy, px, py, wx[e], wy[e], wx[e + 1], wy[e + 1], &out.x[out.n], &out.y[out.n]);
                out.n++;
            }
            sx = px;
            sy = py;
            sv = pv;
            if (sv >= 0) {
                out.x[out.n] = sx;
                out.y[out.n] = sy;
                out.n++;
            }
        }
        int fv = visible(poly->x[0], poly->y[0], wx[e], wy[e], wx[e + 1], wy[e + 1]);
        if (out.n > 0 && sv != 0 && fv == -sv) {
            intersect(sx, sy, poly->x[0], poly->y[0], wx[e], wy[e], wx[e + 1], wy[e + 1], &out.x[out.n],
                      &out.y[out.n]);
            out.n++;
        }
        if (out.n > 0) {
            free_polygon(poly);
            *poly = out;
        } else {
            free_polygon(&out);
        }
    }
    close_polygon(poly);
    return 1;
}

/* One edge per non-horizontal side, inserted after every edge of larger or
 * equal ymax. */
static int load_edges(const Polygon *poly, EdgeTable *edges)
{
    edges->edge = alloc_array((size_t)poly->n + 1, sizeof *edges->edge);
    edges->count = 0;
    if (edges->edge == NULL) {
        return 0;
    }
    for (int k = 0; k < poly->n; k++) {
        int x1 = poly->x[k], y1 = poly->y[k], x2 = poly->x[k + 1], y2 = poly->y[k + 1];
        if (y1 == y2) {
            continue;
        }
        int top = y1 > y2 ? y1 : y2;
        Edge *edge = edges->edge;
        int pos = edges->count;
        while (pos > 0 && edge[pos - 1].ymax < top) {
            edge[pos] = edge[pos - 1];
            pos--;
        }
        edge[pos].ymax = top;
        edge[pos].ymin = y1 > y2 ? y2 : y1;
        edge[pos].xa = (float)(y1 > y2 ? x1 : x2);
        edge[pos].dx = -(float)(x2 - x1) / (float)(y2 - y1);
        edges->count++;
    }
    return 1;
}

static void fill_span(SpanSink *sink, int y, float x_left, float x_right)
{
    double width = (double)x_right - (double)x_left;
    sink->area += width;
    if (sink->rows == NULL) {
        return;
    }
    int row = y - sink->origin_row;
    if (row < 0 || row >= sink->num_rows) {
        return;
    }
    int first = (int)x_left;
    int w = (int)width;
    int last = w <= 0 ? first : first + w;
    first -= sink->origin_col;
    last -= sink->origin_col;
    if (first < 0) first = 0;
    if (last >= sink->num_cols) last = sink->num_cols - 1;
    for (int col = first; col <= last; col++) {
        sink->rows[row][col] = 1;
    }
}

/* Scan lines from the top edge down; an edge covers the lines y with
 * ymin < y <= ymax. The active edges are [start, end) of the table. The
 * scan goes on while edges remain to be included: where every active edge
 * ends on the line on which the next ones begin (two vertices of equal y on
 * both sides), stopping at the empty active range would cut the polygon. */
static void scan_edges(EdgeTable *table, SpanSink *sink)
{
    Edge *e = table->edge;
    int count = table->count;
    if (count < 2) {
        return;
    }
    int start = 0, end = 0;
    int y = e[0].ymax;
    do {
        while (end < count && e[end].ymax >= y) {
            end++;
        }
        for (int k = start + 1; k < end; k++) {
            Edge moving = e[k];
            int m = k;
            while (m > start && e[m - 1].xa > moving.xa) {
                e[m] = e[m - 1];
                m--;
            }
            e[m] = moving;
        }
        for (int k = start; k + 1 < end; k += 2) {
            fill_span(sink, y, e[k].xa, e[k + 1].xa);
        }
        y--;
        int first_active = start;
        for (int k = first_active; k < end; k++) {
            if (e[k].ymin < y) {
                e[k].xa += e[k].dx;
                continue;
            }
            /* Drop edge k by moving the edges before it up one place. */
            for (int m = k; m > start; m--) {
                e[m] = e[m - 1];
            }
            start++;
        }
    } while (start != end || end < count);
}

/* Clips, loads and scans one polygon; 0 when memory runs out. */
static int scan_polygon(Polygon *poly, Window window, SpanSink *sink)
{
    EdgeTable edges;
    if (!clip_polygon(poly, window) || !load_edges(poly, &edges)) {
        return 0;
    }
    scan_edges(&edges, sink);
    free(edges.edge);
    return 1;
}

static int load_points(const PointList *in, Polygon *poly)
{
    if (!alloc_polygon(poly, (size_t)in->num_pts + 1)) {
        return 0;
    }
    for (int k = 0; k < in->num_pts; k++) {
        poly->x[k] = (int)in->point[k]->col;
        poly->y[k] = (int)in->point[k]->row;
    }
    poly->n = in->num_pts;
    close_polygon(poly);
    return 1;
}

double computeRoundness(const PointList *in, Box box)
{
    if (!is_nonempty_point_list(in)) {
        report_error("computeRoundness", "Invalid point list object !");
        return 0.0;
    }
    Polygon poly;
    if (!load_points(in, &poly)) {
        report_error("computeRoundness", "Insufficient memory !");
        return 0.0;
    }
    double perimeter = 0.0;
    for (int k = 0; k < poly.n; k++) {
        long long dx = (long long)poly.x[k + 1] - poly.x[k];
        long long dy = (long long)poly.y[k + 1] - poly.y[k];
        perimeter += sqrt((double)(dx * dx + dy * dy));
    }
    Window window = { box.min_col, box.min_row, box.max_col, box.max_row };
    SpanSink sink = { 0.0, NULL, 0, 0, 0, 0 };
    int ok = scan_polygon(&poly, window, &sink);
    free_polygon(&poly);
    if (!ok) {
        report_error("computeRoundness", "Insufficient memory !");
        return 0.0;
    }
    return perimeter * perimeter / (12.566370614359172 * sink.area);
}

/* The polygon's own bounding box (minima from 10000, maxima from 0) cut to
 * the image, so that no span reaches outside it; a polygon inside the image
 * keeps its own box. Returns 0 when nothing of the box is in the image. */
static int mask_window(const Polygon *poly, int num_rows, int num_cols, Window *w)
{
    Window box = { 10000, 10000, 0, 0 };
    for (int k = 0; k < poly->n; k++) {
        if (poly->x[k] < box.xmin) box.xmin = poly->x[k];
        if (poly->x[k] > box.xmax) box.xmax = poly->x[k];
        if (poly->y[k] < box.ymin) box.ymin = poly->y[k];
        if (poly->y[k] > box.ymax) box.ymax = poly->y[k];
    }
    if (box.xmin < 0) box.xmin = 0;
    if (box.ymin < 0) box.ymin = 0;
    if (box.xmax > num_cols - 1) box.xmax = num_cols - 1;
    if (box.ymax > num_rows - 1) box.ymax = num_rows - 1;
    *w = box;
    return box.xmin <= box.xmax && box.ymin <= box.ymax;
}

static int fill_mask(Polygon *poly, int image_rows, int image_cols, SpanSink *sink)
{
    Window window;
    if (!mask_window(poly, image_rows, image_cols, &window)) {
        return 1;
    }
    return scan_polygon(poly, window, sink);
}

int fill_polygon_mask(const PointList *in, int image_rows, int image_cols, byte **mask_rows, int origin_row,
                      int origin_col, int rows, int cols)
{
    Polygon poly;
    if (!load_points(in, &poly)) {
        return 0;
    }
    SpanSink sink = { 0.0, mask_rows, origin_row, origin_col, rows, cols };
    int ok = fill_mask(&poly, image_rows, image_cols, &sink);
    free_polygon(&poly);
    return ok;
}

static Image *mask_image(Polygon *poly, int num_rows, int num_cols, const char *function)
{
    Image *mask = alloc_img(PIX_BIN, num_rows, num_cols);
    if (mask == NULL) {
        return NULL;
    }
    SpanSink sink = { 0.0, mask->data_nd.byte_data_1b, 0, 0, num_rows, num_cols };
    if (!fill_mask(poly, num_rows, num_cols, &sink)) {
        delete_img(mask);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    return mask;
}

Image *computeBinImage(const PointList *in, int num_rows, int num_cols)
{
    const char *function = "computeBinImage";
    if (!is_nonempty_point_list(in)) {
        report_error(function, "Invalid point list object !");
        return NULL;
    }
    Polygon poly;
    if (!load_points(in, &poly)) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    Image *mask = mask_image(&poly, num_rows, num_cols, function);
    free_polygon(&poly);
    return mask;
}

Image *computeBinImageVect(const int *col, const int *row, int nin, int num_rows, int num_cols)
{
    const char *function = "computeBinImageVect";
    if (nin < 1 || col == NULL || row == NULL) {
        report_error(function, "Invalid input dates !");
        return NULL;
    }
    Polygon poly;
    if (!alloc_polygon(&poly, (size_t)nin + 1)) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    for (int k = 0; k < nin; k++) {
        poly.x[k] = col[k];
        poly.y[k] = row[k];
    }
    poly.n = nin;
    close_polygon(&poly);
    Image *mask = mask_image(&poly, num_rows, num_cols, function);
    free_polygon(&poly);
    return mask;
}
