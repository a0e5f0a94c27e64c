/* Shape descriptors of the object with a given positive label in a binary
 * or label image, and of its contour and convex hull. */
#ifndef SHAPE_DESC_H
#define SHAPE_DESC_H

#include "image.h"
#include "point_list.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Number of pixels equal to label; INT_MIN on invalid input. */
int count_obj_pixels(const Image *img, int label);
/* Bit-quad area: the weighted count of the 2 x 2 windows over the object,
 * which follows its outline more closely than the pixel count. */
double calc_obj_area(const Image *img, int label);
/* Width / height of the object's bounding box. */
double calc_aspect_ratio(const Image *img, int label);
/* A new point at the mean row and column of the object's pixels. */
PointFourier *calc_obj_centroid(const Image *img, int label);
/* A PIX_BIN image of the object's bounding box, 1 on the object. */
Image *crop_object(const Image *in_img, int label);
/* Diameter of the circle of the object's pixel count. */
double calc_equi_diameter(const Image *img, int label);
/* Largest distance between two points of the list. */
double calc_max_diameter(const PointList *cont);
/* Equivalent diameter / largest diameter of the contour. */
double calc_compactness(const Image *img, int label, const PointList *cont);
/* Object pixels / pixels of the filled hull polygon (hull as given by
 * calc_2d_convex_hull). */
double calc_solidity(const Image *in_img, int label, const PointList *hull);

#ifdef __cplusplus
}
#endif

#endif
