#include <gtest/gtest.h>

#include <limits>
#include <locale>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ResultRow.h"
#include "ResultsCsv.h"
#include "circleShape.h"
#include "regionShape.h"

namespace {

// Sizes that are powers of two keep every pixel position exact as a fraction.
constexpr int kWidth = 1024;
constexpr int kHeight = 1024;

const std::vector<std::string> kClassNames{"Alveolo", "Vitelline", "Hydrated", "Void"};

// A rectangle from pixel (x0, y0) to (x1, y1).
std::unique_ptr<regionShape> box(int id, int x0, int y0, int x1, int y1, int clase, int type, int width = kWidth,
                                 int height = kHeight) {
  auto region = std::make_unique<regionShape>(id, true, false, false, false, type, clase, clase);
  const double w = width, h = height;
  region->addLinePoint(x0 / w, y0 / h);
  region->addLinePoint(x1 / w, y0 / h);
  region->addLinePoint(x1 / w, y1 / h);
  region->addLinePoint(x0 / w, y1 / h);
  return region;
}

TEST(ResultRowTest, BorderRuleDecidesCountAndMeasure) {
  struct Case {
    const char* what;
    int x0, y0, x1, y1, clase, type;
    bool count, measure;
  };
  // A 128 x 64 picture: the margin is 5 pixels on every side.
  const Case cases[] = {
      {"void region on the border", 0, 0, 20, 20, 4, 0, false, true},
      {"left at x = 4", 4, 20, 30, 40, 1, 1, false, false},
      {"left at x = 5", 5, 20, 30, 40, 1, 1, true, true},
      {"top at y = 4", 20, 4, 40, 30, 1, 1, false, false},
      {"right at W - 5", 100, 20, 123, 40, 2, 1, true, true},
      {"right at W - 4", 100, 20, 124, 40, 2, 1, true, false},
      {"bottom at H - 4", 20, 30, 40, 60, 3, 1, true, false},
      {"whole without nucleus", 20, 20, 40, 40, 1, 0, true, false},
      {"left border wins over nucleus and right", 2, 20, 126, 40, 1, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto region = box(1, c.x0, c.y0, c.x1, c.y1, c.clase, c.type, 128, 64);
    const std::vector<ResultRow> rows = ResultRow::rowsOf({region.get()}, 128, 64, 1.0, kClassNames);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].count, c.count);
    EXPECT_EQ(rows[0].measure, c.measure);
  }
}

