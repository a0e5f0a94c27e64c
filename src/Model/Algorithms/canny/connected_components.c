#include "connected_components.h"

#include "img_size.h"

#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

/* Marks of the thresholded points. */
static const unsigned short _low_value_ = 100;
static const unsigned short _hig_value_ = 200;
/* First capacity of the equivalence array; it grows when the labels of a
 * large buffer need more. */
static const int _EQUIVALENCE_ARRAY_SIZE_ = 65536;
static const int _MAXIMAL_LABEL_VALUE_ = 65535;
static const int _connectivity_ = 26;
static const int _minimum_size_of_components_ = 1;
static const int _maximum_number_of_components_ = 0;
/* Informative diagnostics are written only above 0. */
static const int _VERBOSE_ = 0;

int CheckAndEvaluateConnectivity(int connectivity, int dimz)
{
    int checked;
    switch (connectivity) {
    case 4: case 6: case 8: case 10: case 18: case 26: checked = connectivity; break;
    default: checked = 26; break;
    }
    if (dimz == 1) {
        return checked == 4 || checked == 6 ? 4 : 8;
    }
    return checked;
}

static int is_known_connectivity(int connectivity)
{
    return connectivity == 4 || connectivity == 6 || connectivity == 8 || connectivity == 10 ||
           connectivity == 18 || connectivity == 26;
}

int InitNeighborsOffsets(int (*offsets)[3], int connectivity)
{
    if (!is_known_connectivity(connectivity)) {
        return 0;
    }
    int n = 0;
    /* Steps within the slice: the point before and, unless only faces
     * count, the three of the row above; then the previous slice: the point
     * below only (6, 10), with its 4 face neighbours (18), or all 9 (26). */
    int faces_only = connectivity == 4 || connectivity == 6;
    for (int dy = -1; dy <= 0; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            if ((dy == 0 && dx >= 0) || (faces_only && dx != 0 && dy != 0)) continue;
            offsets[n][0] = dx;
            offsets[n][1] = dy;
            offsets[n][2] = 0;
            n++;
        }
    }
    if (connectivity == 4 || connectivity == 8) {
        return n;
    }
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            int steps = abs(dx) + abs(dy);
            if (((connectivity == 6 || connectivity == 10) && steps > 0) || (connectivity == 18 && steps > 1)) {
                continue;
            }
            offsets[n][0] = dx;
            offsets[n][1] = dy;
            offsets[n][2] = -1;
            n++;
        }
    }
    return n;
}

/* Root of a provisional label, compressing the path on the way. */
static int find_root(int *equivalence, int label)
{
    int root = label;
    while (equivalence[root] != root) {
        root = equivalence[root];
    }
    while (equivalence[label] != root) {
        int next = equivalence[label];
        equivalence[label] = root;
        label = next;
    }
    return root;
}

int LabelsOverflowManagement(int *labels, size_t num_done, int *equivalence, int num_labels)
{
    int *renumbered = alloc_array((size_t)num_labels + 1, sizeof *renumbered);
    if (renumbered == NULL) {
        fprintf(stderr, "LabelsOverflowManagement: insufficient memory\n");
        return -1;
    }
    /* A root is never larger than the labels of its class, so each class
     * gets its number before its other members are met. */
    int count = 0;
    for (int label = 1; label <= num_labels; label++) {
        int root = find_root(equivalence, label);
        renumbered[label] = root == label ? ++count : renumbered[root];
    }
    for (size_t i = 0; i < num_done; i++) {
        if (labels[i] != 0) {
            labels[i] = renumbered[labels[i]];
        }
    }
    for (int label = 1; label <= count; label++) {
        equivalence[label] = label;
    }
    free(renumbered);
    if (_VERBOSE_ > 0) {
        fprintf(stderr, "LabelsOverflowManagement: %d labels renumbered to %d\n", num_labels, count);
    }
    return count;
}

