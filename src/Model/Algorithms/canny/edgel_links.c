#include "edgel_links.h"

#include "img_parallel.h"
#include "img_size.h"

#include <stdlib.h>

/* Nodes are handed out from blocks instead of one allocation each: a large
 * image has millions of links. */
enum { LINKS_PER_BLOCK = 4096 };

struct LinkBlock {
    struct LinkBlock *previous;
    osl_LINK nodes[LINKS_PER_BLOCK];
};

int alloc_edgel_links(EdgelLinks *links, int num_edgels)
{
    links->head = calloc(num_edgels > 0 ? (size_t)num_edgels : 1, sizeof *links->head);
    links->num_edgels = num_edgels;
    links->blocks = NULL;
    links->used_in_block = LINKS_PER_BLOCK;
    return links->head != NULL;
}

void free_edgel_links(EdgelLinks *links)
{
    while (links->blocks != NULL) {
        struct LinkBlock *previous = links->blocks->previous;
        free(links->blocks);
        links->blocks = previous;
    }
    free(links->head);
    links->head = NULL;
}

static osl_LINK *new_node(EdgelLinks *links)
{
    if (links->used_in_block == LINKS_PER_BLOCK) {
        struct LinkBlock *block = malloc(sizeof *block);
        if (block == NULL) {
            return NULL;
        }
        block->previous = links->blocks;
        links->blocks = block;
        links->used_in_block = 0;
    }
    return &links->blocks->nodes[links->used_in_block++];
}

static int prepend(int edgel, int to, EdgelLinks *links)
{
    osl_LINK *node = new_node(links);
    if (node == NULL) {
        return 0;
    }
    node->to = to;
    node->nextl = links->head[edgel];
    links->head[edgel] = node;
    return 1;
}

int Add_linkOX(int edgel, int to, EdgelLinks *links)
{
    return prepend(edgel, to, links) && prepend(to, edgel, links);
}

/* Finds "the edgel of row R with the smallest column not below v" for one
 * kind of query. The edgels of a row are visited left to right, so v only
 * grows while a row is being linked and the cursor only moves forward: the
 * searches of a whole row cost one pass over the rows they look into. */
typedef struct {
    int pos;
    int end;
} RowCursor;

static RowCursor cursor_at(const int *rows, int r) { return (RowCursor){ rows[r], rows[r + 1] }; }

static int first_from(RowCursor *cursor, const int *col, int v)
{
    while (cursor->pos < cursor->end && col[cursor->pos] < v) {
        cursor->pos++;
    }
    return cursor->pos < cursor->end ? cursor->pos : -1;
}

/* The first edgel from column v when it lies exactly at v, else -1. */
static int edgel_at(RowCursor *cursor, const int *col, int v)
{
    int k = first_from(cursor, col, v);
    return k >= 0 && col[k] == v ? k : -1;
}

/* The links made by the rule, as pairs of edgel indices in order. */
typedef struct {
    int *ends; /* 2 per link */
    size_t count;
    size_t capacity; /* in ints */
} LinkPairs;

/* Which links are kept: those whose ends both have a modulus above
 * min_modulus; all of them when grad is null. */
typedef struct {
    const float *grad;
    double min_modulus;
} PairFilter;

static int add_pair(LinkPairs *pairs, const PairFilter *filter, int i, int k)
{
    if (filter->grad != NULL &&
        !(filter->grad[i] > filter->min_modulus && filter->grad[k] > filter->min_modulus)) {
        return 1;
    }
    if (2 * pairs->count + 2 > pairs->capacity &&
        !grow_array((void **)&pairs->ends, &pairs->capacity, 2 * pairs->count + 2, sizeof *pairs->ends)) {
        return 0;
    }
    pairs->ends[2 * pairs->count] = i;
    pairs->ends[2 * pairs->count + 1] = k;
    pairs->count++;
    return 1;
}

