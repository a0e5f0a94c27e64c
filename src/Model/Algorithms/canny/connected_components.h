/* Connected-component labelling with hysteresis on raw 2-D or 3-D buffers
 * (dimensions x, y, z in theDim, x fastest; z = 1 for 2-D). A point belongs
 * to a component when its value is at least the low threshold; a component
 * survives when it holds enough such points and enough points at least the
 * high threshold. */
#ifndef CONNECTED_COMPONENTS_H
#define CONNECTED_COMPONENTS_H

#include "buffer_type.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One record per component of the labelling. */
typedef struct {
    int label;
    int pointsAboveLowThreshold;
    int pointsAboveHighThreshold;
    char completelyProcessed;
} typeConnectedComponent;

/* HysteresisThresholdingWithAllParams with the default connectivity (26,
 * 8 in 2-D), at least one point above each threshold, no limit on the
 * number of components and binary output (1 on kept points). */
int HysteresisThresholding(const void *inputBuf, bufferType typeIn, void *outputBuf, bufferType typeOut,
                           const int *theDim, double lowThreshold, double highThreshold);

/* Writes into outputBuf 0 outside the kept components and, on them, 1
 * (outputIsBinary) or their labels 1, 2, ... by decreasing size. When
 * 0 < maxNumberOfConnectedComponent < 65535 and more components survive,
 * only that many with the most points above low are kept. Returns the
 * number of kept components, or -1 on failure. */
int HysteresisThresholdingWithAllParams(const void *inputBuf, bufferType typeIn, void *outputBuf,
                                        bufferType typeOut, const int *theDim, double lowThreshold,
                                        double highThreshold, int connectivity, int minNumberOfPtsAboveLow,
                                        int minNumberOfPtsAboveHigh, int maxNumberOfConnectedComponent,
                                        int outputIsBinary);

/* Labels the points of marks (0 background, 100 above low, 200 above high)
 * into labels: one raster pass of provisional labels with an equivalence
 * array, then the components are counted, validated and sorted, and each
 * point gets its component's final label (0 when it was not kept).
 * *components receives a new array of all components, largest first, with
 * their final labels. Returns the number of kept components, or -1. */
int InternalConnectedComponentsExtraction(const unsigned short *marks, int *labels, const int *theDim,
                                          int connectivity, int minNumberOfPtsAboveLow, int minNumberOfPtsAboveHigh,
                                          int maxNumberOfConnectedComponent, typeConnectedComponent **components);

/* Frees provisional labels when the equivalence array is full: the labels
 * 1 .. num_labels are renumbered by their equivalence classes, the first
 * num_done points of labels are rewritten, and equivalence becomes the
 * identity over the new labels. Returns the number of labels in use. */
int LabelsOverflowManagement(int *labels, size_t num_done, int *equivalence, int num_labels);

/* Quicksort (middle element as pivot) by pointsAboveLowThreshold, largest
 * first, of tab[left .. right]. */
void SortConnectedComponents(typeConnectedComponent *tab, int left, int right);

/* Writes the final value of every point into outputBuf: 0 for background
 * and components not kept, else 1 (outputIsBinary) or the final label;
 * labels beyond what typeOut holds (127, 255 or 32767) are shared, with a
 * diagnostic. Returns 1, or 0 for an output type it cannot write. */
int RelabelConnectedComponents(const int *labels, size_t num_points, int num_kept, void *outputBuf,
                               bufferType typeOut, int outputIsBinary);

/* Fills offsets (room for 13) with the (x, y, z) steps to the neighbours a
 * raster scan has already visited, for connectivity 4, 6, 8, 10, 18 or 26;
 * returns their number, 0 for any other connectivity. */
int InitNeighborsOffsets(int (*offsets)[3], int connectivity);

/* The connectivity when it is 4, 6, 8, 10, 18 or 26, else 26; in 2-D
 * (dimz 1) 4 and 6 become 4 and the others 8. */
int CheckAndEvaluateConnectivity(int connectivity, int dimz);

#ifdef __cplusplus
}
#endif

#endif
