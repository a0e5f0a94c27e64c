#include "PictureFileCheck.h"

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "PictureHeader.h"

namespace {

std::string megabytes(double bytes) {
  return std::to_string(static_cast<std::uint64_t>(std::ceil(bytes / (1u << 20)))) + " MB";
}

// Walks the markers of a JPEG from its start marker: segments carry their
// length, entropy-coded data runs until a marker other than a restart marker
// or a stuffed 0xFF 0x00. True when the end-of-image marker is reached.
bool jpegReachesItsEnd(const std::vector<unsigned char>& data) {
  std::size_t at = 2;
  while (at + 1 < data.size()) {
    if (data[at] != 0xFF) {
      ++at;  // entropy-coded data
      continue;
    }
    const unsigned char marker = data[at + 1];
    if (marker == 0xD9) return true;
    if (marker == 0x00 || marker == 0xFF || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += marker == 0xFF ? 1 : 2;  // stuffing, fill bytes, restart markers carry no length
      continue;
    }
    if (at + 3 >= data.size()) return false;
    const std::size_t length = (static_cast<std::size_t>(data[at + 2]) << 8) | data[at + 3];
    if (length < 2) return false;
    at += 2 + length;
  }
  return false;
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

// Why a picture whose header reads as `header` may not be decoded before its
// size is judged; empty when it may. For an analysis OpenCV must take its
// format; the windows leave a format not read here to their decoder. A file
// that cannot be opened is left to the decoder, which reports it.
std::string headerReason(const PictureHeader& header, bool forAnalysis) {
  const std::string otherFormat = "in a format the analyses do not read";
  switch (header.outcome) {
    case PictureHeader::Outcome::unreadable:
      return "in a form whose size cannot be read from its header";
    case PictureHeader::Outcome::otherFormat:
      return forAnalysis ? otherFormat : "";
    case PictureHeader::Outcome::size:
      return forAnalysis && !header.analysesReadFormat ? otherFormat : "";
    case PictureHeader::Outcome::noFile:
      break;
  }
  return "";
}

// Why a file is far too short for the pixels its header claims: shorter
// than half the fewest bytes a whole file of its format holds them in. Such
// a file cannot be decoded to its end, and a decoder would reserve the
// pixels before it finds out.
std::string shortnessReason(const PictureHeader& header) {
  if (header.fileBytes >= header.leastFileBytes - header.leastFileBytes / 2) return "";
  return std::to_string(header.width) + " x " + std::to_string(header.height) + " pixels: its " +
         std::to_string(header.fileBytes) + " bytes are far too few to hold them";
}

// The first reason to refuse the picture read as `header`, its size judged
// by `judgeSize`; empty when it may be decoded.
template <typename JudgeSize>
std::string pictureReason(const PictureHeader& header, bool forAnalysis, JudgeSize judgeSize) {
  std::string reason = headerReason(header, forAnalysis);
  if (reason.empty() && header.outcome == PictureHeader::Outcome::size) reason = judgeSize(header.width, header.height);
  if (reason.empty() && header.outcome == PictureHeader::Outcome::size) reason = shortnessReason(header);
  return reason;
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
  return PictureHeader::readSize(path, width, height);
}

std::string PictureFileCheck::sizeRefusal(const std::string& path, std::uint64_t limitBytes) {
  return fileRefusal(path, pictureReason(PictureHeader::read(path), false, [limitBytes](int width, int height) {
                       return sizeRefusal(width, height, limitBytes);
                     }));
}

std::string PictureFileCheck::sizeRefusal(int width, int height, std::uint64_t limitBytes) {
  return sizeReason(width, height, decodedBytesPerPixel, limitBytes, "it would take ", " a picture may use");
}

std::string PictureFileCheck::detectionRefusal(const std::string& path, std::uint64_t limitBytes) {
  return fileRefusal(path, pictureReason(PictureHeader::read(path), true, [limitBytes](int width, int height) {
                       return sizeReason(width, height, detectionBytesPerPixel, limitBytes,
                                         "a detection on it would take about ", " an analysis may use");
                     }));
}

bool PictureFileCheck::isComplete(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char start[2] = {0, 0};
  if (!in.read(reinterpret_cast<char*>(start), 2) || start[0] != 0xFF || start[1] != 0xD8) return true;
  in.seekg(0);
  const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return jpegReachesItsEnd(data);
}

std::string PictureFileCheck::incompleteMessage(const std::string& path) {
  return "The picture " + path + " is incomplete: the file ends before the picture does.";
}
