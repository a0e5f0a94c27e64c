#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CystCsv.h"
#include "CystRegions.h"
#include "baseShape.h"
#include "regionDetector.h"

namespace {

// A shape with a given diameter and area whatever the picture size.
class MeasuredShape : public baseShape {
 public:
  MeasuredShape(int id, bool visible, double diameter, double area)
      : baseShape(id, visible, false, false, false, 0, 0, 0, 0), diameter(diameter), area(area) {}
  bool inside(double, double, int, int) override { return false; }
  double getArea(int, int) override { return area; }
  double getDiameter(int, int) override { return diameter; }

 private:
  double diameter;
  double area;
};

// Owns the shapes of a test and hands out the raw list the writers take.
struct Shapes {
  std::vector<std::unique_ptr<baseShape>> owned;
  std::vector<baseShape*> list;
  Shapes& add(int id, bool visible, double diameter, double area) {
    owned.push_back(std::make_unique<MeasuredShape>(id, visible, diameter, area));
    list.push_back(owned.back().get());
    return *this;
  }
};

// A detector whose outlines are set by the test: squares of the given side
// at the given corner, with their parent outline.
class SquaresDetector : public regionDetector {
 public:
  SquaresDetector(int w, int h) {
    width = w;
    height = h;
  }
  void addSquare(int x, int y, int side, int parent) {
    xcoord.push_back({x, x + side, x + side, x});
    ycoord.push_back({y, y, y + side, y + side});
    inner.push_back(parent);
  }
};

// Makes the global locale write decimal commas when the system has one, so
// the writers must set their own.
class CommaLocale {
 public:
  CommaLocale() : previous(std::locale()) {
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8"}) {
      try {
        std::locale::global(std::locale(name));
        std::setlocale(LC_ALL, name);
        active = true;
        return;
      } catch (const std::runtime_error&) {
      }
    }
  }
  ~CommaLocale() {
    std::locale::global(previous);
    std::setlocale(LC_ALL, "C");
  }
  bool active = false;

 private:
  std::locale previous;
};

}  // namespace

TEST(CystKeepRule, AreaStrictlyBetweenTheCirclesOfTheDiametersAndOuterOnly) {
  EXPECT_NEAR(CystRegions::areaBound(40), 1256.636, 1e-3);
  EXPECT_NEAR(CystRegions::areaBound(1000), 785397.5, 1e-3);
  struct Case {
    double area;
    int parent;
    bool kept;
  } const cases[] = {
      {1256.636, -1, false},      // equal to the lower bound
      {1256.637, -1, true},       // just above it
      {785397.5, -1, false},      // equal to the upper bound
      {785397.4, -1, true},       // just below it
      {5000, 0, false},           // inside another outline
      {5000, -1, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CystRegions::keeps(c.area, c.parent, 40, 1000), c.kept) << c.area << " parent " << c.parent;
}

TEST(CystKeepRule, KeptRegionsAreNumberedWithoutGapsInOutlineOrder) {
  SquaresDetector detector(400, 400);
  detector.addSquare(10, 10, 100, -1);   // kept: id 1
  detector.addSquare(20, 20, 5, -1);     // too small
  detector.addSquare(30, 30, 60, 0);     // a hole of the first
  detector.addSquare(200, 200, 80, -1);  // kept: id 2
  std::vector<baseShape*> kept = CystRegions::kept(detector, 40, 1000);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0]->getId(), 1);
  EXPECT_EQ(kept[1]->getId(), 2);
  EXPECT_GT(kept[0]->getArea(400, 400), kept[1]->getArea(400, 400));
  for (baseShape* shape : kept) delete shape;
}

TEST(CystIndex, ShareOfThePictureCovered) {
  EXPECT_DOUBLE_EQ(CystCsv::cystIndex(125000, 1000, 1000), 12.5);
  EXPECT_DOUBLE_EQ(CystCsv::cystIndex(0, 1000, 1000), 0);
  // No picture area: no division by zero.
  EXPECT_DOUBLE_EQ(CystCsv::cystIndex(10, 0, 1000), 0);
  EXPECT_DOUBLE_EQ(CystCsv::cystIndex(10, 1000, 0), 0);
  // Beyond the range of an int product.
  EXPECT_DOUBLE_EQ(CystCsv::cystIndex(50000.0 * 50000.0 / 4, 50000, 50000), 25);
}

