#include "chain.h"

#include "img_error.h"
#include "img_size.h"

#include <limits.h>
#include <stdlib.h>

Chain *alloc_chain(int max_length)
{
    const char *function = "alloc_chain";
    if (max_length < 1) {
        report_error_fmt(function, "Max length ( %d ) must be > 0 !", max_length);
        return NULL;
    }
    Chain *chain = malloc(sizeof *chain);
    int *row = alloc_array((size_t)max_length, sizeof *row);
    int *col = alloc_array((size_t)max_length, sizeof *col);
    int *dir = alloc_array((size_t)max_length, sizeof *dir);
    if (chain == NULL || row == NULL || col == NULL || dir == NULL) {
        free(chain);
        free(row);
        free(col);
        free(dir);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    chain->type = GEN_INVALID;
    chain->length = INT_MIN;
    chain->row = row;
    chain->col = col;
    chain->dir = dir;
    return chain;
}

/* The arrays are released whether or not the chain was ever traced: a chain
 * fresh from alloc_chain owns them just the same. */
void free_chain(Chain *chain)
{
    if (chain == NULL) {
        return;
    }
    free(chain->row);
    free(chain->col);
    free(chain->dir);
    chain->row = NULL;
    chain->col = NULL;
    chain->dir = NULL;
    chain->length = INT_MIN;
    chain->type = GEN_INVALID;
}

Bool is_valid_chain(const Chain *chain) { return chain != NULL && chain->type != GEN_INVALID; }

int get_chain_len(const Chain *chain)
{
    if (!is_valid_chain(chain)) {
        report_error("get_chain_len", "Invalid chain object !");
        return INT_MIN;
    }
    return chain->length;
}

static int *chain_array(const Chain *chain, int *array, const char *function)
{
    if (!is_valid_chain(chain)) {
        report_error(function, "Invalid chain object !");
        return NULL;
    }
    return array;
}

int *get_chain_rows(const Chain *chain) { return chain_array(chain, chain ? chain->row : NULL, "get_chain_rows"); }

int *get_chain_cols(const Chain *chain) { return chain_array(chain, chain ? chain->col : NULL, "get_chain_cols"); }

int *get_chain_dir(const Chain *chain) { return chain_array(chain, chain ? chain->dir : NULL, "get_chain_dir"); }

static void release_chains(Chain **chains, int count)
{
    for (int i = count - 1; i >= 0; i--) {
        free_chain(chains[i]);
        free(chains[i]);
        chains[i] = NULL;
    }
}

ChainList *alloc_chain_list(int num_chains, int max_length, int num_rows, int num_cols)
{
    const char *function = "alloc_chain_list";
    if (num_chains < 1) {
        report_error_fmt(function, "Number of chains ( %d ) must be positive !", num_chains);
        return NULL;
    }
    if (max_length < 1) {
        report_error_fmt(function, "Max length ( %d ) must be positive !", max_length);
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
    ChainList *list = malloc(sizeof *list);
    Chain **chains = calloc((size_t)num_chains, sizeof *chains);
    if (list == NULL || chains == NULL) {
        free(list);
        free(chains);
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    for (int i = 0; i < num_chains; i++) {
        chains[i] = alloc_chain(max_length);
        if (chains[i] == NULL) {
            release_chains(chains, i);
            free(chains);
            free(list);
            report_error(function, "Insufficient memory !");
            return NULL;
        }
    }
    list->type = GEN_INVALID;
    list->num_chains = num_chains;
    list->max_length = max_length;
    list->num_rows = num_rows;
    list->num_cols = num_cols;
    list->chain = chains;
    return list;
}

static Bool is_valid_chain_list(const ChainList *chain_list)
{
    return chain_list != NULL && chain_list->type != GEN_INVALID;
}

/* The list made the chains, and its slots are the only way to reach them,
 * so their structures go with their arrays. */
void free_chain_list(ChainList *chain_list)
{
    if (!is_valid_chain_list(chain_list)) {
        return;
    }
    release_chains(chain_list->chain, chain_list->num_chains);
    free(chain_list->chain);
    chain_list->chain = NULL;
    chain_list->num_chains = INT_MIN;
    chain_list->max_length = INT_MIN;
    chain_list->num_rows = INT_MIN;
    chain_list->num_cols = INT_MIN;
    chain_list->type = GEN_INVALID;
}

Chain *get_chain(const ChainList *chain_list, int index)
{
    const char *function = "get_chain";
    if (!is_valid_chain_list(chain_list)) {
        report_error(function, "Invalid chain list object !");
        return NULL;
    }
    if (index < 0) {
        report_error_fmt(function, "Chain index ( %d ) must be non-negative !", index);
        return NULL;
    }
    if (index >= chain_list->num_chains) {
        report_error_fmt(function, "Chain index ( %d ) must be less than the number of chains in the list ( %d ) !",
                         index, chain_list->num_chains);
        return NULL;
    }
    return chain_list->chain[index];
}

int get_num_chains(const ChainList *chain_list)
{
    if (!is_valid_chain_list(chain_list)) {
        report_error("get_num_chains", "Invalid chain list object !");
        return INT_MIN;
    }
    return chain_list->num_chains;
}

Image *chain_list_to_img(const ChainList *chain_list)
{
    const char *function = "chain_list_to_img";
    if (!is_valid_chain_list(chain_list)) {
        report_error(function, "Invalid chain list object !");
        return NULL;
    }
    Image *img = alloc_img(PIX_BIN, chain_list->num_rows, chain_list->num_cols);
    if (img == NULL) {
        report_error(function, "Insufficient memory !");
        return NULL;
    }
    for (int i = 0; i < chain_list->num_chains; i++) {
        const Chain *chain = chain_list->chain[i];
        /* An empty chain has length INT_MIN; a chain filled by hand may
         * claim more entries than it holds or lie outside the image, and
         * those entries are skipped rather than read or written. */
        for (int k = 0; k < chain->length && k < chain_list->max_length; k++) {
            int r = chain->row[k], c = chain->col[k];
            if (r >= 0 && r < img->num_rows && c >= 0 && c < img->num_cols) {
                img->data_nd.byte_data_1b[r][c] = 1;
            }
        }
    }
    return img;
}
