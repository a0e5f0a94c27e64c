#include "PreferencesSample.h"

PreferencesSample::PreferencesSample(Preferences* preferences)
    : preferences(preferences),
      mindim(preferences->getMinimumDiameter()),
      maxdim(preferences->getMaximumDiameter()) {}
