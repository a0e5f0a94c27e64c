#ifndef PIXELCONVERSION_H
#define PIXELCONVERSION_H

// Conversions of computed pixel positions into whole pixels. Coordinates may
// come from a damaged file, so they saturate instead of overflowing an int.
namespace PixelConversion {

// Truncates toward zero; NaN gives 0 and values beyond the int range saturate.
int truncateToInt(double value);

// The whole pixel of a relative coordinate on an image of `size` pixels.
// A coordinate read from pixel p as p / size gives back p: the product
// p / size * size may fall just below p in binary arithmetic, so a tiny
// tolerance is added before truncating (256.7 still gives 256).
int toPixel(double relative, double size);

}  // namespace PixelConversion

#endif
