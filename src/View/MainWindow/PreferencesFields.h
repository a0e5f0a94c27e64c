#ifndef PREFERENCESFIELDS_H
#define PREFERENCESFIELDS_H

#include <gdkmm/rgba.h>

#include <optional>
#include <string>
#include <vector>

// The rules by which the preferences dialogs turn settings into widget
// contents and typed text back into settings. None of them needs a widget.
namespace PreferencesFields {

// Colours and drawing styles keep blue, red, green and alpha in this order
// (a style adds the line width). Entries the list lacks read as 0.
Gdk::RGBA colourOf(const std::vector<double>& blueRedGreenAlpha);
std::vector<double> blueRedGreenAlpha(const Gdk::RGBA& colour);

// The line width of a style; 0 when the style has none.
double widthOf(const std::vector<double>& style);
// Row n of a line-width list stands for the width n + 1, and its text is that
// width in decimal. The text of the row that shows `width` (truncated).
std::string widthRowText(double width);
// The width the active row stands for; with no active row (-1) the width
// stored before, so that an untouched setting is kept.
double widthOfRow(int row, double storedWidth);
// A style of the given colour and width.
std::vector<double> styleOf(const Gdk::RGBA& colour, double width);

// The calibration factor typed in its entry, with a decimal comma or point;
// none when the text does not start with a positive finite number.
std::optional<double> typedFactor(const std::string& text);

// A diameter typed in its entry, in pixels: the leading number (a comma
// ends it) divided by `factor`, which is 1 when calibration is off.
double typedPixels(const std::string& text, double factor);
// A diameter in whole pixels, truncated toward zero; none when no int holds
// it (an infinite or undefined quotient, say).
std::optional<int> wholePixels(double pixels);
// The limits the dialogs accept: a minimum of at least 3 that stays more than
// 2 below the maximum, and a maximum more than 2 above the minimum.
bool acceptsMinimum(int minimum, int maximum);
bool acceptsMaximum(int maximum, int minimum);

// The preferences file name for a name chosen in the save chooser: ".xml"
// is appended unless the name already ends in it, in any letter case.
std::string withXmlExtension(const std::string& chosen);

// The problem a row of `count` problem buttons shows: `index` when it lies
// within the row, else -1 (none).
int shownProblem(int index, int count);

}  // namespace PreferencesFields

#endif