TEST(CystHistogram, BinsReachTheLargestDiameter) {
  struct Case {
    std::vector<double> diameters;
    int step;
    std::vector<int> counts;  // one per bin, from 0 upwards
  } const cases[] = {
      {{}, 100, {}},
      {{250}, 100, {0, 0, 1}},
      {{300}, 100, {0, 0, 0, 1}},  // an exact multiple keeps its bin
      {{100, 99.999, 0}, 100, {2, 1}},  // lo counts in its bin, hi in the next
      {{15, 15}, 10, {0, 2}},
      // Beyond the limit, below 0 or not a number: not binned.
      {{std::nan(""), std::numeric_limits<double>::infinity(), 1e300, 501, -5, 120}, 100, {0, 1}},
      {{std::nan(""), 1e300}, 1, {}},
  };
  for (const Case& c : cases) {
    const std::vector<CystCsv::Bin> bins = CystCsv::histogram(c.diameters, c.step, 500);
    ASSERT_EQ(bins.size(), c.counts.size());
    for (std::size_t i = 0; i < bins.size(); ++i) {
      EXPECT_DOUBLE_EQ(bins[i].lo, static_cast<double>(i) * c.step);
      EXPECT_DOUBLE_EQ(bins[i].hi, static_cast<double>(i + 1) * c.step);
      EXPECT_EQ(bins[i].count, c.counts[i]) << "bin " << i;
    }
  }
}

// However large the picture a file records, the histogram ends at the bin of
// the largest diameter binned.
TEST(CystHistogram, ThePicturesSizeAloneAddsNoBins) {
  Shapes shapes;
  shapes.add(1, true, 25, 490);
  std::ostringstream out;
  CystCsv::writeSample(out, {{{"huge.xml", shapes.list, 2147483647, 2147483647}, true}}, {false, 1.0}, 1);
  const std::string text = out.str();
  const std::string header = "MinDiameter(pixels);MaxDiameter(pixels);No. regions\n";
  const std::string bins = text.substr(text.find(header) + header.size());
  EXPECT_EQ(std::count(bins.begin(), bins.end(), '\n'), 26);
  EXPECT_NE(bins.find("\n25;26;1\n"), std::string::npos) << bins;
}

TEST(CystHistogram, AStepBelowOnePixelIsRefused) {
  for (int step : {0, -10}) EXPECT_THROW(CystCsv::histogram({10}, step, 100), std::invalid_argument);
  std::ostringstream out;
  Shapes shapes;
  shapes.add(1, true, 10, 78.5);
  EXPECT_THROW(CystCsv::writeResults(out, {"p.ppm", shapes.list, 100, 100}, {}, 0), std::invalid_argument);
  EXPECT_TRUE(out.str().empty());
}

TEST(CystResultsCsv, BytesWithAndWithoutCalibrationUnderACommaLocale) {
  CommaLocale locale;
  std::ostringstream probe;
  probe << 1.5;
  if (locale.active) {
    EXPECT_EQ(probe.str(), "1,5") << "the comma locale does not reach new streams";
  }
  Shapes shapes;
  shapes.add(1, true, 100, 7854).add(2, false, 150, 17671.5).add(3, true, 250.5, 49280.25);
  const CystCsv::Picture picture{"liver2.ppm", shapes.list, 1000, 1000};

  std::ostringstream plain;
  CystCsv::writeResults(plain, picture, {false, 1.0}, 100);
  EXPECT_EQ(plain.str(),
            "Image name:; liver2.ppm\n"
            "Number of objects; 2\n"
            "Calibration:;  Not calibration defined ;By default:; 1 micra/pixel\n"
            "Identifier;Diameter(pixels);Area(pixels)\n"
            "1;100;7854\n"
            "3;250.5;49280.2\n"
            "Cyst index; 5.71342\n"
            "\n"
            "Diameters histogram; step= 100 pixels; without considering boundary image objects\n"
            "MinDiameter(pixels);MaxDiameter(pixels);No. regions\n"
            "0;100;0\n"
            "100;200;1\n"
            "200;300;1\n");

  std::ostringstream calibrated;
  CystCsv::writeResults(calibrated, picture, {true, 0.5}, 100);
  EXPECT_EQ(calibrated.str(),
            "Image name:; liver2.ppm\n"
            "Number of objects; 2\n"
            "Calibration:; 0.5 micras ;1 pixel\n"
            "Identifier;Diameter(micras);Area(micras^2)\n"
            "1;50;1963.5\n"
            "3;125.25;12320.1\n"
            "Cyst index; 5.71342\n"
            "\n"
            "Diameters histogram; step= 100 pixels; without considering boundary image objects\n"
            "MinDiameter(pixels);MaxDiameter(pixels);MinDiameter(micras);MaxDiameter(micras); No. dots\n"
            "0;100;0;50;0\n"
            "100;200;50;100;1\n"
            "200;300;100;150;1\n");
}

