#include "ImageClass.h"

#include <utility>

ImageClass::ImageClass(std::string filename, double width, double height)
    : filename(std::move(filename)), width(static_cast<int>(width)), height(static_cast<int>(height)) {}

void ImageClass::setFilename(std::string name) { filename = std::move(name); }
int ImageClass::getWidth() const { return width; }
void ImageClass::setWidth(int w) { width = w; }
int ImageClass::getHeight() const { return height; }
void ImageClass::setHeight(int h) { height = h; }
void ImageClass::setMeasures(std::vector<double> values) { measures = std::move(values); }
