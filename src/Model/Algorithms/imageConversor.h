#ifndef IMAGECONVERSOR_H
#define IMAGECONVERSOR_H

#include <cstdint>
#include <opencv2/core.hpp>
#include <string>
#include <vector>

#include "PictureFileCheck.h"
#include "image.h"

// Turns picture files and OpenCV matrices into images of the imaging
// library: a colour image (bytes red, green, blue) or one grey plane (the
// grey level, one colour channel, or one Lab plane), optionally cropped.
// Pictures are read in colour as 8-bit blue-green-red matrices.
//
// Results are new images owned by the caller, released with free_img and
// then free. Failures to read throw the int 4; a failed allocation prints
// "Insufficient memory: " and gives null.
class ImageConversor {
 public:
  // channel: 0 grey level, 1 red, 2 green, 3 blue. wholeimage false crops
  // FileToImage to the rectangle given by setRectangle first.
  ImageConversor(int channel, bool wholeimage);

  void setChannel(int c);
  void setWholeImage(bool w);
  void setRectangle(int xmin, int ymin, int width, int height);

  // One grey plane of the file, cropped unless the whole image is used.
  Image* FileToImage(std::string filename);
  // The whole file as a colour image.
  Image* FileToRGBImage(std::string filename);
  // One plane of the file's Lab conversion: channel 1 the third plane, 2 the
  // second, 3 the first, 0 the grey conversion of the three (never cropped).
  Image* FileToLabImage(std::string filename);
  // An 8-bit three-channel matrix in blue-green-red order as a colour image.
  // Throws 4 for any other matrix type.
  Image* OpencvRGBToFourierImage(cv::Mat m);
  // The library's grey level (rgb_to_gray) of that colour image, made
  // without the colour image. Throws 4 for any other matrix type.
  Image* OpencvRGBToLibraryGrey(cv::Mat m);

 private:
  int channel;
  bool wholeimage;
  std::vector<int> rect;  // xmin, ymin, width, height; empty until set
};

// Reads a picture file the way every analysis reads it: in colour, 8-bit
// blue-green-red, with the file's orientation tag ignored so that pixel
// coordinates match the picture as the canvas shows it. Empty when the file
// cannot be read, when it is not a regular file (refused before anything
// reads it), when an analysis of it would exceed `limitBytes`
// (PictureFileCheck::detectionRefusal: judged by the header before
// decoding, and by the decoder's own size before it reserves the pixels,
// PictureDecodeBound), or when it is incomplete; the reason of these
// refusals is printed and, when `refusal` is given, put there for the user
// (it is emptied otherwise). OpenCV errors propagate as cv::Exception.
cv::Mat readColourPicture(const std::string& filename, std::string* refusal = nullptr,
                          std::uint64_t limitBytes = PictureFileCheck::defaultDecodedLimit());

// The grey level of an 8-bit three-channel matrix, as a new grey image,
// with the program's conversion: Lumora weighs the first stored byte 0.299
// (red-green-blue order), Cavitra the third (blue-green-red order, the
// order of a picture as read). Throws 4 for other types.
Image* MatRGBToImageGREY(const cv::_InputArray& src);
// Plane c of an 8-bit three-channel matrix as a new grey image: 1 the
// third byte (red of a picture as read), 2 the second, 3 the first; any
// other value the grey level as MatRGBToImageGREY. Throws 4 for other types.
Image* MatRGBToImageGREYChannel(const cv::_InputArray& src, int c);

#endif
