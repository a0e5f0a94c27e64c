#include "HeaderText.h"

#include <algorithm>

namespace {

constexpr std::size_t blockBytes = 4096;

}  // namespace

int HeaderText::peek() {
  if (at == bytes.size() && bytes.size() < longestHeader) {
    const PictureFileBytes::Bytes block = file.at(bytes.size(), std::min(blockBytes, longestHeader - bytes.size()));
    bytes.insert(bytes.end(), block.begin(), block.end());
  }
  return at < bytes.size() ? bytes[at] : -1;
}

int HeaderText::next() {
  const int byte = peek();
  if (byte != -1) ++at;
  return byte;
}

HeaderReading HeaderText::ranOut() const {
  return HeaderReading::of(file.size() > at ? HeaderReading::cannotTell : HeaderReading::decoderRefuses);
}
