// The colour word shared by blocks, pixel maps and bitmaps:
// red | green << 8 | blue << 16, each channel 0..255.
#pragma once

#include <cstdint>

namespace common {

using ColourWord = std::uint32_t;

constexpr ColourWord colourWord(int red, int green, int blue) {
    return static_cast<ColourWord>(red & 0xFF) | (static_cast<ColourWord>(green & 0xFF) << 8) |
           (static_cast<ColourWord>(blue & 0xFF) << 16);
}
constexpr int redOf(ColourWord c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(ColourWord c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(ColourWord c) { return static_cast<int>((c >> 16) & 0xFF); }

}  // namespace common