void SortConnectedComponents(typeConnectedComponent *tab, int left, int right)
{
    while (left < right) {
        int pivot = tab[left + (right - left) / 2].pointsAboveLowThreshold;
        int i = left, j = right;
        while (i <= j) {
            while (tab[i].pointsAboveLowThreshold > pivot) i++;
            while (tab[j].pointsAboveLowThreshold < pivot) j--;
            if (i <= j) {
                typeConnectedComponent swap = tab[i];
                tab[i] = tab[j];
                tab[j] = swap;
                i++;
                j--;
            }
        }
        /* Recurse into the smaller part and loop on the larger, so the
         * depth stays logarithmic. */
        if (j - left < right - i) {
            SortConnectedComponents(tab, left, j);
            left = i;
        } else {
            SortConnectedComponents(tab, i, right);
            right = j;
        }
    }
}

/* Provisional labelling of every marked point; labels receive the
 * provisional labels and *equivalence their classes. Returns the number of
 * provisional labels used, or -1. */
static int label_points(const unsigned short *marks, int *labels, const int *theDim, int connectivity,
                        int **equivalence)
{
    int offsets[13][3];
    int num_offsets = InitNeighborsOffsets(offsets, connectivity);
    if (num_offsets == 0) {
        return -1;
    }
    const int dimx = theDim[0], dimy = theDim[1], dimz = theDim[2];
    const ptrdiff_t plane = (ptrdiff_t)dimx * dimy;
    size_t capacity = (size_t)_EQUIVALENCE_ARRAY_SIZE_;
    int *eq = alloc_array(capacity, sizeof *eq);
    if (eq == NULL) {
        return -1;
    }
    int next = 1;
    size_t idx = 0;
    for (int z = 0; z < dimz; z++) {
        for (int y = 0; y < dimy; y++) {
            for (int x = 0; x < dimx; x++, idx++) {
                labels[idx] = 0;
                if (marks[idx] == 0) {
                    continue;
                }
                int best = 0;
                for (int k = 0; k < num_offsets; k++) {
                    int nx = x + offsets[k][0], ny = y + offsets[k][1], nz = z + offsets[k][2];
                    if (nx < 0 || nx >= dimx || ny < 0 || ny >= dimy || nz < 0) {
                        continue;
                    }
                    int neighbour = labels[idx + offsets[k][0] + offsets[k][1] * (ptrdiff_t)dimx + offsets[k][2] * plane];
                    if (neighbour == 0) {
                        continue;
                    }
                    int root = find_root(eq, neighbour);
                    if (best == 0) {
                        best = root;
                    } else if (root != best) {
                        int low = root < best ? root : best;
                        eq[root] = low;
                        eq[best] = low;
                        best = low;
                    }
                }
                if (best == 0) {
                    if ((size_t)next >= capacity) {
                        int used = LabelsOverflowManagement(labels, idx, eq, next - 1);
                        if (used < 0) {
                            free(eq);
                            return -1;
                        }
                        next = used + 1;
                        /* Too few labels freed: the array grows instead. */
                        if ((size_t)next * 2 > capacity &&
                            (capacity > (size_t)INT_MAX / 2 ||
                             !grow_array((void **)&eq, &capacity, capacity * 2, sizeof *eq))) {
                            free(eq);
                            return -1;
                        }
                    }
                    eq[next] = next;
                    best = next++;
                }
                labels[idx] = best;
            }
        }
    }
    *equivalence = eq;
    return next - 1;
}

/* Folds the provisional labels into components, counts their points,
 * validates and sorts them and gives the kept ones their final labels. */
