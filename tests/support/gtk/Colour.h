#ifndef COLOUR_H
#define COLOUR_H

#include <cstdint>

// An opaque pixel as the probes read it from a painted frame.
struct Colour {
  std::uint8_t red, green, blue;
  bool operator==(const Colour& other) const { return red == other.red && green == other.green && blue == other.blue; }
  bool operator!=(const Colour& other) const { return !(*this == other); }
};

constexpr Colour kRed{255, 0, 0};
constexpr Colour kGreen{0, 255, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kWhite{255, 255, 255};

#endif
