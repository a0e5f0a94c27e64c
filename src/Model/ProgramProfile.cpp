#include "ProgramProfile.h"

namespace {
const ProgramProfile* selected = nullptr;
}

const ProgramProfile& ProgramProfile::lumora() {
  static const ProgramProfile profile = [] {
    ProgramProfile p;
    p.programName = "Lumora";
    p.preferences = PreferencesDefaults::lumora();
    return p;
  }();
  return profile;
}

const ProgramProfile& ProgramProfile::current() { return selected != nullptr ? *selected : lumora(); }

void ProgramProfile::select(const ProgramProfile& profile) { selected = &profile; }
