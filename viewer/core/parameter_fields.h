// The pure side of the parameter bar: how its fields filter, read, limit and
// show their numbers, and the checks the draw button makes. No Qt here, so
// the rules are testable without a window.
//
// Conventions: texts are UTF-8; numbers are formatted and read in the C
// numeric conventions whatever the user's locale is. All functions are pure
// and thread-safe.
#pragma once

#include "common/ui_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/block_layout.h"

namespace viewer {

// Length of the longest valid prefix of a numeric field's text. A text is
// valid when every character is a digit, or the first '.' of the text, or a
// '-' in the first position. So "1.2.3" keeps 3 bytes ("1.2"), "12a" 2,
// "5-" 1 and "1e-6" 1.
std::size_t numericValidLength(std::string_view text);

// A real number as the bar shows it: "%lf" (six decimals), then trailing
// zeros after the point dropped, and the point when nothing follows it:
// 0.250000 -> "0.25", 1.000000 -> "1", 0.000001 stays, 1e-8 -> "0".
std::string formatBarReal(double value);

// A whole number as the bar shows it ("%d").
std::string formatBarInt(int value);

// Reads a real field ("%lf"): nullopt when the text does not start with a
// finite number (empty, "-", "."); the caller then keeps the stored value.
std::optional<double> readBarReal(std::string_view text);

// Reads a whole-number field ("%d") without wrap-around: "4294967297" reads
// as a huge value that the limit below then corrects, never as 1. The result
// is clamped into the int range.
std::optional<int> readBarInt(std::string_view text);

// Result of applying a field's limit: the value to store and whether the
// field must be rewritten with it.
struct LimitedValue {
    int value = 0;
    bool corrected = false;
};

// Width and height: below 0 -> 1, above 1000 -> 1000; 0 is kept (the draw
// start refuses it).
LimitedValue limitPictureSize(int value);

// Loop count: below 0 -> 0, above 100000 -> 100000.
LimitedValue limitLoopCount(int value);

// The draw-start checks, in order: width, height, loop count, convergence
// radius. Returns the message of the first that fails, nullopt when all pass.
// A width or height above 1000 (only possible through the block) is refused
// with the same message as 0, so the render never sees it.
std::optional<std::string> drawStartProblem(const common::ViewRecord& view);

// Message of a Shift+pick whose next magnification is not above 0.
inline constexpr const char* MSG_MAGNIFICATION_ZERO =
    QT_TRANSLATE_NOOP("Texts", "倍率が０です。0より大きくしてください。");

}  // namespace viewer
