#ifndef PROGRAMPROFILE_H
#define PROGRAMPROFILE_H

#include <string>

#include "CanvasPolicy.h"
#include "PreferencesDefaults.h"

// What sets one program of the tree apart from the other in the shared code:
// its name, its default settings and the behaviours that differ. Each
// executable selects its profile once, in main, before anything else is built;
// shared classes read the profile in force instead of being copied per program.
class ProgramProfile {
 public:
  static const ProgramProfile& lumora();

  // The profile in force (Lumora's until another is selected).
  static const ProgramProfile& current();
  static void select(const ProgramProfile& profile);

  std::string programName;
  // The main window: GTK application id, title, icon and the picture shown
  // at start, all relative to the working folder.
  std::string applicationId;
  std::string windowTitle;
  std::string iconFile;
  std::string startImage;
  PreferencesDefaults preferences;
  CanvasPolicy canvas;
};

#endif