int InternalConnectedComponentsExtraction(const unsigned short *marks, int *labels, const int *theDim,
                                          int connectivity, int minNumberOfPtsAboveLow, int minNumberOfPtsAboveHigh,
                                          int maxNumberOfConnectedComponent, typeConnectedComponent **components)
{
    int *eq = NULL;
    int num_labels = label_points(marks, labels, theDim, connectivity, &eq);
    if (num_labels < 0) {
        return -1;
    }
    size_t num_points = (size_t)theDim[0] * (size_t)theDim[1] * (size_t)theDim[2];
    int *component_of = alloc_array((size_t)num_labels + 1, sizeof *component_of);
    if (component_of == NULL) {
        free(eq);
        return -1;
    }
    int num_components = 0;
    for (int label = 1; label <= num_labels; label++) {
        int root = find_root(eq, label);
        component_of[label] = root == label ? num_components++ : component_of[root];
    }
    free(eq);
    typeConnectedComponent *tab = calloc(num_components > 0 ? (size_t)num_components : 1, sizeof *tab);
    int *final_label = calloc((size_t)num_components + 1, sizeof *final_label);
    if (tab == NULL || final_label == NULL) {
        free(tab);
        free(final_label);
        free(component_of);
        return -1;
    }
    for (size_t i = 0; i < num_points; i++) {
        if (labels[i] != 0) {
            int c = component_of[labels[i]];
            labels[i] = c + 1;
            tab[c].pointsAboveLowThreshold++;
            tab[c].pointsAboveHighThreshold += marks[i] >= _hig_value_;
        }
    }
    free(component_of);
    for (int c = 0; c < num_components; c++) {
        tab[c].label = c + 1;
        tab[c].completelyProcessed = 1;
    }
    if (num_components > 1) {
        SortConnectedComponents(tab, 0, num_components - 1);
    }
    int limited = maxNumberOfConnectedComponent > 0 && maxNumberOfConnectedComponent < _MAXIMAL_LABEL_VALUE_;
    int kept = 0;
    for (int c = 0; c < num_components; c++) {
        int valid = tab[c].pointsAboveLowThreshold >= minNumberOfPtsAboveLow &&
                         tab[c].pointsAboveHighThreshold >= minNumberOfPtsAboveHigh &&
                         (!limited || kept < maxNumberOfConnectedComponent);
        final_label[tab[c].label] = valid ? ++kept : 0;
        tab[c].label = final_label[tab[c].label];
    }
    for (size_t i = 0; i < num_points; i++) {
        labels[i] = final_label[labels[i]];
    }
    free(final_label);
    if (_VERBOSE_ > 0) {
        fprintf(stderr, "InternalConnectedComponentsExtraction: %d components found, %d kept\n", num_components, kept);
    }
    *components = tab;
    return kept;
}

static void write_value(void *buffer, bufferType type, size_t i, int value)
{
    switch (type) {
    case UCHAR: ((unsigned char *)buffer)[i] = (unsigned char)value; break;
    case SCHAR: ((signed char *)buffer)[i] = (signed char)value; break;
    case USHORT: ((unsigned short *)buffer)[i] = (unsigned short)value; break;
    case SSHORT: ((short *)buffer)[i] = (short)value; break;
    case INT: ((int *)buffer)[i] = value; break;
    case ULINT: ((unsigned long *)buffer)[i] = (unsigned long)value; break;
    case FLOAT: ((float *)buffer)[i] = (float)value; break;
    case DOUBLE: ((double *)buffer)[i] = value; break;
    default: break;
    }
}

static int largest_label(bufferType type)
{
    switch (type) {
    case UCHAR: return 255;
    case SCHAR: return 127;
    case USHORT: return 65535;
    case SSHORT: return 32767;
    case INT: case ULINT: case FLOAT: case DOUBLE: return INT_MAX;
    default: return 0;
    }
}

int RelabelConnectedComponents(const int *labels, size_t num_points, int num_kept, void *outputBuf,
                               bufferType typeOut, int outputIsBinary)
{
    int top = largest_label(typeOut);
    if (top == 0) {
        fprintf(stderr, "RelabelConnectedComponents: such output type not handled\n");
        return 0;
    }
    if (!outputIsBinary && num_kept > top) {
        fprintf(stderr, "RelabelConnectedComponents: %d components for at most %d labels, labels are shared\n",
                num_kept, top);
    }
    for (size_t i = 0; i < num_points; i++) {
        int label = labels[i];
        int value = label == 0 ? 0 : outputIsBinary ? 1 : (label - 1) % top + 1;
        write_value(outputBuf, typeOut, i, value);
    }
    return 1;
}

