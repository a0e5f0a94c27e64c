#ifndef SURFACEPROBE_H
#define SURFACEPROBE_H

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/rgba.h>
#include <gtest/gtest.h>

// A transparent image surface to render into, and the colour of its pixels
// with the premultiplied alpha taken out.
class SurfaceProbe {
 public:
  SurfaceProbe(int width, int height);

  const Cairo::RefPtr<Cairo::Context>& context() const { return cr; }
  Gdk::RGBA colourAt(int x, int y) const;
  bool blankAt(int x, int y) const;
  bool blankEverywhere() const;

 private:
  unsigned int pixel(int x, int y) const;

  Cairo::RefPtr<Cairo::ImageSurface> surface;
  Cairo::RefPtr<Cairo::Context> cr;
};

// Whether the pixel (x, y) shows `expected`, each component within 0.03.
::testing::AssertionResult showsColour(const SurfaceProbe& probe, int x, int y, const Gdk::RGBA& expected);
// Whether two colours agree to 1e-9 in every component.
::testing::AssertionResult sameColour(const Gdk::RGBA& found, const Gdk::RGBA& expected);
// Whether the pixel (x, y) is fully transparent.
::testing::AssertionResult isBlank(const SurfaceProbe& probe, int x, int y);

Gdk::RGBA rgba(double red, double green, double blue, double alpha);

#endif
