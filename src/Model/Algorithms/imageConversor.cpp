#include "imageConversor.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <stdexcept>

#include "PictureDecodeBound.h"
#include "PictureFileCheck.h"
#include "ProgramProfile.h"
#include "RegularFileRead.h"
#include "image_convert.h"

namespace {

void checkColourMatrix(const cv::Mat& m) {
  if (m.empty() || m.type() != CV_8UC3) throw 4;
}

// A new image of the matrix's size and pixel type, or null with the
// memory message.
Image* allocLike(PixelType type, const cv::Mat& m) {
  Image* img = alloc_img(type, m.rows, m.cols);
  if (img == nullptr) std::cout << "Insufficient memory: " << std::endl;
  return img;
}

// Copies an 8-bit single-channel matrix into a new grey image.
Image* greyMatToImage(const cv::Mat& grey) {
  Image* img = allocLike(PIX_GRAY, grey);
  if (img == nullptr) return nullptr;
  const size_t rowBytes = static_cast<size_t>(grey.cols);
  for (int r = 0; r < grey.rows; r++) {
    std::memcpy(img->data_1d.byte_data + r * rowBytes, grey.ptr<unsigned char>(r), rowBytes);
  }
  return img;
}

// The one place the grey conversion is chosen: the program's profile says
// in which order the weights meet the stored bytes.
cv::Mat greyLevel(const cv::Mat& colour) {
  cv::Mat grey;
  cv::cvtColor(colour, grey, ProgramProfile::current().greyConversionCode);
  return grey;
}

// Reads a picture for conversion; every failure becomes the int 4.
cv::Mat readForConversion(const std::string& filename) {
  cv::Mat m;
  try {
    m = readColourPicture(filename);
  } catch (const cv::Exception& e) {
    std::cout << "exception caught: " << e.what() << std::endl;
    throw 4;
  }
  checkColourMatrix(m);
  return m;
}

// A new image of `type` made from an 8-bit three-channel matrix pixel by
// pixel: `write` turns the bytes of one stored pixel (blue, green, red) into
// the image's samples of that pixel. Throws 4 for other matrices.
template <typename WritePixel>
Image* convertPixels(PixelType type, const cv::Mat& m, WritePixel write) {
  checkColourMatrix(m);
  Image* img = allocLike(type, m);
  if (img == nullptr) return nullptr;
  const int samples = type == PIX_RGB ? 3 : 1;
  unsigned char* out = img->data_1d.byte_data;
  for (int r = 0; r < m.rows; r++) {
    const unsigned char* in = m.ptr<unsigned char>(r);
    for (int c = 0; c < m.cols; c++, in += 3, out += samples) write(in, out);
  }
  return img;
}

}  // namespace

cv::Mat readColourPicture(const std::string& filename, std::string* refusal, std::uint64_t limitBytes) {
  // Opened without waiting, then judged and decoded through the very file
  // opened: a pipe or a device is refused before anything reads it, and the
  // header judged is the decoded file's, even when the name comes to lead
  // elsewhere meanwhile.
  const Model::RegularFileRead file(filename);
  std::string reason = file.notRegularFile() ? PictureFileCheck::notRegularMessage(filename) : "";
  if (reason.empty()) reason = PictureFileCheck::detectionRefusal(filename, file, limitBytes);
  // Half a cell would be measured as a whole one, so an incomplete picture
  // is not analysed at all.
  if (reason.empty() && !PictureFileCheck::isComplete(file))
    reason = PictureFileCheck::incompleteMessage(filename);
  // A file that cannot be opened (none, no permission) reads as empty.
  cv::Mat picture;
  if (reason.empty() && file.readable()) {
    PictureDecodeBound bound(filename, limitBytes);
    try {
      picture = cv::imread(file.openedName(), cv::IMREAD_COLOR | cv::IMREAD_IGNORE_ORIENTATION);
    } catch (const cv::Exception&) {
      if (bound.refusal().empty()) throw;
    }
    reason = bound.refusal();
  }
  if (refusal != nullptr) *refusal = reason;
  if (!reason.empty()) {
    std::cout << reason << std::endl;
    return cv::Mat();
  }
  return picture;
}

Image* MatRGBToImageGREY(const cv::_InputArray& src) {
  const cv::Mat m = src.getMat();
  checkColourMatrix(m);
  return greyMatToImage(greyLevel(m));
}

Image* MatRGBToImageGREYChannel(const cv::_InputArray& src, int c) {
  const cv::Mat m = src.getMat();
  checkColourMatrix(m);
  if (c < 1 || c > 3) return greyMatToImage(greyLevel(m));
  cv::Mat plane;
  cv::extractChannel(m, plane, 3 - c);
  return greyMatToImage(plane);
}

ImageConversor::ImageConversor(int channel, bool wholeimage) : channel(channel), wholeimage(wholeimage) {}

void ImageConversor::setChannel(int c) { channel = c; }

void ImageConversor::setWholeImage(bool w) { wholeimage = w; }

void ImageConversor::setRectangle(int xmin, int ymin, int width, int height) { rect = {xmin, ymin, width, height}; }

Image* ImageConversor::FileToImage(std::string filename) {
  cv::Mat m = readForConversion(filename);
  if (!wholeimage) {
    try {
      m = m(cv::Rect(rect.at(0), rect.at(1), rect.at(2), rect.at(3))).clone();
    } catch (const cv::Exception& e) {
      std::cout << "exception caught: " << e.what() << std::endl;
      throw 4;
    } catch (const std::out_of_range&) {
      throw 4;  // no rectangle set
    }
  }
  return channel == 0 ? MatRGBToImageGREY(m) : MatRGBToImageGREYChannel(m, channel);
}

Image* ImageConversor::FileToRGBImage(std::string filename) {
  return OpencvRGBToFourierImage(readForConversion(filename));
}

Image* ImageConversor::FileToLabImage(std::string filename) {
  cv::Mat lab;
  cv::cvtColor(readForConversion(filename), lab, cv::COLOR_RGB2Lab);
  return MatRGBToImageGREYChannel(lab, channel);
}

Image* ImageConversor::OpencvRGBToFourierImage(cv::Mat m) {
  return convertPixels(PIX_RGB, m, [](const unsigned char* in, unsigned char* out) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
  });
}

Image* ImageConversor::OpencvRGBToLibraryGrey(cv::Mat m) {
  return convertPixels(PIX_GRAY, m, [](const unsigned char* in, unsigned char* out) {
    *out = rgb_pixel_to_gray(in[2], in[1], in[0]);
  });
}
