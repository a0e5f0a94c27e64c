#include "miniScrollImage.h"

#include <algorithm>
#include <iostream>

#include "NotifyCode.h"
#include "PictureRead.h"
#include "ScrollImage.h"

miniScrollImage::miniScrollImage(std::string filename, ScrollImage* _scrollImage) : scrollImage(_scrollImage) {
  // Scroll events are taken but left unhandled: the wheel does nothing here.
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::SCROLL_MASK | Gdk::SMOOTH_SCROLL_MASK |
             Gdk::POINTER_MOTION_MASK);
  set_can_focus(true);
  loadImage(filename);
  set_image_from_file();
}

miniScrollImage::~miniScrollImage() { unsubscribe(); }

void miniScrollImage::subscribe() {
  scrollImage->subscribe(this);
  update(ImageLoaded);
}

void miniScrollImage::unsubscribe() { scrollImage->unsubscribe(this); }

void miniScrollImage::update(int code) {
  if (code != ViewChanged && code != ImageLoaded) return;
  if (code == ImageLoaded) image = scrollImage->getImageRef();
  set_image_from_file();
  queue_draw();
}

void miniScrollImage::loadImage(std::string filename) {
  const PictureRead read(filename);
  if (read.picture())
    image = read.picture();
  else
    std::cerr << read.failure() << std::endl;
}

void miniScrollImage::set_image_from_file() {
  // The size comes first so that a press before the next frame already maps
  // the pointer with the new picture's scale.
  if (image) {
    imgWidth = image->get_width();
    imgHeight = image->get_height();
  }
  fit();
  rectangle = scrollImage->getRectangleMiniScroll();
  rectangle->setImageDim(imgWidth, imgHeight);
}

void miniScrollImage::fit() {
  const double windowRatio = static_cast<double>(winWidth) / winHeight;
  const double pictureRatio = static_cast<double>(imgWidth) / imgHeight;
  if (windowRatio > pictureRatio)
    scale = static_cast<double>(winHeight) / imgHeight;
  else
    scale = static_cast<double>(winWidth) / imgWidth;
  imgFocusX = imgWidth / 2.0;
  imgFocusY = imgHeight / 2.0;
}

bool miniScrollImage::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  const int width = get_allocated_width();
  const int height = get_allocated_height();
  if (!image || width < 1 || height < 1) return false;
  winWidth = width;
  winHeight = height;
  imgWidth = image->get_width();
  imgHeight = image->get_height();
  fit();

  // Only the part the picture covers is painted, so the pane's background
  // shows around it.
  OffsetX = winWidth / 2.0 - scale * imgFocusX;
  OffsetY = winHeight / 2.0 - scale * imgFocusY;
  const double minX = std::max(0.0, OffsetX);
  const double minY = std::max(0.0, OffsetY);
  const double maxX = std::min(static_cast<double>(winWidth), (imgWidth - imgFocusX) * scale + winWidth / 2.0);
  const double maxY = std::min(static_cast<double>(winHeight), (imgHeight - imgFocusY) * scale + winHeight / 2.0);
  painter.paintArea(cr, image, scale, OffsetX, OffsetY, static_cast<int>(minX), static_cast<int>(minY),
                    static_cast<int>(maxX - minX), static_cast<int>(maxY - minY));
  rectangle->draw(cr, scale, OffsetX, OffsetY);
  return false;
}

void miniScrollImage::pointerAt(double x, double y) {
  lastXMouse = static_cast<int>(x);
  lastYMouse = static_cast<int>(y);
  OffsetX = (winWidth / 2) - scale * imgFocusX;
  OffsetY = (winHeight / 2) - scale * imgFocusY;
  positionX = (lastXMouse - OffsetX) / (imgWidth * scale);
  positionY = (lastYMouse - OffsetY) / (imgHeight * scale);
}

bool miniScrollImage::on_button_press_event(GdkEventButton* event) {
  if (event->button != 1) return false;
  grab_focus();
  if (!image) return true;
  pointerAt(event->x, event->y);
  if (rectangle->inside(positionX, positionY)) {
    leftButtonPressed = true;
    previousX = positionX;
    previousY = positionY;
  }
  return true;
}

bool miniScrollImage::on_motion_notify_event(GdkEventMotion* event) {
  if (!leftButtonPressed) return false;
  dragStep(event->x, event->y);
  showBoxOnCanvas();
  return true;
}

bool miniScrollImage::on_button_release_event(GdkEventButton* event) {
  if (!leftButtonPressed) return false;
  dragStep(event->x, event->y);
  leftButtonPressed = false;
  showBoxOnCanvas();
  return true;
}

void miniScrollImage::dragStep(double x, double y) {
  pointerAt(x, y);
  rectangle->move(positionX - previousX, positionY - previousY);
  queue_draw();
  previousX = positionX;
  previousY = positionY;
}

void miniScrollImage::showBoxOnCanvas() {
  const std::vector<pointShape*>& corners = rectangle->getPoints();
  scrollImage->setRectangleView(corners[0]->getX(), corners[0]->getY(), corners[2]->getX(), corners[2]->getY());
}
