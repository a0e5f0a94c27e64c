#include "PictureFileCheck.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <unistd.h>

#include <cmath>

#include "PictureHeader.h"
#include "RegularFileRead.h"

namespace {

std::string megabytes(double bytes) {
  return std::to_string(static_cast<std::uint64_t>(std::ceil(bytes / (1u << 20)))) + " MB";
}

// Walks the markers of a JPEG after its start marker: segments carry their
// length, entropy-coded data runs until a marker other than a restart marker
// or a stuffed 0xFF 0x00. `next` gives the file's next byte, or -1 at its
// end. True when the end-of-image marker is reached.
template <typename NextByte>
bool jpegReachesItsEnd(NextByte next) {
  int byte = next();
  for (;;) {
    if (byte < 0) return false;
    if (byte != 0xFF) {
      byte = next();  // entropy-coded data
      continue;
    }
    const int marker = next();
    if (marker == 0xD9) return true;
    if (marker < 0) return false;
    if (marker == 0xFF) {
      byte = marker;  // a fill byte: the marker may follow
      continue;
    }
    if (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      byte = next();  // stuffing and restart markers carry no length
      continue;
    }
    const int high = next();
    const int low = high < 0 ? -1 : next();
    if (low < 0) return false;
    const int length = (high << 8) | low;
    if (length < 2) return false;
    for (int skipped = 2; skipped < length; ++skipped)
      if (next() < 0) return false;
    byte = next();
  }
}

// Why a picture of width x height pixels, taking `bytesPerPixel` each, may not
// be handled within `limitBytes`, or at all; empty when it may. Reckoned in
// double: the product of two header sizes and the bytes per pixel can exceed
// 64 bits.
std::string sizeReason(int width, int height, std::uint64_t bytesPerPixel, std::uint64_t limitBytes,
                       const std::string& takes, const std::string& user) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels: ";
  if (width > PictureFileCheck::largestSide || height > PictureFileCheck::largestSide)
    return size + "its sides may be at most " + std::to_string(PictureFileCheck::largestSide) + " pixels long";
  const double needed = static_cast<double>(width) * static_cast<double>(height) * static_cast<double>(bytesPerPixel);
  if (needed <= static_cast<double>(limitBytes)) return "";
  return size + takes + megabytes(needed) + " of memory, more than the " + megabytes(static_cast<double>(limitBytes)) +
         user + " on this computer";
}

// The refusal of the picture file at `path` for `reason`; empty without one.
std::string fileRefusal(const std::string& path, const std::string& reason) {
  return reason.empty() ? "" : "The picture " + path + " is " + reason + ".";
}

}  // namespace

std::uint64_t PictureFileCheck::defaultDecodedLimit() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return UINT64_MAX;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 4;
}

bool PictureFileCheck::readSize(const std::string& path, int& width, int& height) {
  width = height = 0;
  if (PictureHeader::readSize(path, width, height)) return true;
  // Any other format is asked of the picture loader, which may reserve room
  // for the claimed pixels while it reads the header.
  return gdk_pixbuf_get_file_info(path.c_str(), &width, &height) != nullptr && width > 0 && height > 0;
}

std::string PictureFileCheck::sizeRefusal(const std::string& path, std::uint64_t limitBytes) {
  int width = 0, height = 0;
  if (!readSize(path, width, height)) return "";
  return sizeRefusal(path, width, height, limitBytes);
}

std::string PictureFileCheck::sizeRefusal(const std::string& path, int width, int height, std::uint64_t limitBytes) {
  return fileRefusal(path, sizeRefusal(width, height, limitBytes));
}

std::string PictureFileCheck::sizeRefusal(int width, int height, std::uint64_t limitBytes) {
  return sizeReason(width, height, decodedBytesPerPixel, limitBytes, "it would take ", " a picture may use");
}

std::string PictureFileCheck::detectionRefusal(const std::string& path, std::uint64_t limitBytes) {
  int width = 0, height = 0;
  if (!readSize(path, width, height)) return "";
  return detectionRefusal(path, width, height, limitBytes);
}

std::string PictureFileCheck::detectionRefusal(const std::string& path, int width, int height,
                                               std::uint64_t limitBytes) {
  return fileRefusal(path, sizeReason(width, height, detectionBytesPerPixel, limitBytes,
                                      "a detection on it would take about ", " an analysis may use"));
}

std::string PictureFileCheck::notRegularMessage(const std::string& path) {
  return "The picture " + path + " cannot be opened: it is not a regular file.";
}

bool PictureFileCheck::isComplete(const std::string& path) {
  Model::RegularFileRead file(path);
  unsigned char block[65536];
  std::size_t filled = 0, at = 0;
  const auto next = [&]() -> int {
    if (at == filled) {
      filled = file.readBlock(reinterpret_cast<char*>(block), sizeof block);
      at = 0;
      if (filled == 0) return -1;
    }
    return block[at++];
  };
  if (next() != 0xFF || next() != 0xD8) return true;
  return jpegReachesItsEnd(next);
}

std::string PictureFileCheck::incompleteMessage(const std::string& path) {
  return "The picture " + path + " is incomplete: the file ends before the picture does.";
}
