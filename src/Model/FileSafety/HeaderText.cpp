#include "HeaderText.h"

HeaderText::HeaderText(const PictureFileBytes& file)
    : bytes(file.at(0, longestHeader)), cut(file.size() > bytes.size()) {}

HeaderReading HeaderText::ranOut() const {
  return HeaderReading::of(cut ? HeaderReading::cannotTell : HeaderReading::decoderRefuses);
}