static double read_value(const void *buffer, bufferType type, size_t i)
{
    switch (type) {
    case UCHAR: return ((const unsigned char *)buffer)[i];
    case SCHAR: return ((const signed char *)buffer)[i];
    case USHORT: return ((const unsigned short *)buffer)[i];
    case SSHORT: return ((const short *)buffer)[i];
    case INT: return ((const int *)buffer)[i];
    case ULINT: return (double)((const unsigned long *)buffer)[i];
    case FLOAT: return ((const float *)buffer)[i];
    default: return ((const double *)buffer)[i];
    }
}

int HysteresisThresholdingWithAllParams(const void *inputBuf, bufferType typeIn, void *outputBuf,
                                        bufferType typeOut, const int *theDim, double lowThreshold,
                                        double highThreshold, int connectivity, int minNumberOfPtsAboveLow,
                                        int minNumberOfPtsAboveHigh, int maxNumberOfConnectedComponent,
                                        int outputIsBinary)
{
    const char *function = "HysteresisThresholdingWithAllParams";
    if (inputBuf == NULL || outputBuf == NULL || theDim == NULL) {
        fprintf(stderr, "%s: NULL buffer(s) or dimensions\n", function);
        return -1;
    }
    if (theDim[0] < 1 || theDim[1] < 1 || theDim[2] < 1) {
        fprintf(stderr, "%s: dimensions must be positive\n", function);
        return -1;
    }
    if (typeIn <= TYPE_UNKNOWN || typeIn > DOUBLE || largest_label(typeOut) == 0) {
        fprintf(stderr, "%s: such buffer type not handled\n", function);
        return -1;
    }
    size_t plane, num_points;
    if (!size_mul((size_t)theDim[0], (size_t)theDim[1], &plane) || !size_mul(plane, (size_t)theDim[2], &num_points)) {
        fprintf(stderr, "%s: buffer too large\n", function);
        return -1;
    }
    unsigned short *marks = alloc_array(num_points, sizeof *marks);
    int *labels = alloc_array(num_points, sizeof *labels);
    if (marks == NULL || labels == NULL) {
        free(marks);
        free(labels);
        fprintf(stderr, "%s: insufficient memory\n", function);
        return -1;
    }
    for (size_t i = 0; i < num_points; i++) {
        double v = read_value(inputBuf, typeIn, i);
        marks[i] = v >= highThreshold ? _hig_value_ : v >= lowThreshold ? _low_value_ : 0;
    }
    typeConnectedComponent *components = NULL;
    int kept = InternalConnectedComponentsExtraction(marks, labels, theDim,
                                                     CheckAndEvaluateConnectivity(connectivity, theDim[2]),
                                                     minNumberOfPtsAboveLow, minNumberOfPtsAboveHigh,
                                                     maxNumberOfConnectedComponent, &components);
    if (kept < 0) {
        fprintf(stderr, "%s: insufficient memory\n", function);
    } else {
        RelabelConnectedComponents(labels, num_points, kept, outputBuf, typeOut, outputIsBinary);
    }
    free(components);
    free(marks);
    free(labels);
    return kept;
}

int HysteresisThresholding(const void *inputBuf, bufferType typeIn, void *outputBuf, bufferType typeOut,
                           const int *theDim, double lowThreshold, double highThreshold)
{
    return HysteresisThresholdingWithAllParams(inputBuf, typeIn, outputBuf, typeOut, theDim, lowThreshold,
                                               highThreshold, _connectivity_, _minimum_size_of_components_, 1,
                                               _maximum_number_of_components_, 1);
}