/* Runs the linking rule over the edgels of rows [first_row, end_row) and
 * records every link (i, k), i < k, in the order the rule makes them. The
 * links a row makes depend only on the positions of the edgels, so bands
 * of rows may be linked apart and their links put one after the other. */
static int link_pairs(const int *col, const int *rows, int num_rows, int first_row, int end_row,
                      const PairFilter *filter, LinkPairs *pairs)
{
    int count = rows[num_rows];
    int ok = 1;
#define LINK(k) (ok = ok && add_pair(pairs, filter, i, (k)))
    for (int r = first_row; r < end_row; r++) {
        int has_below = r + 1 < num_rows;
        int has_two_below = r + 2 < num_rows;
        /* One cursor per kind of query, named by row and column offset. */
        RowCursor below_m1 = cursor_at(rows, has_below ? r + 1 : r), below_m2 = below_m1, below_p2 = below_m1;
        RowCursor two_below_0 = cursor_at(rows, has_two_below ? r + 2 : r), two_below_m1 = two_below_0;
        RowCursor above_m1 = cursor_at(rows, r > 0 ? r - 1 : r), above_p1 = above_m1;
        for (int i = rows[r]; i < rows[r + 1]; i++) {
            int c = col[i];
            int next = i + 1 < rows[r + 1] ? i + 1 : -1;
            int prev = i - 1 >= rows[r] ? i - 1 : -1;
            int E = 0, W = 0, S = 0;
            if (next >= 0 && col[next] == c + 1) {
                LINK(next);
                E = 1;
            }
            if (prev >= 0 && col[prev] == c - 1) {
                W = 1;
            }
            if (rows[r + 1] < count) {
                int k = first_from(&below_m1, col, c - 1);
                if (k < 0) {
                    continue;
                }
                if (k + 1 < rows[r + 2] && col[k + 1] == c) {
                    k++;
                }
                if (col[k] == c) {
                    LINK(k);
                    S = 1;
                }
                if (!E && !S && col[k] == c + 1) {
                    LINK(k);
                    E = S = 1;
                }
                if (!W && !S && col[k] == c - 1) {
                    LINK(k);
                    S = W = 1;
                }
                /* Neighbours above were linked from their own side. */
                if (r > 0) {
                    W = W || edgel_at(&above_m1, col, c - 1) >= 0;
                    E = E || edgel_at(&above_p1, col, c + 1) >= 0;
                }
                if (E && W && S) {
                    continue;
                }
                if (!E && next >= 0 && col[next] == c + 2) {
                    LINK(next);
                    E = 1;
                }
                if (prev >= 0 && col[prev] == c - 2) {
                    W = 1;
                }
                int rows_after_next = rows[r + 2] < count;
                int d;
                if (!S && rows_after_next && (d = edgel_at(&two_below_0, col, c)) >= 0) {
                    LINK(d);
                    S = 1;
                }
                if (E && W && S) {
                    continue;
                }
                if (!W && (d = edgel_at(&below_m2, col, c - 2)) >= 0) {
                    LINK(d);
                    S = 1;
                }
                if (!E && (d = edgel_at(&below_p2, col, c + 2)) >= 0) {
                    LINK(d);
                    S = 1;
                }
                if (!S && rows_after_next) {
                    d = first_from(&two_below_m1, col, c - 1);
                    if (d >= 0 && (col[d] == c - 1 || col[d] == c + 1)) {
                        LINK(d);
                    }
                }
            } else if (!E) {
                if (r > 0 && edgel_at(&above_p1, col, c + 1) >= 0) {
                    continue;
                }
                if (next >= 0 && col[next] == c + 2) {
                    LINK(next);
                }
            }
        }
    }
#undef LINK
    return ok;
}

int Link_edgelsOX(const int *col, const int *rows, EdgelLinks *links, int num_rows, int num_cols)
{
    (void)num_cols;
    LinkPairs pairs = { NULL, 0, 0 };
    const PairFilter all = { NULL, 0.0 };
    int ok = link_pairs(col, rows, num_rows, 0, num_rows, &all, &pairs);
    for (size_t p = 0; ok && p < pairs.count; p++) {
        ok = Add_linkOX(pairs.ends[2 * p], pairs.ends[2 * p + 1], links);
    }
    free(pairs.ends);
    return ok;
}

