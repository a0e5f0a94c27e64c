#ifndef SCROLLIMAGE_H
#define SCROLLIMAGE_H

#include <gdkmm/pixbuf.h>
#include <gdkmm/rgba.h>
#include <gtkmm/drawingarea.h>

#include <memory>
#include <string>

#include "BandedRenderer.h"
#include "CanvasEditor.h"
#include "CanvasPainter.h"
#include "Draw.h"
#include "ImageClass.h"
#include "Preferences.h"
#include "Rectangle.h"

// The main window's image canvas: shows the open picture at any scale, lets
// the user zoom with the wheel about the pointer, pan with the right button,
// and draw, select and edit shapes with the left one. The editing itself is
// done by the CanvasEditor this widget is; the widget loads the picture,
// feeds the editor its events and paints the picture and the shapes.
class ScrollImage : public Gtk::DrawingArea, public CanvasEditor {
 public:
  // Neither the image record nor the renderer is owned. Loads the record's
  // picture (a missing one leaves an empty canvas) and fits it.
  ScrollImage(ImageClass* img, Draw* _draw);

  // Reads a picture file and shows it in place of the current one, with no
  // shapes. On failure the canvas keeps its picture, shapes and file name,
  // prints the reason and returns false.
  bool loadImage(std::string file);
  // Shows a picture already read from `file` as a load does.
  void showPicture(const std::string& file, Glib::RefPtr<Gdk::Pixbuf> picture);

  Glib::RefPtr<Gdk::Pixbuf> getImageRef() { return image; }
  const std::string& getFilename() const { return filename; }
  // The overview's box of the visible part; owned by the canvas.
  Rectangle* getRectangleMiniScroll() { return rectangleMini.get(); }
  // Gives the renderer the drawing styles and redraws.
  void setDrawingPreferences(Preferences* preferences);
  void updateDraw() { queue_draw(); }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  bool on_scroll_event(GdkEventScroll* event) override;
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;
  bool on_motion_notify_event(GdkEventMotion* event) override;
  bool on_key_press_event(GdkEventKey* event) override;
  bool on_key_release_event(GdkEventKey* event) override;
  void on_size_allocate(Gtk::Allocation& allocation) override;

  void requestRedraw() override { queue_draw(); }
  void viewBoxChanged(const FractionBox& box) override;

 private:
  // Paints the background, the visible part of the picture, the shapes and
  // the selection box.
  void composeFrame(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);

  Glib::RefPtr<Gdk::Pixbuf> image;
  Gdk::RGBA rectangle_Color;
  double lineWidth = 10.0;
  std::string filename;
  Draw* renderer;
  ImageClass* imageClass;
  CanvasPainter painter;
  // Draws the shapes on several threads where the frame is an image in
  // memory; on a display's window surface they are drawn as one call.
  BandedRenderer bands;
  // The frame is composed in memory, where the shapes can be drawn in bands
  // on several threads, and then shown in one copy; kept between frames.
  Cairo::RefPtr<Cairo::Surface> frame;
  int frameWidth = 0;
  int frameHeight = 0;
  std::unique_ptr<Rectangle> selectionRectangle;
  std::unique_ptr<Rectangle> rectangleMini;
};

#endif
