/* The whole interface of the imaging library. */
#ifndef IMAGING_H
#define IMAGING_H

#include "alloc_nd.h"
#include "canny_edges.h"
#include "convex_hull.h"
#include "deriche_filter.h"
#include "edgel_links.h"
#include "gradient_maxima.h"
#include "image.h"
#include "image_convert.h"
#include "img_error.h"
#include "img_types.h"
#include "outline_builder.h"
#include "outline_overlap.h"
#include "point_list.h"
#include "polygon_tools.h"
#include "scan_fill.h"
#include "texture.h"

#endif
