// Thumbnail masks of the component selection dialog: for every component
// code 0..20 and for the unknown pixels, a 1-bit picture of where that
// component lies.
//
// The thumbnail's longer side is 200 pixels, the shorter one the picture's
// shorter side scaled alike (integer division, at least 1). Rows are padded
// to a multiple of 16 pixels, the first row is the top row, and the leftmost
// pixel is the high bit of its byte. Thumbnail pixel (column e, row i counted
// from the bottom) samples the component map at
// [width * e / thumbnail width][i * height / thumbnail height].
//
// Thread-safety: pure; reads the map without locking (call it while no
// render runs).
#pragma once

#include "viewer/maps/pixel_maps.h"

#include <array>
#include <cstdint>
#include <vector>

namespace colour {

inline constexpr int THUMBNAIL_LONG_SIDE = 200;
inline constexpr int MASK_COUNT = 22;     // codes 0..20 and the unknown pixels
inline constexpr int UNKNOWN_MASK = 21;

struct ThumbnailSize {
    int width = 0;
    int height = 0;
    int rowBytes = 0;  // width raised to a multiple of 16 pixels, in bytes
};

// The thumbnail of a width x height picture; all zero for an empty picture.
ThumbnailSize thumbnailSize(int width, int height);

struct ComponentMasks {
    ThumbnailSize size;
    std::array<std::vector<std::uint8_t>, MASK_COUNT> bits;  // rowBytes * height each

    // Pixel (column, row from the top) of mask `mask`.
    bool isSet(int mask, int column, int row) const {
        const std::uint8_t byte =
            bits[static_cast<std::size_t>(mask)][static_cast<std::size_t>(row) * size.rowBytes + column / 8];
        return (byte & (0x80 >> (column % 8))) != 0;
    }
};

// Builds all masks in one pass over the thumbnail. width and height are the
// picture's (1..MAP_SIZE; anything else gives empty masks).
ComponentMasks buildComponentMasks(const render::ComponentMap& map, int width, int height);

}  // namespace colour
