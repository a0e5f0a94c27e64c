#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "PreferencesFields.h"

namespace {

using namespace PreferencesFields;

TEST(PreferencesColours, StylesAndClassColoursAreBlueRedGreenAlpha) {
  const Gdk::RGBA colour = colourOf({0.25, 0.5, 0.75, 0.125, 9});
  EXPECT_DOUBLE_EQ(colour.get_blue(), 0.25);
  EXPECT_DOUBLE_EQ(colour.get_red(), 0.5);
  EXPECT_DOUBLE_EQ(colour.get_green(), 0.75);
  EXPECT_DOUBLE_EQ(colour.get_alpha(), 0.125);
  EXPECT_EQ(blueRedGreenAlpha(colour), (std::vector<double>{0.25, 0.5, 0.75, 0.125}));
  EXPECT_EQ(styleOf(colour, 4), (std::vector<double>{0.25, 0.5, 0.75, 0.125, 4}));

  // A short list reads as 0 where it ends, instead of past its end.
  const Gdk::RGBA partial = colourOf({1});
  EXPECT_DOUBLE_EQ(partial.get_blue(), 1);
  EXPECT_DOUBLE_EQ(partial.get_red(), 0);
  EXPECT_DOUBLE_EQ(partial.get_alpha(), 0);
  EXPECT_DOUBLE_EQ(widthOf({0, 0, 0, 1}), 0);
}

TEST(PreferencesWidths, RowNStandsForWidthNPlusOne) {
  const struct {
    double width;
    const char* rowText;
  } shown[] = {{5, "5"}, {1, "1"}, {5.9, "5"}, {99, "99"}, {0, "0"}};
  for (const auto& c : shown) EXPECT_EQ(widthRowText(c.width), c.rowText) << c.width;

  EXPECT_DOUBLE_EQ(widthOfRow(4, 2), 5);
  EXPECT_DOUBLE_EQ(widthOfRow(0, 2), 1);
  // No active row: the stored width stays, never 0.
  EXPECT_DOUBLE_EQ(widthOfRow(-1, 99), 99);
}

TEST(PreferencesCalibration, TypedFactor) {
  const struct {
    const char* text;
    std::optional<double> factor;
  } cases[] = {{"2,5", 2.5},          {"2.5", 2.5},           {"0.5abc", 0.5},     {" 3", 3.0},
               {"0", std::nullopt},   {"-1,5", std::nullopt}, {"x", std::nullopt}, {"", std::nullopt},
               {"nan", std::nullopt}, {"inf", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto factor = typedFactor(c.text);
    ASSERT_EQ(factor.has_value(), c.factor.has_value());
    if (factor) {
      EXPECT_DOUBLE_EQ(*factor, *c.factor);
    }
  }
}

// What an Enter in a diameter entry makes of the typed text.
std::optional<int> acceptedMinimum(const std::string& text, double factor, int maximum) {
  const auto whole = wholePixels(typedPixels(text, factor));
  return whole && acceptsMinimum(*whole, maximum) ? whole : std::nullopt;
}

std::optional<int> acceptedMaximum(const std::string& text, double factor, int minimum) {
  const auto whole = wholePixels(typedPixels(text, factor));
  return whole && acceptsMaximum(*whole, minimum) ? whole : std::nullopt;
}

TEST(PreferencesDiameters, MinimumWithinItsLimits) {
  const struct {
    const char* text;
    double factor;
    std::optional<int> pixels;
  } cases[] = {
      {"797", 1, 797},
      {"798", 1, std::nullopt},
      {"3", 1, 3},
      {"2", 1, std::nullopt},
      {"3.9", 1, 3},
      {"abc", 1, std::nullopt},
      {"-5", 1, std::nullopt},
      // A comma ends the number.
      {"3,9", 1, 3},
      // With calibration, typed micrometres become pixels.
      {"100", 0.5, 200},
      {"1", 0.25, 4},
      // A factor of 0 read from a file gives no pixel value at all.
      {"100", 0, std::nullopt},
      {"1e300", 1, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " factor " + std::to_string(c.factor));
    EXPECT_EQ(acceptedMinimum(c.text, c.factor, 800), c.pixels);
  }
}

TEST(PreferencesDiameters, MaximumAboveTheMinimum) {
  EXPECT_EQ(acceptedMaximum("202", 1, 200), std::nullopt);
  EXPECT_EQ(acceptedMaximum("203", 1, 200), 203);
  EXPECT_EQ(acceptedMaximum("100000", 1, 200), 100000);
  EXPECT_EQ(acceptedMaximum("150", 0.5, 200), 300);
  EXPECT_FALSE(acceptsMaximum(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  EXPECT_FALSE(acceptsMinimum(std::numeric_limits<int>::max() - 1, std::numeric_limits<int>::min()));
}

TEST(PreferencesSaveName, XmlIsAppendedOnlyWhenMissing) {
  const struct {
    const char* chosen;
    const char* file;
  } cases[] = {{"/d/settings", "/d/settings.xml"},     {"/d/settings.xml", "/d/settings.xml"},
               {"/d/settings.XML", "/d/settings.XML"}, {"/d/settings.xml.bak", "/d/settings.xml.bak.xml"},
               {"/d/x.xmlx", "/d/x.xmlx.xml"},         {"/d/xml", "/d/xml.xml"}};
  for (const auto& c : cases) EXPECT_EQ(withXmlExtension(c.chosen), c.file) << c.chosen;
}

TEST(PreferencesProblems, OnlyIndexesOfAButtonAreShown) {
  for (const auto& [index, shown] : std::vector<std::pair<int, int>>{{0, 0}, {29, 29}, {-1, -1}, {30, -1}, {-7, -1}})
    EXPECT_EQ(shownProblem(index, 30), shown) << index;
}

}  // namespace
