// The colour dialog's channel bars and the selection dialog's thumbnails.
#include "viewer/colour/channel_bar.h"
#include "viewer/colour/component_masks.h"

#include <gtest/gtest.h>

#include <bitset>

namespace {

TEST(ChannelBar, RowsAreHalfTheChannelValueAtTheirShareOfTheRange) {
    // Both frames 0 -> 254: length trunc(127 row / 256), held to 0 below 1 and to 127.
    const common::ChannelCurve ramp{0, 254, 0, 254, 1, 0, 0};
    const std::pair<int, int> rows[] = {{2, 0}, {3, 1}, {128, 63}, {255, 126}};
    for (const auto& [row, length] : rows) EXPECT_EQ(colour::channelBarLength(ramp, 0, 1, row), length) << row;
    // Frame 1 against frame 2, range 256, cycle 2: the sine turns a quarter per row.
    const common::ChannelCurve wave{255, 255, 0, 0, 2, 0, 0};
    const int waveLengths[] = {63, 127, 63, 0};
    for (int row = 0; row < 4; ++row) EXPECT_EQ(colour::channelBarLength(wave, 100, 356, row), waveLengths[row]) << row;
    EXPECT_EQ(colour::channelBarLength({255, 255, 0, 0, 2, 1, 0}, 100, 356, 0), 127) << "phase 1";

    const colour::ChannelBarBits bits = colour::buildChannelBar(wave, 100, 356);
    const std::pair<int, int> bytes[] = {{0, 0xFF}, {6, 0xFF}, {7, 0xFE}, {8, 0}, {16 + 15, 0xFE}, {48, 0}};
    for (const auto& [at, value] : bytes) EXPECT_EQ(bits[static_cast<std::size_t>(at)], value) << at;
}

TEST(ComponentMasks, EachCodeAndTheUnknownPixelsGetTheirOwnMask) {
    auto maps = render::makePixelMaps();
    // 400 x 200: right half code 1, bottom 20 rows of the left half unknown,
    // the first two columns a code no component has, the rest code 0.
    for (int x = 0; x < 400; ++x)
        for (int y = 0; y < 200; ++y)
            maps->component[x][y] = x < 2 ? 21 : x >= 200 ? 1 : (y < 20 ? 255 : 0);
    const auto masks = colour::buildComponentMasks(maps->component, 400, 200);
    ASSERT_EQ(masks.size.width, 200);
    ASSERT_EQ(masks.size.height, 100);

    auto count = [&](int mask) {
        int n = 0;
        for (auto b : masks.bits[mask]) n += static_cast<int>(std::bitset<8>(b).count());
        return n;
    };
    EXPECT_EQ(count(1), 100 * 100);
    EXPECT_EQ(count(0), 99 * 90);
    EXPECT_EQ(count(colour::UNKNOWN_MASK), 99 * 10);
    EXPECT_EQ(count(2), 0);
    EXPECT_TRUE(masks.isSet(0, 1, 0) && masks.isSet(colour::UNKNOWN_MASK, 1, 99)) << "the first row is the top";
    EXPECT_FALSE(masks.isSet(0, 1, 99) || masks.isSet(0, 100, 50) || masks.isSet(0, 0, 0));

    // The long side is 200 pixels, rows are whole 16-pixel words; sizes outside the maps give no masks.
    const int sizes[][5] = {{400, 200, 200, 100, 26}, {90, 120, 150, 200, 20}, {1000, 1, 200, 1, 26},
                            {1, 1000, 1, 200, 2},     {1001, 10, 0, 0, 0},      {0, 10, 0, 0, 0}};
    for (const auto& s : sizes) {
        const auto m = colour::buildComponentMasks(maps->component, s[0], s[1]);
        EXPECT_EQ((std::array<int, 3>{m.size.width, m.size.height, m.size.rowBytes}), (std::array<int, 3>{s[2], s[3], s[4]}))
            << s[0] << " x " << s[1];
        EXPECT_EQ(m.bits[0].size(), static_cast<std::size_t>(s[3] * s[4]));
    }
}

}  // namespace
