#ifndef NUMBERTEXT_H
#define NUMBERTEXT_H

#include <string>

// Numbers in the project's XML and text files always use a decimal point,
// whatever the numeric locale of the running process.
namespace NumberText {

// The "%f" form: fixed notation with six decimals ("0.500000").
std::string formatReal(double value);

// The "%f" form when it reads back as the same number ("0.500000");
// otherwise fixed notation with just the decimals that reading it back needs
// ("0.0000001", "0.123456789").
std::string formatRealExactly(double value);

// The "%d" form of an integer.
std::string formatInt(long value);

// Reads a real as atof does (leading blanks skipped, the longest valid prefix
// taken, 0 when there is none), after turning every decimal comma into a point.
double toDouble(const std::string& text);

// Reads a real as atof does, without the comma replacement: "2,5" reads as 2.
double toDoubleNoComma(const std::string& text);

// Reads an integer as atoi does: "12abc" is 12, "abc" is 0.
int toInt(const std::string& text);

}  // namespace NumberText

#endif
