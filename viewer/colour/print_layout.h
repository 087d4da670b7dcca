// The printed page: which information texts go with the picture, and where
// picture and text land on the page.
//
// All lengths are device units of the page (printer dots), with y growing
// downwards. The page's drawing rectangle is shrunk by the margin on all four
// sides; the picture keeps its aspect ratio and is placed at the top-left of
// that area, the text either beside it (area relatively wider than the
// picture) or below it.
//
// Failure modes: a printable area or picture of zero or negative size gives
// a layout with drawPicture false and no division by zero; a text too big for
// its room is clipped, which the layout reports in textClipped.
//
// All functions are pure and thread-safe.
#pragma once

#include "viewer/colour/picture_info.h"

#include <cstddef>
#include <string>

namespace colour {

inline constexpr int MAX_MARGIN_MM = 50;
inline constexpr int MAX_COMMENT_CHARACTERS = 1023;
inline constexpr std::size_t MAX_PRINT_TEXT_BYTES = 4095;

// What to print beside the picture; kept for the life of the viewer process.
struct PrintOptions {
    bool printFormula = false;
    bool printRange = false;
    bool printFixedPoints = false;
    bool printCriticalPoints = false;
    bool printLoopCount = false;
    int marginMm = 0;     // 0..MAX_MARGIN_MM on all four sides
    std::string comment;  // each line followed by "\n"; empty for none
};

// The comment as stored: every line of the field followed by "\n" (CR LF,
// CR and LF in the field all count as one break); "" for an empty field.
std::string commentFromField(const std::string& fieldText);

// The text block printed with the picture, sections in the order formula,
// range, loop count, fixed points, critical points, comment. A text longer
// than MAX_PRINT_TEXT_BYTES is cut after its last whole line that fits.
std::string assemblePrintText(const PictureInfo& info, const PrintOptions& options);

// The margin in device units: millimetres at the page's horizontal resolution.
int marginToDevice(int marginMm, double dotsPerInchX);

struct DeviceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const DeviceRect&) const = default;
};

enum class TextPlacement { Beside, Below };

struct PageLayout {
    DeviceRect printable;        // drawing rectangle less the margins
    TextPlacement placement = TextPlacement::Below;
    bool drawPicture = false;    // false: no room, or an empty picture
    DeviceRect picture;          // where the picture is stretched to
    bool drawText = false;       // false: no text
    DeviceRect text;             // clip rectangle of the text block
    bool textClipped = false;    // show "テキストが入りません。文字が一部欠けます。"
};

// page: the page's drawing rectangle; margin in device units; picture size in
// pixels; textWidth/textHeight: the measured text block (0, 0 for no text).
PageLayout computePageLayout(const DeviceRect& page, int margin, int pictureWidth,
                             int pictureHeight, int textWidth, int textHeight);

}  // namespace colour
