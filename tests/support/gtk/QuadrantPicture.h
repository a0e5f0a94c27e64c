#ifndef QUADRANTPICTURE_H
#define QUADRANTPICTURE_H

#include <filesystem>

// A picture in four coloured quadrants: red top left, green top right, blue
// bottom left, white bottom right. Where each part of it lands on a widget
// tells how the widget placed and scaled it.
void writeQuadrantPicture(const std::filesystem::path& file, int width, int height);

#endif
