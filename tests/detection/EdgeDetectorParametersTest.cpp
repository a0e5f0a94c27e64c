// Parameters of the edge detector objects and of the region detectors: the
// defaults, and a table of setter calls at the boundaries of what they
// accept. A refused call must leave every stored parameter as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "edgesCannyGrey.h"
#include "regionDetectorEdgesZelvora.h"

namespace {

struct Parameters {
  std::vector<double> sigma, low, high;
  int minPoints;
  int channel;
  double roundness;
  int minDiameter, maxDiameter;

  bool operator==(const Parameters& o) const {
    return sigma == o.sigma && low == o.low && high == o.high && minPoints == o.minPoints && channel == o.channel &&
           roundness == o.roundness && minDiameter == o.minDiameter && maxDiameter == o.maxDiameter;
  }
};

Parameters parametersOf(const edgesCanny& e) {
  return {e.getSigma(),       e.getLowThresholds(), e.getHighThresholds(), e.getMinPoints(),
          e.getFlagChannel(), e.getRoundness(),     e.getMinDiameter(),    e.getMaxDiameter()};
}

void PrintTo(const Parameters& p, std::ostream* os) {
  auto list = [os](const std::vector<double>& v) {
    *os << "{";
    for (double d : v) *os << d << " ";
    *os << "}";
  };
  *os << "sigma ";
  list(p.sigma);
  *os << " low ";
  list(p.low);
  *os << " high ";
  list(p.high);
  *os << " minPoints " << p.minPoints << " channel " << p.channel << " roundness " << p.roundness << " diameters "
      << p.minDiameter << "/" << p.maxDiameter;
}

// Calls the setter; returns the int thrown, 0 when none.
int thrownBy(const std::function<void()>& call) {
  try {
    call();
  } catch (int code) {
    return code;
  }
  return 0;
}

const Parameters fresh{{2.0}, {0.4}, {0.6}, 5, 0, 1.4, 5, 100000};

TEST(EdgeDetectorParameters, FreshObjectHoldsTheDefaultsAndNoContours) {
  edgesCannyGrey grey("cells.png");
  EXPECT_EQ(parametersOf(grey), fresh);
  EXPECT_EQ(grey.getImageName(), "cells.png");
  EXPECT_EQ(edgesCannyGrey().getImageName(), "");
  EXPECT_TRUE(grey.getXCoordinates().empty());
  EXPECT_TRUE(grey.getYCoordinates().empty());
}

struct SetterCase {
  const char* call;
  std::function<void(edgesCanny&)> set;
  int code;                                   // 0: accepted
  std::function<void(Parameters&)> accepted;  // what an accepted call changes
};

TEST(EdgeDetectorParameters, SettersAcceptOrRefuseWithoutPartialChanges) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<SetterCase> cases = {
      {"setSigma({0.1})", [](edgesCanny& e) { e.setSigma({0.1}); }, 3, nullptr},
      {"setSigma({2.0, 0.05})",
       [](edgesCanny& e) {
         e.setSigma({2.0, 0.05});
       },
       3, nullptr},
      {"setSigma({NaN})", [nan](edgesCanny& e) { e.setSigma({nan}); }, 3, nullptr},
      {"setSigma({0.11})", [](edgesCanny& e) { e.setSigma({0.11}); }, 0, [](Parameters& p) { p.sigma = {0.11}; }},
      {"setSigma({4.0, 2.0})",
       [](edgesCanny& e) {
         e.setSigma({4.0, 2.0});
       },
       0,
       [](Parameters& p) {
         p.sigma = {4.0, 2.0};
       }},
      {"setThresholds({0.4, 0.5}, {0.6})",
       [](edgesCanny& e) {
         e.setThresholds({0.4, 0.5}, {0.6});
       },
       4, nullptr},
      {"setThresholds(6 pairs)",
       [](edgesCanny& e) { e.setThresholds(std::vector<double>(6, 0.4), std::vector<double>(6, 0.6)); }, 4, nullptr},
      {"setThresholds({}, {})", [](edgesCanny& e) { e.setThresholds({}, {}); }, 4, nullptr},
      {"setThresholds({0.6}, {0.6})", [](edgesCanny& e) { e.setThresholds({0.6}, {0.6}); }, 5, nullptr},
      {"setThresholds({0.4, 0.7}, {0.6, 0.65})",
       [](edgesCanny& e) {
         e.setThresholds({0.4, 0.7}, {0.6, 0.65});
       },
       5, nullptr},
      {"setThresholds({NaN}, {0.6})", [nan](edgesCanny& e) { e.setThresholds({nan}, {0.6}); }, 5, nullptr},
      {"setThresholds(5 pairs)",
       [](edgesCanny& e) {
         e.setThresholds({0.1, 0.2, 0.3, 0.4, 0.5}, {0.2, 0.3, 0.4, 0.5, 0.6});
       },
       0,
       [](Parameters& p) {
         p.low = {0.1, 0.2, 0.3, 0.4, 0.5};
         p.high = {0.2, 0.3, 0.4, 0.5, 0.6};
       }},
      {"setMinPoints(9)", [](edgesCanny& e) { e.setMinPoints(9); }, 6, nullptr},
      {"setMinPoints(10)", [](edgesCanny& e) { e.setMinPoints(10); }, 0, [](Parameters& p) { p.minPoints = 10; }},
      {"setFlagChannel(-1)", [](edgesCanny& e) { e.setFlagChannel(-1); }, 7, nullptr},
      {"setFlagChannel(5)", [](edgesCanny& e) { e.setFlagChannel(5); }, 7, nullptr},
      {"setFlagChannel(4)", [](edgesCanny& e) { e.setFlagChannel(4); }, 0, [](Parameters& p) { p.channel = 4; }},
      {"setRoundness(0.99)", [](edgesCanny& e) { e.setRoundness(0.99); }, 8, nullptr},
      {"setRoundness(NaN)", [nan](edgesCanny& e) { e.setRoundness(nan); }, 8, nullptr},
      {"setRoundness(1.0)", [](edgesCanny& e) { e.setRoundness(1.0); }, 0, [](Parameters& p) { p.roundness = 1.0; }},
      {"setDiameters(4, 100)", [](edgesCanny& e) { e.setDiameters(4, 100); }, 6, nullptr},
      {"setDiameters(10, 5)", [](edgesCanny& e) { e.setDiameters(10, 5); }, 6, nullptr},
      {"setDiameters(5, 5)", [](edgesCanny& e) { e.setDiameters(5, 5); }, 6, nullptr},
      {"setDiameters(5, 6)", [](edgesCanny& e) { e.setDiameters(5, 6); }, 0,
       [](Parameters& p) {
         p.minDiameter = 5;
         p.maxDiameter = 6;
       }},
      {"setDiameters(6, 6)", [](edgesCanny& e) { e.setDiameters(6, 6); }, 0,
       [](Parameters& p) {
         p.minDiameter = 6;
         p.maxDiameter = 6;
       }},
  };
  for (const SetterCase& c : cases) {
    SCOPED_TRACE(c.call);
    edgesCannyGrey e;
    EXPECT_EQ(thrownBy([&] { c.set(e); }), c.code);
    Parameters expected = fresh;
    if (c.code == 0) c.accepted(expected);
    EXPECT_EQ(parametersOf(e), expected);
  }
}