TEST(ResultRowTest, BorderRuleHoldsOnThePicturesOfAnySizeAFileCanClaim) {
  // The widest picture an annotation can record, and a box an empty outline
  // gives: the room on the right is more than an int holds.
  ResultRow row;
  row.nucleus = true;
  row.judgeBorders(1, {10, -1, 10, -1}, std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
  EXPECT_TRUE(row.count);
  EXPECT_TRUE(row.measure);
}

TEST(ResultRowTest, StageNames) {
  EXPECT_EQ(ResultRow::stageName(0, kClassNames), "Without stage");
  EXPECT_EQ(ResultRow::stageName(1, kClassNames), "Alveolo");
  EXPECT_EQ(ResultRow::stageName(4, kClassNames), "Void");
  EXPECT_EQ(ResultRow::stageName(5, kClassNames), "Unknown");
  EXPECT_EQ(ResultRow::stageName(-2, kClassNames), "Unknown");
}

// One picture with every kind of row, a hidden region and a circle.
class ResultsCsvTest : public ::testing::Test {
 protected:
  ResultsCsvTest() {
    owned.push_back(box(3, 128, 128, 228, 228, 1, 1));    // whole, nucleus: Yes;Yes
    owned.push_back(box(5, 0, 512, 32, 544, 4, 0));       // void on the border: No;Yes
    owned.push_back(box(6, 2, 600, 34, 632, 2, 0));       // left border: No;No
    owned.push_back(box(7, 1000, 700, 1020, 720, 3, 1));  // right border: Yes;No
    owned.push_back(box(9, 400, 400, 432, 432, 7, 0));    // a class past the names
    owned.push_back(box(10, 300, 300, 340, 340, 0, 1));   // hidden: no row
    owned.back()->setVisible(false);
    for (const auto& region : owned) shapes.push_back(region.get());
    circle = std::make_unique<circleShape>(10.0, 0.5, 0.5, 11, true, false, false, false, 0, 1, 1);
    shapes.push_back(circle.get());
  }

  std::string write(bool calibrationActive, double calibration, const std::string& species) {
    std::ostringstream out;
    ResultsCsv::writeHeader(out, ResultsCsv::resultsHeader);
    ResultsCsv::Picture picture{"C:/img/a.jpg", kWidth, kHeight, calibrationActive, calibration};
    ResultsCsv::writeRows(out, shapes, picture, species, kClassNames);
    return out.str();
  }

  std::vector<std::unique_ptr<regionShape>> owned;
  std::unique_ptr<circleShape> circle;
  std::vector<baseShape*> shapes;
};

TEST_F(ResultsCsvTest, UncalibratedRowsHoldPixelValues) {
  const std::string head = "C:/img/a.jpg;1047552.000000000000;1.000000000000;Unknown;";
  EXPECT_EQ(write(false, 0.1, "Unknown"),
            "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nucleus; Count; Measure\n" + head +
                "3;112.837916711164;10000.000000000000;Alveolo;Yes;Yes;Yes;\n" + head +
                "5;36.108133347572;1024.000000000000;Void;No;No;Yes;\n" + head +
                "6;36.108133347572;1024.000000000000;Vitelline;No;No;No;\n" + head +
                "7;22.567583342233;400.000000000000;Hydrated;Yes;Yes;No;\n" + head +
                "9;36.108133347572;1024.000000000000;Unknown;No;Yes;No;\n");
}

// The calibration is written and applied in single precision, as the files
// always held it, and numbers keep a decimal point under a decimal-comma
// locale.
TEST_F(ResultsCsvTest, CalibratedRowsKeepTheSinglePrecisionFactorUnderAnyLocale) {
  std::locale previous;
  try {
    std::locale::global(std::locale("de_DE.UTF-8"));
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  }
  const std::string written = write(true, 0.1, "Sardine");
  std::locale::global(previous);
  const std::string head = "C:/img/a.jpg;10475.520312194827;0.100000001490;Sardine;";
  EXPECT_EQ(written, "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nucleus; Count; Measure\n" +
                         head + "3;11.283791839258;100.000002980232;Alveolo;Yes;Yes;Yes;\n" + head +
                         "5;3.610813388563;10.240000305176;Void;No;No;Yes;\n" + head +
                         "6;3.610813388563;10.240000305176;Vitelline;No;No;No;\n" + head +
                         "7;2.256758367852;4.000000119209;Hydrated;Yes;Yes;No;\n" + head +
                         "9;3.610813388563;10.240000305176;Unknown;No;Yes;No;\n");
}

TEST_F(ResultsCsvTest, HalfMicronCalibrationAndTheSampleHeader) {
  std::ostringstream out;
  ResultsCsv::writeHeader(out, ResultsCsv::sampleHeader);
  ResultsCsv::writeRows(out, {shapes[1]}, {"b.png", kWidth, kHeight, true, 0.5}, "A", kClassNames);
  EXPECT_EQ(out.str(),
            "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nuclous; Count; Measure\n"
            "b.png;261888.000000000000;0.500000000000;A;5;18.054066673786;256.000000000000;Void;No;No;Yes;\n");
}

TEST(ResultsCsvAreaTest, PictureAreaIsComputedInSixtyFourBits) {
  // 70000 x 70000 overflows a 32-bit product.
  EXPECT_DOUBLE_EQ(ResultsCsv::pictureArea({}, 70000, 70000), 4.9e9);
}

}  // namespace
