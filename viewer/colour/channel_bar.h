// The colour dialog's preview of one channel: a 1-bit image of 128 x 256
// pixels, one row per step of the iteration range, whose set pixels from the
// left show the channel's value (value / 2 pixels).
//
// Row i (0..255, top row first) with R = highCount - lowCount:
//   s = i / 256, D = distort(s, distortion),
//   G = frame1Start + D (frame1End - frame1Start), H likewise for frame 2,
//   K = (G + H)/2 + sin((phase + i) R pi / (cycle 256)) (G - H)/2,
//   L = K/2 truncated, at most 127 (0 when K is not finite);
// the first L pixels of the row are set (nothing for L < 1).
// Rows are 16 bytes, the leftmost pixel in the high bit.
//
// Thread-safety: pure.
#pragma once

#include "common/block_layout.h"

#include <array>
#include <cstdint>

namespace colour {

inline constexpr int CHANNEL_BAR_WIDTH = 128;
inline constexpr int CHANNEL_BAR_HEIGHT = 256;
inline constexpr int CHANNEL_BAR_ROW_BYTES = CHANNEL_BAR_WIDTH / 8;

using ChannelBarBits = std::array<std::uint8_t, CHANNEL_BAR_ROW_BYTES * CHANNEL_BAR_HEIGHT>;

// The number of set pixels of row i.
int channelBarLength(const common::ChannelCurve& curve, int lowCount, int highCount, int row);

ChannelBarBits buildChannelBar(const common::ChannelCurve& curve, int lowCount, int highCount);

}  // namespace colour
