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

#ifdef __cplusplus
}
#endif

#endif
