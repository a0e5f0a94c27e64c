#include "DrawClassType.h"

DrawClassType::DrawClassType(ImageClass* image) : DrawClass(image) {}

void DrawClassType::drawNew(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                            double OffsetY) {
  if (region == nullptr) return;
  drawRegionWith(region, cr, scale, OffsetX, OffsetY, colourByClass(*region, colorFreeHand), region->getType() == 0);
}
