/* Neighbour links between edgels: each edgel owns a singly linked list of
 * the edgels it is linked to, newest first; links always go both ways. */
#ifndef EDGEL_LINKS_H
#define EDGEL_LINKS_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct osl_LINK {
    int to;
    struct osl_LINK *nextl;
} osl_LINK;

/* The link lists of every edgel; nodes come from blocks owned by the table. */
typedef struct {
    osl_LINK **head;
    int num_edgels;
    struct LinkBlock *blocks;
    int used_in_block;
} EdgelLinks;

/* A table of num_edgels empty lists; 0 when memory runs out. */
int alloc_edgel_links(EdgelLinks *links, int num_edgels);
void free_edgel_links(EdgelLinks *links);

/* Prepends to to the list of edgel and edgel to the list of to; 0 when
 * memory runs out. */
int Add_linkOX(int edgel, int to, EdgelLinks *links);

/* Links the edgels, given in row-major order, to their 8-neighbours and
 * across one-pixel gaps where no closer neighbour covers that side. col is
 * each edgel's column; rows (num_rows + 1 entries) the index of the first
 * edgel of each row, the last entry being the edgel count. 0 when memory
 * runs out. */
int Link_edgelsOX(const int *col, const int *rows, EdgelLinks *links, int num_rows, int num_cols);

/* The same links in flat arrays: the links of edgel e are
 * to[first[e]] .. to[first[e + 1] - 1], newest first, as in the lists
 * Link_edgelsOX builds. */
typedef struct {
    int *first; /* num_edgels + 1 entries */
    int *to;
    int num_edgels;
} EdgelAdjacency;

/* Links the edgels by Link_edgelsOX's rule into adj, keeping only the links
 * whose two ends have a modulus above min_modulus (every edgel decides the rule
 * whatever its modulus). 0 when memory runs out, with adj empty. */
int link_edgels_flat(const int *col, const int *rows, int num_rows, const float *grad, double min_modulus,
                     EdgelAdjacency *adj);
void free_edgel_adjacency(EdgelAdjacency *adj);

#ifdef __cplusplus
}
#endif

#endif
