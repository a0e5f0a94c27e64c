#include "PictureFileCheck.h"

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

// Why a detection may not run on a picture of `width` x `height`; empty when
// it may.
std::string detectionReason(int width, int height, std::uint64_t limitBytes) {
  return sizeReason(width, height, PictureFileCheck::detectionBytesPerPixel, limitBytes,
                    "a detection on it would take about ", " an analysis may use");
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
  return sizeRefusal(path, Model::RegularFileRead(path), limitBytes);
}

std::string PictureFileCheck::sizeRefusal(const std::string& path, const Model::RegularFileRead& opened,
                                          std::uint64_t limitBytes) {
  return fileRefusal(path, pictureReason(PictureHeader::read(opened), false, [limitBytes](int width, int height) {
                       return sizeRefusal(width, height, limitBytes);
                     }));
}

std::string PictureFileCheck::sizeRefusal(const std::string& path, int width, int height, std::uint64_t limitBytes) {
  return fileRefusal(path, sizeRefusal(width, height, limitBytes));
}

std::string PictureFileCheck::sizeRefusal(int width, int height, std::uint64_t limitBytes) {
  return sizeReason(width, height, decodedBytesPerPixel, limitBytes, "it would take ", " a picture may use");
}

std::string PictureFileCheck::detectionRefusal(const std::string& path, std::uint64_t limitBytes) {
  return detectionRefusal(path, Model::RegularFileRead(path), limitBytes);
}

std::string PictureFileCheck::detectionRefusal(const std::string& path, const Model::RegularFileRead& opened,
                                               std::uint64_t limitBytes) {
  return fileRefusal(path, pictureReason(PictureHeader::read(opened), true, [limitBytes](int width, int height) {
                       return detectionReason(width, height, limitBytes);
                     }));
}

std::string PictureFileCheck::detectionRefusal(const std::string& path, int width, int height,
                                               std::uint64_t limitBytes) {
  return fileRefusal(path, detectionReason(width, height, limitBytes));
}

std::string PictureFileCheck::notRegularMessage(const std::string& path) {
  return "The picture " + path + " cannot be opened: it is not a regular file.";
}

bool PictureFileCheck::isComplete(const std::string& path) { return isComplete(Model::RegularFileRead(path)); }

bool PictureFileCheck::isComplete(const Model::RegularFileRead& opened) {
  unsigned char block[65536];
  std::size_t offset = 0, filled = 0, at = 0;
  const auto next = [&]() -> int {
    if (at == filled) {
      offset += filled;
      filled = opened.readAt(offset, reinterpret_cast<char*>(block), sizeof block);
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
