#include "ImageMultiple.h"

#include "regionShape.h"

ImageMultiple::ImageMultiple(std::string filename, double width, double height, bool mergeimage)
    : ImageClass(std::move(filename), width, height), mergeimage(mergeimage) {}

ImageMultiple::~ImageMultiple() { clearRegions(); }

void ImageMultiple::clearRegions() {
  for (regionShape* region : regions) delete region;
  regions.clear();
}
