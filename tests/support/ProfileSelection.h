#ifndef PROFILESELECTION_H
#define PROFILESELECTION_H

#include "ProgramProfile.h"

// A fixture of Cavitra's behaviour derives from this: Cavitra's profile is
// selected before the fixture's own members are built.
struct CavitraSelected {
  CavitraSelected() { ProgramProfile::select(ProgramProfile::cavitra()); }
};

#endif
