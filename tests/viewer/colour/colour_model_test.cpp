#include "viewer/colour/channel_bar.h"
#include "viewer/colour/colour_model.h"
#include "viewer/colour/component_masks.h"

#include <gtest/gtest.h>

#include <bit>
#include <numeric>

namespace {

using colour::ColourTable;
using common::colourWord;

ColourTable defaultTable(int loopCount) {
    ColourTable t;
    for (auto& r : t.records) r = colour::defaultComponentColour(loopCount);
    return t;
}

// By hand: k = (g + h) / 2 + sin((phase + m) pi / cycle) (g - h) / 2, frames g, h at x = m / range distorted.
TEST(ColourModel, ChannelValuesAtHandComputedPoints) {
    const ColourTable t = defaultTable(500);
    // The default curves: red cycle 5, green cycle 3, blue cycle 2 phase 1, all 255 against 0.
    const std::pair<int, common::ColourWord> defaults[] = {
        {0, colourWord(127, 127, 255)}, {1, colourWord(202, 237, 127)}, {2, colourWord(248, 237, 0)},
        {5, colourWord(127, 17, 127)}, {493, colourWord(248, 237, 127)}, {497, colourWord(6, 17, 127)}};
    for (const auto& [count, want] : defaults) EXPECT_EQ(colour::pixelColour(t, 0, 0, count), want) << count;

    // Both frames 0 -> 255 at x = 0.5: 255 x^e, e = 1 + d/4 for d in 1..16, (17 + d)/16 for d in -16..-2, else 1.
    for (auto [d, want] : {std::pair{0, 127}, {1, 107}, {2, 90}, {16, 7}, {17, 127}, {-1, 127}, {-2, 133}, {-16, 244},
                           {-17, 127}})
        EXPECT_EQ(colour::channelValue({0, 255, 0, 255, 4, 0, d}, 128, 0, 256), want) << "distortion " << d;
    // (curve, m, low, high, value): x is m over the range, not (m - low) over it.
    const std::tuple<common::ChannelCurve, int, int, int, int> cases[] = {
        {{0, 200, 0, 200, 4, 0, 0}, 50, 40, 140, 100},
        // Frame 1 against frame 2: 127.5 + 127.5 sin(pi / 4) = 217.66; sin(-pi / 4) with phase -2.
        {{255, 255, 0, 0, 4, 0, 0}, 1, 0, 10, 217},      {{255, 255, 0, 0, 4, -2, 0}, 1, 0, 10, 37},
        {{0, 0, 255, 255, 4, 0, 0}, 1, 0, 10, 37},
    };
    for (const auto& [curve, m, low, high, want] : cases) EXPECT_EQ(colour::channelValue(curve, m, low, high), want) << m;
}

TEST(ColourModel, ExceptionRowsUnknownColourAndDegenerateSettings) {
    ColourTable t = defaultTable(500);
    t.records[2].exceptions[3] = {7, 1, 2, 3};
    t.records[2].exceptions[5] = {7, 9, 9, 9};  // a later row with the same number
    t.records[3].lowCount = t.records[3].highCount = 40;  // all pixels share one count: range 0
    const common::ColourWord unknown = colourWord(10, 20, 30);
    // (code, count, colour): other counts and components keep their curves; negative codes and codes
    // without a record are unknown; only the three low bytes of the unknown colour count; range 0 is black.
    const struct {
        int code, count;
        common::ColourWord unknown, want;
    } cases[] = {{2, 7, unknown, colourWord(1, 2, 3)}, {2, 5, unknown, colourWord(127, 17, 127)},
                 {1, 7, unknown, colourWord(6, 237, 127)}, {-1, 7, unknown, unknown}, {21, 7, unknown, unknown},
                 {-1, 0, 0xAB102030u, 0x00102030u}, {3, 40, unknown, 0}, {3, 0, unknown, 0}};
    for (const auto& c : cases) EXPECT_EQ(colour::pixelColour(t, c.unknown, c.code, c.count), c.want) << c.code << "/" << c.count;
    // Constant frames give a constant channel whatever the cycle and phase; a cycle of 0 gives 0.
    for (int m = 0; m <= 1000; m += 37) EXPECT_EQ(colour::channelValue({255, 255, 255, 255, 7, 3, 5}, m, 0, 1000), 255);
    EXPECT_EQ(colour::channelValue({255, 255, 0, 0, 0, 0, 0}, 3, 0, 10), 0);
    // Extreme block values: no overflow, values stay within 0..255.
    const common::ChannelCurve wild{INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    for (int m : {0, 1, 2, 1000, INT32_MAX})
        EXPECT_LE(static_cast<unsigned>(colour::channelValue(wild, m, INT32_MIN, INT32_MAX)), 255u) << m;
}

TEST(ColourModel, RecolouringPaintsThePictureCornerAndNothingElse) {
    ColourTable t = defaultTable(500);
    t.records[1].exceptions[0] = {2, 1, 2, 3};
    auto maps = render::makePixelMaps();
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y) {
            maps->iteration[x][y] = x + y;
            maps->component[x][y] = static_cast<std::uint8_t>(y == 2 ? 255 : y);
        }
    const common::ColourWord unknown = colourWord(10, 20, 30);
    colour::recolourPicture(*maps, 3, 2, t, unknown);
    const common::ColourWord want[3][2] = {{colourWord(127, 127, 255), colourWord(202, 237, 127)},
                                           {colourWord(202, 237, 127), colourWord(1, 2, 3)},
                                           {colourWord(248, 237, 0), colourWord(248, 127, 127)}};
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(maps->colour[x][y], x < 3 && y < 2 ? want[x][y] : 0u) << x << ", " << y;
    colour::recolourPicture(*maps, 1, 3, t, unknown);
    EXPECT_EQ(maps->colour[0][2], unknown);
}

TEST(ColourModel, UpdateColourRangesNarrowsAndCleansRows) {
    ColourTable t = defaultTable(1000);
    const common::ExceptionColour rows[] = {{0, 1, 1, 1}, {5, 2, 2, 2}, {50, 3, 3, 3}, {900, 4, 4, 4}};
    for (auto& rec : t.records) std::copy(std::begin(rows), std::end(rows), std::begin(rec.exceptions));
    colour::RenderStatistics s;
    for (auto [code, count] : {std::pair{0, 5}, {0, 60}, {1, 50}, {99, 1}, {-1, 1}}) s.record(code, count);
    colour::updateColourRanges(t, s, 2);  // code 2: no pixels; 99 and -1 are no codes

    // (low, high) and the rows' numbers: rows outside the new range are cleared (-1); code 2 had no
    // pixels: range 0..0, row 0 kept. Code 3 lies above the component count.
    const int want[4][6] = {{5, 60, -1, 5, 50, -1}, {50, 50, -1, -1, 50, -1}, {0, 0, 0, -1, -1, -1},
                            {0, 1000, 0, 5, 50, 900}};
    for (int code = 0; code < 4; ++code) {
        const auto& r = t.records[code];
        EXPECT_EQ((std::array<int, 6>{r.lowCount, r.highCount, r.exceptions[0].number, r.exceptions[1].number,
                                      r.exceptions[2].number, r.exceptions[3].number}),
                  (std::array<int, 6>{want[code][0], want[code][1], want[code][2], want[code][3], want[code][4],
                                      want[code][5]})) << code;
    }
    // A hostile component count is clamped to the table.
    colour::updateColourRanges(t, s, 1000);
    EXPECT_EQ(t.records[20].highCount, 0);
    colour::updateColourRanges(t, s, -5);
    EXPECT_EQ(t.records[0].lowCount, 5);
}

TEST(ChannelBar, RowsAreHalfTheChannelValueAtTheirShareOfTheRange) {
    // Both frames 0 -> 254: length trunc(127 row / 256), held to 0 below 1 and to 127.
    const common::ChannelCurve ramp{0, 254, 0, 254, 1, 0, 0};
    const std::pair<int, int> rows[] = {{2, 0}, {3, 1}, {128, 63}, {255, 126}};
    for (const auto& [row, length] : rows) EXPECT_EQ(colour::channelBarLength(ramp, 0, 1, row), length) << row;
    // Frame 1 against frame 2, range 256, cycle 2: the sine turns a quarter per row.
    const common::ChannelCurve wave{255, 255, 0, 0, 2, 0, 0};
    const int waveLengths[] = {63, 127, 63, 0};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(colour::channelBarLength(wave, 100, 356, row), waveLengths[row]) << row;
        EXPECT_EQ(colour::channelBarLength({0, 0, 255, 255, 2, 0, 0}, 100, 356, row), waveLengths[(row + 2) % 4]) << row;
    }
    EXPECT_EQ(colour::channelBarLength({255, 255, 0, 0, 2, 1, 0}, 100, 356, 0), 127) << "phase 1";
    EXPECT_EQ(colour::channelBarLength({255, 255, 0, 0, 6, 0, 0}, 100, 356, 1), 95) << "sine 1/2: 127.5 + 63.75";

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

