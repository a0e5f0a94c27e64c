#include "ProgramProfile.h"

namespace {
const ProgramProfile* selected = nullptr;
}

const ProgramProfile& ProgramProfile::lumora() {
  static const ProgramProfile profile = [] {
    ProgramProfile p;
    p.programName = "Lumora";
    p.applicationId = "org.stereology.lumora";
    p.windowTitle = "Lumora: application to stereological analysis";
    p.iconFile = "Iconos/logoLumora.png";
    p.startImage = "gonada.ppm";
    p.preferences = PreferencesDefaults::lumora();
    p.canvas.minScale = 0.02;
    p.canvas.maxScale = 20.0;
    return p;
  }();
  return profile;
}

const ProgramProfile& ProgramProfile::current() { return selected != nullptr ? *selected : lumora(); }

void ProgramProfile::select(const ProgramProfile& profile) { selected = &profile; }
