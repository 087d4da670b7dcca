#include "common/number_text.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace common {
namespace {

// Large enough for "%.30lf" of the largest double (309 digits + sign + point + 30).
constexpr std::size_t NUMBER_BUFFER_SIZE = 400;

std::string toChars(double v, std::chars_format format, int precision) {
    char buffer[NUMBER_BUFFER_SIZE];
    // std::to_chars never consults the locale.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, format, precision);
    if (result.ec != std::errc()) return {};
    return std::string(buffer, result.ptr);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string formatG16(double v) {
    std::string text = toChars(v, std::chars_format::general, 16);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string formatFixed16Trimmed(double v) {
    std::string text = toChars(v, std::chars_format::fixed, 16);
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return text;
    std::size_t end = text.size();
    while (end > point + 1 && text[end - 1] == '0') --end;
    if (end == point + 1) end = point;  // nothing left after the point
    text.resize(end);
    return text;
}

std::string formatFixed30(double v) { return toChars(v, std::chars_format::fixed, 30); }

std::optional<double> parseDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // Accept only the plain decimal form: digits [. digits] [e [sign] digits].
    // "inf", "nan" and "0x..." are refused here rather than read.
    const std::size_t start = i;
    int integerDigits = 0, leadingZeros = 0, fractionZerosBeforeFirst = 0;
    bool seenNonZero = false;
    std::size_t digitCount = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (text[i] != '0') seenNonZero = true;
        if (!seenNonZero) ++leadingZeros;
        ++integerDigits;
        ++digitCount;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            if (text[i] != '0') seenNonZero = true;
            if (!seenNonZero) ++fractionZerosBeforeFirst;
            ++digitCount;
            ++i;
        }
    }
    if (digitCount == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X') && i == start + 1 && text[start] == '0')
        return std::nullopt;  // hexadecimal form
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (negativeExponent) exponent = -exponent;
            i = j;
        }
        // "1e" reads as 1 and leaves the 'e', as strtod does.
    }

    double value = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + i, value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        if (!seenNonZero) {
            value = 0.0;
        } else {
            // Decimal magnitude of the first significant digit decides between
            // overflow (refused) and underflow (reads as zero).
            const long long magnitude = integerDigits - leadingZeros > 0
                                            ? exponent + (integerDigits - leadingZeros)
                                            : exponent - fractionZerosBeforeFirst;
            if (magnitude > 0) return std::nullopt;
            value = 0.0;
        }
    } else if (result.ec != std::errc() || result.ptr != text.data() + i) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<long long> parseIntSaturating(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
    // Accumulate towards the sign so that LLONG_MIN is reachable.
    long long value = 0;
    bool saturated = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        if (saturated) continue;
        if (negative) {
            if (value < (LLONG_MIN + digit) / 10) {
                saturated = true;
                value = LLONG_MIN;
            } else {
                value = value * 10 - digit;
            }
        } else {
            if (value > (LLONG_MAX - digit) / 10) {
                saturated = true;
                value = LLONG_MAX;
            } else {
                value = value * 10 + digit;
            }
        }
    }
    return value;
}

std::string cutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    std::size_t end = maxBytes;
    // Back off over continuation bytes (10xxxxxx) to the start of the character
    // that does not fit. A UTF-8 character has at most three of them; a longer
    // run is not UTF-8 and is cut where the limit falls.
    int backed = 0;
    while (end > 0 && backed < 4 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
        ++backed;
    }
    if (backed == 4) end = maxBytes;
    return std::string(text.substr(0, end));
}

std::string withoutLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') out.push_back(c);
    return out;
}

}  // namespace common
