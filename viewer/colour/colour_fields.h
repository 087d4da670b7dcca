// The rules of the colour dialogs' number fields, applied on every change of
// a field's text: what value the text stands for and whether the field must
// be rewritten with a corrected number.
//
// Texts are read like "%d" but saturating (no wrap-around); a text that is
// no number (empty, "-") yields nothing and the stored value stays as it was.
//
// All functions are pure and thread-safe.
#pragma once

#include "common/block_layout.h"

#include <array>
#include <optional>
#include <string>

namespace colour {

inline constexpr int MIN_DISTORTION = -16;
inline constexpr int MAX_DISTORTION = 16;
inline constexpr int MAX_CHANNEL_VALUE = 255;
inline constexpr int EXCEPTION_NUMBER_MAX_CHARS = 10;
inline constexpr int COLOUR_VALUE_MAX_CHARS = 3;

struct FieldValue {
    int value = 0;
    bool rewrite = false;  // the field must show `text` instead of what was typed
    std::string text;
};

// Upper end of the cycle and phase range: max(1, highCount - lowCount).
int cycleRangeTop(const common::ComponentColour& record);

// Cycle and phase: a number above highCount - lowCount becomes
// max(1, highCount - lowCount), one of 0 or less becomes 1.
std::optional<FieldValue> cycleFieldValue(const std::string& text,
                                          const common::ComponentColour& record);

// Distortion: held to -16..16.
std::optional<FieldValue> distortionFieldValue(const std::string& text);

// A colour value (exception rows, unknown colour): held to 0..255.
std::optional<FieldValue> colourFieldValue(const std::string& text);

// An exception row's number while it is typed: a number above highCount
// becomes highCount. Numbers below lowCount are left for OK to refuse.
// Returns the corrected text, or nothing when it stands.
std::optional<std::string> exceptionNumberCorrection(const std::string& text,
                                                     const common::ComponentColour& record);

// The texts of one exception row as the dialog holds them.
struct ExceptionRowText {
    std::string number;  // empty: the row is cleared
    std::string red, green, blue;
};
using ExceptionRowTexts = std::array<ExceptionRowText, common::EXCEPTION_ROW_COUNT>;

// The texts the exception dialog opens with: the number with "%d" (empty
// for a negative number) and the low byte of each colour value.
ExceptionRowTexts exceptionRowTexts(const common::ComponentColour& record);

// OK of the exception dialog. Walks the rows in order and stores each
// accepted row into record at once: an empty number clears the row (number
// -1, colour 0, 0, 0). Stops at the first number below lowCount, above
// highCount or equal to an earlier row's, with that row's message; rows
// before it stay stored. An empty colour field stores 0.
struct ExceptionRowsResult {
    bool accepted = true;
    std::string message;  // the refusal, when not accepted
};
ExceptionRowsResult storeExceptionRows(const ExceptionRowTexts& rows,
                                       common::ComponentColour& record);

// The header label "番号%d～%d" with lowCount and highCount.
std::string exceptionHeaderText(const common::ComponentColour& record);

}  // namespace colour
