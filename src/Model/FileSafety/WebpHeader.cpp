#include "WebpHeader.h"

#include <webp/decode.h>

namespace {

// The bytes OpenCV hands libwebp to tell a WebP and its size.
constexpr std::size_t headerBytes = 32;

}  // namespace

HeaderReading WebpHeader::read(const PictureFileBytes::Bytes& start) {
  WebPBitstreamFeatures features;
  if (start.size() < headerBytes || WebPGetFeatures(start.data(), headerBytes, &features) != VP8_STATUS_OK)
    return HeaderReading::of(HeaderReading::otherFormat);
  // A lossless stream may code a whole picture in a few bytes.
  return HeaderReading::sized(features.width, features.height, 0);
}
