#ifndef HEADERREADING_H
#define HEADERREADING_H

#include <cstdint>

// What one picture decoder would make of a file's header, as a header
// reader tells it without decoding: not its format, a header it refuses, a
// header whose reading the reader cannot vouch for, or the size it would
// decode.
struct HeaderReading {
  enum Outcome { otherFormat, decoderRefuses, cannotTell, size };

  Outcome outcome = otherFormat;
  int width = 0;
  int height = 0;
  // The fewest bytes in which a whole file of this format can hold the
  // pixels claimed, from the format's best possible compression: a file
  // far shorter cannot be decoded to the end.
  std::uint64_t leastFileBytes = 0;

  static HeaderReading of(Outcome outcome) { return HeaderReading{outcome, 0, 0, 0}; }
  // The reading of a claimed size: refused by the decoders when a side is
  // below one pixel or beyond an int. `leastFileBytes` is reckoned by the
  // caller in double (a product of header numbers can pass 64 bits).
  static HeaderReading sized(std::int64_t width, std::int64_t height, double leastFileBytes);
};

#endif
