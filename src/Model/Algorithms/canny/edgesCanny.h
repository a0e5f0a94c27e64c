#ifndef EDGESCANNY_H
#define EDGESCANNY_H

#include <string>
#include <vector>

#include "image.h"

// Parameters and result of a multi-scale Canny contour search. The search
// itself belongs to the subclasses; this class keeps the scales, the
// hysteresis rate pairs, the chain filter's limits and the contours found.
//
// Every setter checks its values before storing them and throws a plain int
// code when they are refused; a refused call leaves the previous values.
class edgesCanny {
 public:
  // The largest number of hysteresis rate pairs a search takes.
  static constexpr int maxThresholdPairs = 5;

  explicit edgesCanny(const std::string& filename);

  std::string getImageName() const;

  // Scales of the search, in the order they are run. Throws 3 unless every
  // sigma is greater than 0.1.
  void setSigma(const std::vector<double>& s);
  std::vector<double> getSigma() const;

  // Hysteresis rate pairs, low[i] with high[i]. Throws 4 when the lists
  // differ in length or hold no pair or more than maxThresholdPairs, 5 when
  // some low rate is not below its high rate.
  void setThresholds(const std::vector<double>& low, const std::vector<double>& high);
  std::vector<double> getLowThresholds() const;
  std::vector<double> getHighThresholds() const;

  // Minimum number of points of an edge chain. Throws 6 below 10.
  void setMinPoints(int n);
  int getMinPoints() const;

  // Plane searched in a colour image: 0 grey level, 1 red, 2 green, 3 blue.
  // Throws 7 outside 0..4.
  void setFlagChannel(int c);
  int getFlagChannel() const;
  // Name of the plane; empty for a value without one.
  std::string getChannel() const;

  // Roundness limit of the chain filter. Throws 8 below 1.0.
  void setRoundness(double r);
  double getRoundness() const;

  // Diameter limits of the chain filter in pixels. Throws 6 unless
  // min > 4, max > 5 and min <= max.
  void setDiameters(int min, int max);
  int getMinDiameter() const;
  int getMaxDiameter() const;

  // The base searches nothing.
  void compute(Image* img, bool flagRoundness, bool flagDiameter, bool flagOverlapTest);

  // Contour k is xcoord[k] (columns) with ycoord[k] (rows), in pixels.
  const std::vector<std::vector<int>>& getXCoordinates() const;
  const std::vector<std::vector<int>>& getYCoordinates() const;
  // Empties the result; searches append to it until then.
  void clearDates();

 protected:
  std::string filename;
  std::vector<double> sigmas{2.0};
  std::vector<double> lowThresholds{0.4};
  std::vector<double> highThresholds{0.6};
  std::vector<std::vector<int>> xcoord;
  std::vector<std::vector<int>> ycoord;
  int flagChannel = 0;
  int minPoints = 5;  // below what the setter accepts: the construction default
  double roundness = 1.4;
  int minDiameter = 5;
  int maxDiameter = 100000;
};

#endif
