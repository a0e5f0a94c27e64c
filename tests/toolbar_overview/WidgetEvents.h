#ifndef WIDGETEVENTS_H
#define WIDGETEVENTS_H

#include <cairomm/surface.h>
#include <gtkmm/widget.h>
#include <gtkmm/window.h>

#include <cstdint>
#include <filesystem>

// Driving real widgets under a virtual display: synthetic pointer events,
// frames painted into an image, and test pictures.

struct Colour {
  std::uint8_t red, green, blue;
  bool operator==(const Colour& other) const { return red == other.red && green == other.green && blue == other.blue; }
  bool operator!=(const Colour& other) const { return !(*this == other); }
};

constexpr Colour kRed{255, 0, 0};
constexpr Colour kGreen{0, 255, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kWhite{255, 255, 255};

// A picture in four coloured quadrants: red top left, green top right, blue
// bottom left, white bottom right.
void writeQuadrantPicture(const std::filesystem::path& file, int width, int height);

void pumpEvents();
// Shows the window at the given size and waits until `widget` has its final
// allocation.
void showAndWait(Gtk::Window& window, Gtk::Widget& widget, int width, int height);

void pressButton(Gtk::Widget& widget, unsigned button, double x, double y);
void releaseButton(Gtk::Widget& widget, unsigned button, double x, double y);
void movePointer(Gtk::Widget& widget, double x, double y);
void turnWheel(Gtk::Widget& widget, GdkScrollDirection direction, double x, double y);
void pressKey(Gtk::Widget& widget, unsigned keyval);

// One frame of the widget, painted at its allocated size.
class Frame {
 public:
  explicit Frame(Gtk::Widget& widget);
  Colour pixel(int x, int y) const;
  unsigned alpha(int x, int y) const;

 private:
  const unsigned char* at(int x, int y) const;
  Cairo::RefPtr<Cairo::ImageSurface> surface;
};

#endif