TEST(EdgeDetectorParameters, ChannelNames) {
  const std::vector<std::pair<int, std::string>> names = {
      {0, "Grey-level image"}, {1, "Red channel"}, {2, "Green channel"}, {3, "Blue channel"}, {4, ""}};
  edgesCannyGrey e;
  for (const auto& [channel, name] : names) {
    e.setFlagChannel(channel);
    EXPECT_EQ(e.getChannel(), name) << channel;
  }
}

TEST(RegionDetectorParameters, DefaultsOfTheBaseAndOfTheCellDetector) {
  const Parameters base{{2.0}, {0.4}, {0.6}, 20, 0, 1.4, 10, 50};
  EXPECT_EQ(parametersOf(regionDetectorEdges().getEdgeDetector()), base);

  const Parameters cells{{4.0, 2.0}, {0.4, 0.55, 0.7}, {0.6, 0.75, 0.9}, 20, 0, 1.4, 10, 50};
  regionDetectorEdgesZelvora detector;
  EXPECT_EQ(parametersOf(detector.getEdgeDetector()), cells);
  EXPECT_EQ(detector.getImageWidth(), 0);
  EXPECT_EQ(detector.getImageHeight(), 0);
}

TEST(RegionDetectorParameters, DiametersSetTheMinimumChainLengthOrNothing) {
  struct Case {
    int min, max, code, minPoints;
  };
  const int big = std::numeric_limits<int>::max() / 2 + 1;
  const std::vector<Case> cases = {
      {5, 50, 0, 10}, {30, 300, 0, 60}, {4, 50, 6, 20}, {60, 50, 6, 20}, {big, big, 6, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.min) + ", " + std::to_string(c.max));
    regionDetectorEdgesZelvora detector;
    EXPECT_EQ(thrownBy([&] { detector.setDiameters(c.min, c.max); }), c.code);
    const edgesCannyGrey& e = detector.getEdgeDetector();
    EXPECT_EQ(e.getMinPoints(), c.minPoints);
    EXPECT_EQ(e.getMinDiameter(), c.code ? 10 : c.min);
    EXPECT_EQ(e.getMaxDiameter(), c.code ? 50 : c.max);
  }
}

}  // namespace
