#ifndef IMAGEHANDLE_H
#define IMAGEHANDLE_H

#include <memory>

#include "image.h"

// Releases an image the imaging library allocated, samples and structure.
struct ImageRelease {
  void operator()(Image* img) const { delete_img(img); }
};

// Sole owner of an image of the imaging library.
using ImagePtr = std::unique_ptr<Image, ImageRelease>;

#endif
