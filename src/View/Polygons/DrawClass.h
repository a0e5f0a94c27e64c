#ifndef DRAWCLASS_H
#define DRAWCLASS_H

#include <vector>

#include "Draw.h"

// A renderer that shows each shape's class: a shape of class k (k >= 1) is
// drawn in the k-th class colour of the settings, a shape of class 0 in its
// kind's colour, and a selected shape in its kind's inverted colour. Line
// widths do not change on selection, and measuring lines follow the zoom.
// Open outlines keep the plain drawing.
class DrawClass : public Draw {
 public:
  explicit DrawClass(ImageClass* image);

  // Takes the styles as Draw does and replaces the class colours with those
  // of the settings (blue, red, green, alpha per class).
  void setPreferences(Preferences* preferences) override;
  using Draw::drawNew;
  void drawNew(pointShape* point, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
               double OffsetY) override;
  void drawNew(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
               double OffsetY) override;
  void drawNew(circleShape* circle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
               double OffsetY) override;
  void drawNew(Line* line, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
               double OffsetY) override;
  void drawNew(Angle* angle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
               double OffsetY) override;

 protected:
  // The colour of an unselected shape by its class; a class without an entry
  // in the colour table (none yet, or a number beyond it) keeps the kind
  // colour.
  Gdk::RGBA colourByClass(const baseShape& shape, const Gdk::RGBA& kindColour);

 private:
  std::vector<Gdk::RGBA> colorClass;
};

#endif