/* Bands of rows linked in parallel, each into its own pair list. */
typedef struct {
    const int *col, *rows;
    int num_rows;
    const PairFilter *filter;
    long bands;
    LinkPairs *band_pairs;
} LinkJob;

static int link_band(long band, void *job_ptr)
{
    const LinkJob *job = job_ptr;
    long first, end;
    imaging_band(job->num_rows, job->bands, band, &first, &end);
    return link_pairs(job->col, job->rows, job->num_rows, (int)first, (int)end, job->filter,
                      &job->band_pairs[band]);
}

/* Room for about one link per edgel of each band, as on the edges of a
 * picture. It is taken on the calling thread: memory a worker thread takes
 * stays with that thread's allocator when freed, where the calling thread's
 * later allocations could not reuse it. */
static int reserve_band_pairs(const LinkJob *job)
{
    for (long band = 0; band < job->bands; band++) {
        long first, end;
        imaging_band(job->num_rows, job->bands, band, &first, &end);
        size_t edgels = (size_t)(job->rows[end] - job->rows[first]);
        LinkPairs *pairs = &job->band_pairs[band];
        if (!grow_array((void **)&pairs->ends, &pairs->capacity, 2 * edgels + 2, sizeof *pairs->ends)) {
            return 0;
        }
    }
    return 1;
}

int link_edgels_flat(const int *col, const int *rows, int num_rows, const float *grad, double min_modulus,
                     EdgelAdjacency *adj)
{
    int n = rows[num_rows];
    adj->num_edgels = n;
    adj->to = NULL;
    adj->first = calloc((size_t)n + 1, sizeof *adj->first);
    const PairFilter viable = { grad, min_modulus };
    LinkJob job = { col, rows, num_rows, &viable, imaging_band_count(num_rows, 16), NULL };
    job.band_pairs = calloc((size_t)job.bands, sizeof *job.band_pairs);
    int ok = adj->first != NULL && job.band_pairs != NULL && reserve_band_pairs(&job) &&
             imaging_parallel(job.bands, link_band, &job);
    size_t count = 0;
    for (long b = 0; ok && b < job.bands; b++) {
        count += job.band_pairs[b].count;
    }
    if (ok) {
        adj->to = alloc_array(2 * count, sizeof *adj->to);
        ok = adj->to != NULL;
    }
    if (ok) {
        /* first[e] starts at the end of e's links and moves down as they
         * are placed, oldest last (bands in row order), so that they end
         * newest first. */
        for (long b = 0; b < job.bands; b++) {
            const LinkPairs *pairs = &job.band_pairs[b];
            for (size_t p = 0; p < 2 * pairs->count; p++) {
                adj->first[pairs->ends[p] + 1]++;
            }
        }
        for (int e = 0; e < n; e++) {
            adj->first[e + 1] += adj->first[e];
        }
        for (int e = 0; e < n; e++) {
            adj->first[e] = adj->first[e + 1];
        }
        for (long b = 0; b < job.bands; b++) {
            const LinkPairs *pairs = &job.band_pairs[b];
            for (size_t p = 0; p < pairs->count; p++) {
                int i = pairs->ends[2 * p], k = pairs->ends[2 * p + 1];
                adj->to[--adj->first[i]] = k;
                adj->to[--adj->first[k]] = i;
            }
        }
    }
    for (long b = 0; job.band_pairs != NULL && b < job.bands; b++) {
        free(job.band_pairs[b].ends);
    }
    free(job.band_pairs);
    if (!ok) {
        free_edgel_adjacency(adj);
    }
    return ok;
}

void free_edgel_adjacency(EdgelAdjacency *adj)
{
    free(adj->first);
    free(adj->to);
    adj->first = NULL;
    adj->to = NULL;
}
