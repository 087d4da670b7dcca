// The three pixel maps of a viewer: iteration count, component code and
// colour word of every pixel of the picture.
//
// Conventions
//  - Each map is MAP_SIZE x MAP_SIZE entries, indexed [x][y]: x counts
//    columns from the left, y rows from the BOTTOM of the picture. Only the
//    corner x < width, y < height is used; the window shows [x][y] at row
//    height - 1 - y.
//  - A component code is 0 for infinity (and every Mandelbrot pixel),
//    1..20 for entry code - 1 of the block's component table and 255 for
//    "unknown"; read as a signed byte, 255 is negative.
//  - Colour words are red | green << 8 | blue << 16 (common/colour_word.h).
//
// Lifetime: one PixelMaps per viewer process, allocated once (zeroed) with
// makePixelMaps() and never resized. About 9 MB, so always on the heap.
//
// Thread-safety: the render thread writes the maps while the interface
// thread paints from them without a lock; a torn read only shows a mixture
// of old and new values that the next paint corrects.
//
// Header only, std only: the colour model and the bitmap writer read the
// maps too.
#pragma once

#include <cstdint>
#include <memory>

namespace render {

inline constexpr int MAP_SIZE = 1000;

using IterationMap = std::int32_t[MAP_SIZE][MAP_SIZE];
using ComponentMap = std::uint8_t[MAP_SIZE][MAP_SIZE];
using ColourMap = std::uint32_t[MAP_SIZE][MAP_SIZE];

struct PixelMaps {
    IterationMap iteration;   // the kernel's count (0 for an unknown pixel)
    ComponentMap component;   // component code
    ColourMap colour;         // colour word
};

// A zeroed set of maps: before the first render the picture is black.
inline std::unique_ptr<PixelMaps> makePixelMaps() { return std::make_unique<PixelMaps>(); }

// The component code of a map entry as the colour model reads it: a signed
// byte, so that "unknown" (255) is negative.
constexpr int signedComponentCode(std::uint8_t stored) {
    return stored > 127 ? static_cast<int>(stored) - 256 : static_cast<int>(stored);
}

}  // namespace render
