// Number texts as the programs show, store and read them.
//
// Every function here works in the C numeric conventions ('.' as the decimal
// point, no digit grouping) whatever the user's locale is, so a settings file
// or a sample file written under one locale reads back under any other.
//
// Reading follows "%lf" / "%d": leading white space is skipped, an optional
// sign is accepted and reading stops at the first character that cannot
// continue the number (so "12a3" reads as 12). Unlike the C functions the
// results are always finite and never wrap around:
//  - parseDouble refuses "inf", "nan", hexadecimal forms and values too large
//    for a double; a value too small for a double reads as zero.
//  - parseIntSaturating saturates at the limits of long long; callers clamp
//    the result into their own range.
//
// All functions are pure and thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// "%.16G": 16 significant digits, exponent form when the exponent is below -4
// or at least 16, upper-case 'E'; "INF"/"NAN" for non-finite values.
std::string formatG16(double v);

// "%.16lf" with the trailing zeros after the point removed, and the point too
// when no digit is left after it: 1.0 -> "1", 0.05 -> "0.05", 1e-6 -> "0.000001".
std::string formatFixed16Trimmed(double v);

// "%.30lf" (the full text, as sample records hold it before cutting).
std::string formatFixed30(double v);

// Reads a decimal floating point number; nullopt when the text does not start
// with one (after white space) or the value is not finite.
std::optional<double> parseDouble(std::string_view text);

// Reads a decimal integer, saturating instead of wrapping around;
// nullopt when the text does not start with one (after white space).
std::optional<long long> parseIntSaturating(std::string_view text);

// The longest prefix of text that has at most maxBytes bytes and does not end
// inside a UTF-8 character.
std::string cutUtf8(std::string_view text, std::size_t maxBytes);

// text with every CR and LF removed (names are single-line).
std::string withoutLineBreaks(std::string_view text);

}  // namespace common
