#ifndef TOOLTOGGLECHECK_H
#define TOOLTOGGLECHECK_H

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <functional>
#include <vector>

#include "ScrollImage.h"
#include "regionShape.h"

// Switches each of a side panel's tool toggles `ids` on and then off by hand,
// over a canvas of `side` x `side` pixels holding one selected region made by
// `makeRegion` and recorded as saved by `recordSaved`; then drags the select
// tool across the region. Each toggle switched off must have ended its tool:
// the drag draws nothing and leaves the region selected. A measurement starts
// on an empty annotation, so the region is put back after a measuring toggle.
inline void expectToolTogglesSwitchedOffLeaveSelectSelecting(
    ScrollImage& canvas, int side, const std::vector<const char*>& ids,
    const std::function<Gtk::ToggleButton*(const char*)>& toggleOf, const std::function<regionShape*()>& makeRegion,
    const std::function<void()>& recordSaved) {
  canvas.setAllocation(side, side);
  canvas.prepareFrame(side, side);
  for (const char* id : ids) {
    SCOPED_TRACE(id);
    canvas.polygonsClear();
    regionShape* region = makeRegion();
    canvas.setPolygonsModel({region});
    recordSaved();
    region->setSelected(true);
    canvas.setPolygonsModelSelected({region});
    Gtk::ToggleButton* toggle = toggleOf(id);
    toggle->set_active(true);
    toggle->set_active(false);
    if (canvas.getPolygonsNew().empty()) {
      region = makeRegion();
      canvas.setPolygonsModel({region});
    }
    canvas.prepareFrame(side, side);
    canvas.setButtonSelect(true);
    canvas.pressButton(1, 500, 500);
    canvas.movePointer(600, 500);
    canvas.releaseButton(1, 600, 500);
    EXPECT_EQ(canvas.getPolygonsNew(), std::vector<baseShape*>{region});
    EXPECT_EQ(canvas.getPolygonsModelSelected(), std::vector<baseShape*>{region});
    canvas.setButtonSelect(false);
  }
}

#endif
