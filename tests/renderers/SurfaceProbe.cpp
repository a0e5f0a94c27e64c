#include "SurfaceProbe.h"

#include <cmath>
#include <sstream>

namespace {

std::string describe(const Gdk::RGBA& colour) {
  std::ostringstream text;
  text << "(r " << colour.get_red() << ", g " << colour.get_green() << ", b " << colour.get_blue() << ", a "
       << colour.get_alpha() << ")";
  return text.str();
}

::testing::AssertionResult coloursMatch(const Gdk::RGBA& found, const Gdk::RGBA& expected, double tolerance) {
  if (std::abs(found.get_red() - expected.get_red()) <= tolerance &&
      std::abs(found.get_green() - expected.get_green()) <= tolerance &&
      std::abs(found.get_blue() - expected.get_blue()) <= tolerance &&
      std::abs(found.get_alpha() - expected.get_alpha()) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << describe(found) << " instead of " << describe(expected);
}

}  // namespace

SurfaceProbe::SurfaceProbe(int width, int height)
    : surface(Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height)), cr(Cairo::Context::create(surface)) {}

unsigned int SurfaceProbe::pixel(int x, int y) const {
  surface->flush();
  const unsigned char* row = surface->get_data() + static_cast<std::ptrdiff_t>(y) * surface->get_stride();
  return reinterpret_cast<const unsigned int*>(row)[x];
}

Gdk::RGBA SurfaceProbe::colourAt(int x, int y) const {
  const unsigned int value = pixel(x, y);
  const double alpha = ((value >> 24) & 0xff) / 255.0;
  const auto channel = [&](int shift) { return alpha > 0 ? ((value >> shift) & 0xff) / 255.0 / alpha : 0.0; };
  return rgba(channel(16), channel(8), channel(0), alpha);
}

bool SurfaceProbe::blankAt(int x, int y) const { return pixel(x, y) == 0; }

bool SurfaceProbe::blankEverywhere() const {
  for (int y = 0; y < surface->get_height(); ++y)
    for (int x = 0; x < surface->get_width(); ++x)
      if (!blankAt(x, y)) return false;
  return true;
}

::testing::AssertionResult showsColour(const SurfaceProbe& probe, int x, int y, const Gdk::RGBA& expected) {
  // Eight-bit channels, un-premultiplied: allow a few steps of rounding.
  ::testing::AssertionResult result = coloursMatch(probe.colourAt(x, y), expected, 0.03);
  if (!result) result << " at pixel (" << x << ", " << y << ")";
  return result;
}

::testing::AssertionResult sameColour(const Gdk::RGBA& found, const Gdk::RGBA& expected) {
  return coloursMatch(found, expected, 1e-9);
}

::testing::AssertionResult isBlank(const SurfaceProbe& probe, int x, int y) {
  if (probe.blankAt(x, y)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << describe(probe.colourAt(x, y))
                                       << ", expected blank";
}

Gdk::RGBA rgba(double red, double green, double blue, double alpha) {
  Gdk::RGBA colour;
  colour.set_rgba(red, green, blue, alpha);
  return colour;
}