// A diameter read from a file may be anything: the histogram reaches no
// further than the picture's diagonal, and the rows say which shapes it left
// out.
TEST(CystResultsCsv, ShapesBeyondThePicturesDiagonalAreListedButNotBinned) {
  Shapes shapes;
  shapes.add(1, true, 120, 100)
      .add(2, true, std::nan(""), 100)
      .add(3, true, 1e300, 100)
      .add(4, true, 500.5, 100)
      .add(5, true, 500, 100);
  std::ostringstream out;
  CystCsv::writeResults(out, {"p.ppm", shapes.list, 300, 400}, {false, 1.0}, 100);
  const std::string unbinned = std::string(";") + CystCsv::unbinnedShape + "\n";
  EXPECT_EQ(out.str(),
            "Image name:; p.ppm\n"
            "Number of objects; 5\n"
            "Calibration:;  Not calibration defined ;By default:; 1 micra/pixel\n"
            "Identifier;Diameter(pixels);Area(pixels)\n"
            "1;120;100\n"
            "2;nan;100" + unbinned +
            "3;1e+300;100" + unbinned +
            "4;500.5;100" + unbinned +
            "5;500;100\n"
            "Cyst index; 0.416667\n"
            "\n"
            "Diameters histogram; step= 100 pixels; without considering boundary image objects\n"
            "MinDiameter(pixels);MaxDiameter(pixels);No. regions\n"
            "0;100;0\n"
            "100;200;1\n"
            "200;300;0\n"
            "300;400;0\n"
            "400;500;0\n"
            "500;600;1\n");
}

TEST(CystSampleCsv, EachFilesRowCountsItsShapesBeyondItsDiagonal) {
  Shapes small;
  small.add(1, true, 15, 100).add(2, true, 1e9, 100).add(3, true, std::nan(""), 100).add(4, false, 1e9, 100);
  Shapes large;
  large.add(1, true, 35, 100);
  std::ostringstream out;
  CystCsv::writeSample(out, {{{"small.xml", small.list, 12, 16}, true}, {{"large.xml", large.list, 30, 40}, true}},
                       {false, 1.0}, 10);
  EXPECT_EQ(out.str(),
            "Calibration: Not calibration defined ;By default: 1 micra/pixel\n"
            "Image;Width;Height;Number of regions;Cyst index\n"
            "small.xml;12;16;3;156.25;2" + std::string(CystCsv::unbinnedRegions) + "\n"
            "large.xml;30;40;1;8.33333\n"
            "\n"
            "Histogram step:;10;pixels\n"
            "Calibration: Not calibration defined ;By default: 1 micra/pixel\n"
            "MinDiameter(pixels);MaxDiameter(pixels);No. regions\n"
            "0;10;0\n"
            "10;20;1\n"
            "20;30;0\n"
            "30;40;1\n");
}

TEST(CystSampleCsv, RowsPooledHistogramAndUnreadableFiles) {
  CommaLocale locale;
  Shapes first;
  first.add(1, true, 15, 176.5).add(2, false, 95, 7000);
  Shapes second;
  second.add(1, true, 15, 176.5);
  const std::vector<CystCsv::SampleEntry> entries = {
      {{"a.xml", first.list, 100, 50}, true},
      {{"broken.xml", {}, 100, 50}, false},
      {{"b.xml", second.list, 0, 50}, true},
  };

  std::ostringstream withHistogram;
  CystCsv::writeSample(withHistogram, entries, {false, 1.0}, 10);
  EXPECT_EQ(withHistogram.str(),
            "Calibration: Not calibration defined ;By default: 1 micra/pixel\n"
            "Image;Width;Height;Number of regions;Cyst index\n"
            "a.xml;100;50;1;3.53\n"
            "broken.xml;The file could not be read\n"
            "b.xml;0;50;1;0\n"
            "\n"
            "Histogram step:;10;pixels\n"
            "Calibration: Not calibration defined ;By default: 1 micra/pixel\n"
            "MinDiameter(pixels);MaxDiameter(pixels);No. regions\n"
            "0;10;0\n"
            "10;20;2\n");

  // Without the histogram the file ends after the last row; calibrated.
  std::ostringstream calibrated;
  CystCsv::writeSample(calibrated, {entries[0]}, {true, 2}, 0);
  EXPECT_EQ(calibrated.str(),
            "Calibration:; 2 micras ;1 pixel\n"
            "Image;Width;Height;Number of regions;Cyst index\n"
            "a.xml;100;50;1;3.53\n");
}
