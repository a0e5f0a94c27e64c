#include "PreferencesSample.h"

#include "ProgramProfile.h"

PreferencesSample::PreferencesSample(Preferences* preferences) : preferences(preferences) {
  const ProgramProfile& profile = ProgramProfile::current();
  mindim = profile.batchCopiesDiameters ? preferences->getMinimumDiameter() : profile.batchMinimumDiameter;
  maxdim = profile.batchCopiesDiameters ? preferences->getMaximumDiameter() : profile.batchMaximumDiameter;
}
