// Text and JSON output of point lists, shared by the report sections.
// Numbers are formatted with snprintf; this program never calls setlocale,
// so the C locale (decimal point '.') applies whatever the user's locale.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

// "実部 %.16G 虚部 %.16G", one line.
std::string pointLine(double re, double im);

// A JSON number in %.16G form, or null where the value is not finite.
std::string jsonNumber(double v);

// {"re": .., "im": ..}
std::string jsonPoint(double re, double im);

// [{"re": .., "im": ..}, ...]
std::string jsonPoints(const std::vector<double>& re, const std::vector<double>& im, int count);

// A JSON string literal (quotes and escapes added).
std::string jsonString(const std::string& text);

}  // namespace cli
