#include "edgesCanny.h"

#include <algorithm>

edgesCanny::edgesCanny(const std::string& filename) : filename(filename) {}

std::string edgesCanny::getImageName() const { return filename; }

void edgesCanny::setSigma(const std::vector<double>& s) {
  // Written as "not greater" so that NaN is refused as well.
  if (std::any_of(s.begin(), s.end(), [](double sigma) { return !(sigma > 0.1); })) throw 3;
  sigmas = s;
}

std::vector<double> edgesCanny::getSigma() const { return sigmas; }

void edgesCanny::setThresholds(const std::vector<double>& low, const std::vector<double>& high) {
  if (low.size() != high.size()) throw 4;
  // The hysteresis stage holds at most maxThresholdPairs pairs and needs one.
  if (low.empty() || low.size() > static_cast<size_t>(maxThresholdPairs)) throw 4;
  for (size_t i = 0; i < low.size(); i++) {
    if (!(low[i] < high[i])) throw 5;
  }
  lowThresholds = low;
  highThresholds = high;
}

std::vector<double> edgesCanny::getLowThresholds() const { return lowThresholds; }

std::vector<double> edgesCanny::getHighThresholds() const { return highThresholds; }

void edgesCanny::setMinPoints(int n) {
  if (n <= 9) throw 6;
  minPoints = n;
}

int edgesCanny::getMinPoints() const { return minPoints; }

void edgesCanny::setFlagChannel(int c) {
  if (c < 0 || c > 4) throw 7;
  flagChannel = c;
}

int edgesCanny::getFlagChannel() const { return flagChannel; }

std::string edgesCanny::getChannel() const {
  switch (flagChannel) {
    case 0:
      return "Grey-level image";
    case 1:
      return "Red channel";
    case 2:
      return "Green channel";
    case 3:
      return "Blue channel";
    default:
      return "";
  }
}

void edgesCanny::setRoundness(double r) {
  if (!(r >= 1.0)) throw 8;
  roundness = r;
}

double edgesCanny::getRoundness() const { return roundness; }

void edgesCanny::setDiameters(int min, int max) {
  if (!(min > 4 && max > 5 && min <= max)) throw 6;
  minDiameter = min;
  maxDiameter = max;
}

int edgesCanny::getMinDiameter() const { return minDiameter; }

int edgesCanny::getMaxDiameter() const { return maxDiameter; }

void edgesCanny::compute(Image*, bool, bool, bool) {}

const std::vector<std::vector<int>>& edgesCanny::getXCoordinates() const { return xcoord; }

const std::vector<std::vector<int>>& edgesCanny::getYCoordinates() const { return ycoord; }

void edgesCanny::clearDates() {
  xcoord.clear();
  ycoord.clear();
}
