/* Outer boundary tracing of labelled objects into chains. */
#ifndef TRACE_CONTOUR_H
#define TRACE_CONTOUR_H

#include "chain.h"
#include "image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The boundary of the object label (>= 1) of a label image, from its first
 * pixel in row-major order, followed counter-clockwise as seen on the image with
 * 8-connectivity until it returns to that pixel, an isolated pixel ends it,
 * or max_length entries are filled (with a warning). A closed boundary lists
 * its start pixel first and last. A new valid chain, or null. */
Chain *trace_contour(const Image *lab_img, int label, int max_length);

/* One chain per label 1 .. num_cc, chain k - 1 for label k. A new valid
 * list, or null. */
ChainList *trace_contours(const Image *lab_img, int max_length);

#ifdef __cplusplus
}
#endif

#endif