    auto count = [&](int mask) {
        return std::accumulate(masks.bits[mask].begin(), masks.bits[mask].end(), 0,
                               [](int n, std::uint8_t b) { return n + std::popcount(b); });
    };
    EXPECT_EQ(count(1), 100 * 100);
    EXPECT_EQ(count(0), 99 * 90);
    EXPECT_EQ(count(colour::UNKNOWN_MASK), 99 * 10);
    EXPECT_EQ(count(2), 0);
    EXPECT_TRUE(masks.isSet(0, 1, 0) && masks.isSet(colour::UNKNOWN_MASK, 1, 99)) << "the first row is the top";
    EXPECT_FALSE(masks.isSet(0, 1, 99) || masks.isSet(0, 100, 50) || masks.isSet(0, 0, 0));

    // The long side is 200 pixels, rows are whole 16-pixel words; sizes outside the maps give no masks.
    const int sizes[][5] = {{400, 200, 200, 100, 26}, {90, 120, 150, 200, 20}, {1000, 1, 200, 1, 26}, {1, 1000, 1, 200, 2},
                            {1001, 10, 0, 0, 0}, {0, 10, 0, 0, 0}, {10, 1001, 0, 0, 0}, {10, 0, 0, 0, 0}};
    for (const auto& s : sizes) {
        const auto m = colour::buildComponentMasks(maps->component, s[0], s[1]);
        EXPECT_EQ((std::array<int, 3>{m.size.width, m.size.height, m.size.rowBytes}), (std::array<int, 3>{s[2], s[3], s[4]}))
            << s[0] << " x " << s[1];
        EXPECT_EQ(m.bits[0].size(), static_cast<std::size_t>(s[3] * s[4]));
    }
}

}  // namespace
