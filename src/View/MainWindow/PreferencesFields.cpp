#include "PreferencesFields.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "NumberText.h"

namespace PreferencesFields {

namespace {

enum Component { Blue, Red, Green, Alpha, Width };

double component(const std::vector<double>& values, Component which) {
  return static_cast<size_t>(which) < values.size() ? values[which] : 0.0;
}

}  // namespace

Gdk::RGBA colourOf(const std::vector<double>& blueRedGreenAlpha) {
  Gdk::RGBA colour;
  colour.set_rgba(component(blueRedGreenAlpha, Red), component(blueRedGreenAlpha, Green),
                  component(blueRedGreenAlpha, Blue), component(blueRedGreenAlpha, Alpha));
  return colour;
}

std::vector<double> blueRedGreenAlpha(const Gdk::RGBA& colour) {
  return {colour.get_blue(), colour.get_red(), colour.get_green(), colour.get_alpha()};
}

double widthOf(const std::vector<double>& style) { return component(style, Width); }

std::string widthRowText(double width) {
  return std::isfinite(width) ? NumberText::formatInt(static_cast<long>(std::trunc(width))) : std::string();
}

double widthOfRow(int row, double storedWidth) { return row >= 0 ? row + 1 : storedWidth; }

std::vector<double> styleOf(const Gdk::RGBA& colour, double width) {
  std::vector<double> style = blueRedGreenAlpha(colour);
  style.push_back(width);
  return style;
}

std::optional<double> typedFactor(const std::string& text) {
  const double factor = NumberText::toDouble(text);
  if (!std::isfinite(factor) || factor <= 0) return std::nullopt;
  return factor;
}

double typedPixels(const std::string& text, double factor) { return NumberText::toDoubleNoComma(text) / factor; }

std::optional<int> wholePixels(double pixels) {
  const double whole = std::trunc(pixels);
  if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max())) return std::nullopt;
  return static_cast<int>(whole);
}

bool acceptsMinimum(int minimum, int maximum) { return minimum >= 3 && static_cast<long>(minimum) < maximum - 2L; }

bool acceptsMaximum(int maximum, int minimum) { return static_cast<long>(maximum) > minimum + 2L; }

std::string withXmlExtension(const std::string& chosen) {
  const std::string extension = ".xml";
  const bool hasIt =
      chosen.size() >= extension.size() &&
      std::equal(extension.begin(), extension.end(), chosen.end() - extension.size(),
                 [](char wanted, char given) { return wanted == std::tolower(static_cast<unsigned char>(given)); });
  return hasIt ? chosen : chosen + extension;
}

int shownProblem(int index, int count) { return index >= 0 && index < count ? index : -1; }

}  // namespace PreferencesFields
