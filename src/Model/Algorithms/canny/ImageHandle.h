#ifndef IMAGEHANDLE_H
#define IMAGEHANDLE_H

#include <cstdlib>
#include <memory>

#include "image.h"

// Releases an image the imaging library allocated: free_img frees the pixel
// planes, the header itself was malloc'ed.
struct ImageRelease {
  void operator()(Image* img) const {
    free_img(img);
    std::free(img);
  }
};

// Sole owner of an image of the imaging library.
using ImagePtr = std::unique_ptr<Image, ImageRelease>;

#endif
