#ifndef DRAWCLASSTYPE_H
#define DRAWCLASSTYPE_H

#include "DrawClass.h"

// The class-coloured renderer that also marks a region's type: the outline of
// a region of type 0 is dashed, of any other type solid.
class DrawClassType : public DrawClass {
 public:
  explicit DrawClassType(ImageClass* image);

  using DrawClass::drawNew;
  void drawNew(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
               double OffsetY) override;
};

#endif
