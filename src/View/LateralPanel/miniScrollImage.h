#ifndef MINISCROLLIMAGE_H
#define MINISCROLLIMAGE_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/drawingarea.h>

#include <string>

#include "CanvasPainter.h"
#include "Observer.h"
#include "Rectangle.h"

class ScrollImage;

// The overview in the side pane: the whole picture of the canvas, scaled to
// fit and centred, with the canvas's view box drawn over it. Dragging the box
// with the left button moves the canvas's view. While subscribed to the
// canvas it follows view changes and newly loaded pictures.
class miniScrollImage : public Gtk::DrawingArea, public Observer {
 public:
  // Loads the start picture itself (a failure is printed and leaves the
  // overview empty); the canvas is not owned and must outlive the overview.
  miniScrollImage(std::string filename, ScrollImage* scrollImage);
  virtual ~miniScrollImage();
  miniScrollImage(const miniScrollImage&) = delete;
  miniScrollImage& operator=(const miniScrollImage&) = delete;

  // Starts following the canvas and takes its current picture at once.
  void subscribe();
  void unsubscribe();
  // ViewChanged refits and redraws; ImageLoaded also takes the canvas's
  // picture. Other codes are ignored.
  void update(int code) override;

  void loadImage(std::string filename);
  // Refits to the picture held and gives the canvas's view box the picture's
  // size. Reads no file.
  void set_image_from_file();
  // The scale at which the whole picture fits the widget, and the picture's
  // centre as the focus.
  void fit();

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;
  bool on_motion_notify_event(GdkEventMotion* event) override;

 private:
  // Takes a pointer position in widget pixels as the last one and as picture
  // fractions.
  void pointerAt(double x, double y);
  // Moves the box with the pointer since the previous step.
  void dragStep(double x, double y);
  // Tells the canvas to show the part under the box.
  void showBoxOnCanvas();

  Glib::RefPtr<Gdk::Pixbuf> image;
  CanvasPainter painter;
  int winWidth = 1;
  int winHeight = 1;
  int imgWidth = 1;
  int imgHeight = 1;
  double OffsetX = 0;
  double OffsetY = 0;
  double positionX = 0;
  double positionY = 0;
  int lastXMouse = 0;
  int lastYMouse = 0;
  double imgFocusX = 0;
  double imgFocusY = 0;
  Rectangle* rectangle = nullptr;
  double scale = 1;
  double previousX = 0;
  double previousY = 0;
  ScrollImage* scrollImage;
  bool leftButtonPressed = false;
};

#endif
