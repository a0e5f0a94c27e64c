#ifndef PANELDIAMETERS_H
#define PANELDIAMETERS_H

#include "Panel.h"

// The side panel base with the size limits of the regions that detection
// keeps: a minimum and a maximum diameter, typed into two fields or measured
// by drawing a line over a cell. The fields show whole pixels, or real
// lengths ("micras") while calibration is on. It also shows and closes the
// results table in the lower pane and refreshes it when shapes are added or
// deleted. Every accepted limit is stored in the settings (which keep a pair
// only when the minimum is above 2 and the maximum above the minimum), closes
// the table and empties the annotation. A limit typed and a measurement
// started first ask about unsaved changes; when the user keeps them the field
// shows the limit in force again and the toggle goes off.
class PanelDiameters : public Panel {
 public:
  PanelDiameters(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom, Glib::RefPtr<Gtk::Builder> refBuilder,
                 ControllerFachade* fc);
  ~PanelDiameters() override;

  // LineFinished with a measuring toggle on takes the line's length as that
  // limit; ShapesDeleted and ShapeAdded refresh the results table.
  void update(int code) override;
  // Shows the settings' limits and calibration, then refreshes the table.
  void updateText() override;
  // Enter in a diameter field: a whole number of pixels with
  // 3 <= minimum <= maximum - 3 is stored; anything else turns the field red.
  void onMinDiameterChanged() override;
  void onMaxDiameterChanged() override;
  // A measuring toggle clicked: closes the table and, when it is now on,
  // empties the annotation and arms the canvas's line tool; when it is now
  // off and the other toggle is too, the canvas's tools are restored as after
  // a finished line.
  void onMinDiameterDraw() override;
  void onMaxDiameterDraw() override;
  void onButtonShowTablePress() override;
  void closeTable() override;
  // Refills the results table while the lower pane shows it.
  void updateTable() override;
  void setCalibration() override;
  void resetPreferences() override;

 protected:
  // Takes the settings object again and shows its limits and calibration in
  // the fields, the calibration controls and the unit label.
  void showSettings();
  // A length in pixels as the diameter fields show it.
  std::string lengthText(double pixels) const;
  // A typed length in whole pixels: real lengths are divided by the factor
  // while calibration is on. Empty for text that gives no finite value within
  // the range of int. `shown` receives the text the field shows once accepted.
  std::optional<int> typedPixels(Gtk::Entry* entry, std::string& shown) const;

 private:
  enum class Limit { Minimum, Maximum };
  void takeTypedLimit(Limit limit);
  void armMeasuring(Gtk::ToggleButton* toggle);
  void endMeasuring();
  // The measuring line just finished, as the toggle of `limit` takes it.
  void takeMeasuredLimit(Limit limit);
};

#endif
