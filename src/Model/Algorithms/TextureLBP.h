#ifndef TEXTURELBP_H
#define TEXTURELBP_H

#include <string>
#include <vector>

#include "ImageHandle.h"
#include "image.h"
#include "imageConversor.h"

class regionShape;

// Rotation-invariant uniform local binary patterns (riu2) of one channel of
// a picture inside a region, at radius 1 (8 samples), 2 (16) and 3 (24).
//
// Each pixel's samples lie on a circle, sample 0 straight below the centre,
// then on through the left, the top and the right; a sample off the pixel
// grid is interpolated bilinearly with weights rounded to six significant
// digits. A sample's bit is 1 when it is greater than the centre or within
// the float epsilon of it. A pattern's label is its number of 1 bits when it
// changes at most twice around the circle, and P + 1 otherwise.
//
// The features are, per radius, the share of the counted pixels with each
// label: bins 0-9 radius 1, 10-27 radius 2, 28-53 radius 3. Pixels count when
// they lie inside the region and at least the radius away from its bounding
// box (and from the picture's edge). Without an image, without a region or
// without a counted pixel every feature is 0.
class TextureLBP {
 public:
  static constexpr int featureCount = 54;

  TextureLBP();
  // Loads `channel` (0 grey, 1 red, 2 green, 3 blue) of `file` when the name
  // is longer than 2 characters; throws the int 4 when it cannot be read.
  TextureLBP(const std::string& file, int channel);
  ~TextureLBP();
  TextureLBP(const TextureLBP&) = delete;
  TextureLBP& operator=(const TextureLBP&) = delete;

  // Replaces the image by `channel` of `file`. When the file cannot be read
  // the int 4 is thrown and the object is left without an image.
  void setImage(const std::string& file, int channel);
  bool hasImage() const { return img != nullptr; }

  std::vector<float> computelbp54(regionShape* region);
  std::vector<float> computelbp8(regionShape* region);
  std::vector<float> computelbp16(regionShape* region);
  std::vector<float> computelbp24(regionShape* region);

  // The riu2 label of a circular bit pattern.
  static int uniformLabelVector(const std::vector<int>& bits);

 private:
  // Histograms of the given radii, one block after the other, over the
  // pixels at least `margin` inside the region's box.
  std::vector<float> histogram(regionShape* region, const std::vector<int>& radii, int margin);
  // Codes the pixel (x, y) at `radius` into the bit vector of that radius.
  std::vector<int>& code(int x, int y, int radius);
  void dropImage();

  std::string pathImage;
  ImageConversor imgconv{0, true};
  ImagePtr img;
  unsigned char** in_data = nullptr;
  int channel = 0;
  int imgWidth = 0;
  int imgHeight = 0;
  std::vector<int> f8 = std::vector<int>(8);
  std::vector<int> f16 = std::vector<int>(16);
  std::vector<int> f24 = std::vector<int>(24);
};

#endif
