/* Chains: boundaries kept as the pixel positions of their steps with the
 * direction each step arrived from, and lists of chains traced from one
 * image. */
#ifndef CHAIN_H
#define CHAIN_H

#include "image.h"
#include "img_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Entries 0 .. length - 1 of the three arrays are in use; length is INT_MIN
 * while the chain holds nothing. dir[i] is the direction (0 east, then
 * counter-clockwise in steps of 45 degrees up to 7 south-east) by which
 * entry i was reached. */
typedef struct {
    GenericType type;
    int length;
    int *row;
    int *col;
    int *dir;
} Chain;

/* num_chains chains of capacity max_length each, traced from an image of
 * num_rows x num_cols pixels. */
typedef struct {
    GenericType type;
    int num_chains;
    int max_length;
    int num_rows;
    int num_cols;
    Chain **chain;
} ChainList;

/* A new empty GEN_INVALID chain with room for max_length entries, or null. */
Chain *alloc_chain(int max_length);
/* Releases the entry arrays and empties the chain; the structure stays the
 * caller's. Null is ignored. */
void free_chain(Chain *chain);
Bool is_valid_chain(const Chain *chain);
int get_chain_len(const Chain *chain);
int *get_chain_rows(const Chain *chain);
int *get_chain_cols(const Chain *chain);
int *get_chain_dir(const Chain *chain);

/* A new GEN_INVALID list of num_chains empty chains, or null. */
ChainList *alloc_chain_list(int num_chains, int max_length, int num_rows, int num_cols);
/* Releases every chain and the slot array and invalidates the list; the
 * structure stays the caller's. An invalid or null list is ignored. */
void free_chain_list(ChainList *chain_list);
Chain *get_chain(const ChainList *chain_list, int index);
int get_num_chains(const ChainList *chain_list);
/* A PIX_BIN image of the list's size with 1 at every entry of every chain. */
Image *chain_list_to_img(const ChainList *chain_list);

#ifdef __cplusplus
}
#endif

#endif
