#include "ScrollImage.h"

#include <iostream>

#include "PictureRead.h"
#include "ProgramProfile.h"

ScrollImage::ScrollImage(ImageClass* img, Draw* _draw)
    : CanvasEditor(ProgramProfile::current().canvas),
      rectangle_Color(),
      renderer(_draw),
      imageClass(img) {
  rectangle_Color.set_rgba(0.4, 0.4, 1.0, 0.6);
  selectionRectangle = std::make_unique<Rectangle>(0, 0, rectangle_Color, lineWidth);
  rectangleMini = std::make_unique<Rectangle>(0, 0, rectangle_Color, lineWidth);
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::SMOOTH_SCROLL_MASK |
             Gdk::POINTER_MOTION_MASK | Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK);
  set_can_focus(true);
  const std::string startFile = img->getFilename();
  std::cout << "Constructor scrollImage: file " << startFile << std::endl;
  loadImage(startFile);
  // Also fits the picture.
  restoreButtons();
}

bool ScrollImage::loadImage(std::string file) {
  const PictureRead read(file);
  if (!read.picture()) {
    std::cerr << read.failure() << std::endl;
    return false;
  }
  showPicture(file, read.picture());
  return true;
}

void ScrollImage::showPicture(const std::string& file, Glib::RefPtr<Gdk::Pixbuf> picture) {
  filename = file;
  imageClass->setFilename(file);
  imageClass->setWidth(picture->get_width());
  imageClass->setHeight(picture->get_height());
  std::cout << "load image: " << filename << " width: " << picture->get_width()
            << " height: " << picture->get_height() << std::endl;
  image = picture;
  if (renderer != nullptr) renderer->setImage(imageClass);
  showNewPicture(image->get_width(), image->get_height());
}

void ScrollImage::setDrawingPreferences(Preferences* preferences) {
  if (renderer != nullptr) renderer->setPreferences(preferences);
  queue_draw();
}

void ScrollImage::viewBoxChanged(const FractionBox& box) { rectangleMini->setPoints(box.x0, box.y0, box.x1, box.y1); }

bool ScrollImage::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  const int width = get_allocated_width();
  const int height = get_allocated_height();
  if (width <= 0 || height <= 0) return false;
  if (!frame || frameWidth != width || frameHeight != height) {
    // On a high-density display the frame keeps the display's pixels.
    if (get_window())
      frame = get_window()->create_similar_image_surface(Cairo::FORMAT_ARGB32, width, height, get_scale_factor());
    else
      frame = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
    frameWidth = width;
    frameHeight = height;
  }
  const Cairo::RefPtr<Cairo::Context> composer = Cairo::Context::create(frame);
  composer->set_operator(Cairo::OPERATOR_CLEAR);
  composer->paint();
  composer->set_operator(Cairo::OPERATOR_OVER);
  composeFrame(composer, width, height);
  cr->set_source(frame, 0, 0);
  cr->paint();
  return false;
}

void ScrollImage::composeFrame(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height) {
  get_style_context()->render_background(cr, 0, 0, width, height);
  prepareFrame(width, height);
  if (!hasPicture()) return;
  const CanvasView& view = getView();
  painter.paintPicture(cr, image, view);
  if (renderer != nullptr)
    bands.draw(*renderer, getPolygonsNew(), cr, view.getScale(), view.getOffsetX(), view.getOffsetY());
  if (const std::optional<FractionBox>& box = getSelectionBox()) {
    selectionRectangle->setImageDim(getImgWidth(), getImgHeight());
    selectionRectangle->setPoints(box->x0, box->y0, box->x1, box->y1);
    selectionRectangle->draw(cr, view.getScale(), view.getOffsetX(), view.getOffsetY());
  }
}

bool ScrollImage::on_scroll_event(GdkEventScroll* event) {
  WheelDirection direction = WheelDirection::Other;
  if (event->direction == GDK_SCROLL_UP) direction = WheelDirection::Up;
  if (event->direction == GDK_SCROLL_DOWN) direction = WheelDirection::Down;
  return scroll(direction, event->delta_y, event->x, event->y);
}

bool ScrollImage::on_button_press_event(GdkEventButton* event) {
  if (event->button == 1) grab_focus();
  return pressButton(event->button, event->x, event->y);
}

bool ScrollImage::on_button_release_event(GdkEventButton* event) {
  return releaseButton(event->button, event->x, event->y);
}

bool ScrollImage::on_motion_notify_event(GdkEventMotion* event) { return movePointer(event->x, event->y); }

bool ScrollImage::on_key_press_event(GdkEventKey* event) {
  if (pressKey(event->keyval, event->state)) return true;
  return Gtk::DrawingArea::on_key_press_event(event);
}

bool ScrollImage::on_key_release_event(GdkEventKey* event) { return releaseKey(event->keyval); }

void ScrollImage::on_size_allocate(Gtk::Allocation& allocation) {
  Gtk::DrawingArea::on_size_allocate(allocation);
  setAllocation(allocation.get_width(), allocation.get_height());
}
