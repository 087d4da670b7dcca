#include "viewer/colour/colour_model.h"

#include <gtest/gtest.h>

namespace {

using colour::ColourTable;
using common::colourWord;

ColourTable defaultTable(int loopCount) {
    ColourTable t;
    for (auto& r : t.records) r = colour::defaultComponentColour(loopCount);
    return t;
}

TEST(ColourModel, DefaultSettingsGiveTheKnownColours) {
    const ColourTable t = defaultTable(500);
    const std::pair<int, common::ColourWord> cases[] = {
        {0, colourWord(127, 127, 255)}, {1, colourWord(202, 237, 127)}, {2, colourWord(248, 237, 0)},
        {5, colourWord(127, 17, 127)}};
    for (const auto& [count, want] : cases) EXPECT_EQ(colour::pixelColour(t, 0, 0, count), want) << "count " << count;
}

TEST(ColourModel, DegenerateSettingsGiveBlackNotGarbage) {
    ColourTable t = defaultTable(500);
    // A component whose pixels all share one count: range 0.
    t.records[1].lowCount = 40;
    t.records[1].highCount = 40;
    EXPECT_EQ(colour::pixelColour(t, 0, 1, 40), 0u);
    EXPECT_EQ(colour::pixelColour(t, 0, 1, 0), 0u);
    // Constant frames give a constant channel whatever the cycle and phase.
    const common::ChannelCurve constant{255, 255, 255, 255, 7, 3, 5};
    for (int m = 0; m <= 1000; m += 37) EXPECT_EQ(colour::channelValue(constant, m, 0, 1000), 255) << m;
    // A cycle of 0.
    common::ChannelCurve zeroCycle{255, 255, 0, 0, 0, 0, 0};
    EXPECT_EQ(colour::channelValue(zeroCycle, 3, 0, 10), 0);
    // Extreme values: no overflow, values stay within 0..255.
    common::ChannelCurve wild{INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    for (int m : {0, 1, 2, 1000, INT32_MAX}) {
        const int v = colour::channelValue(wild, m, INT32_MIN, INT32_MAX);
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 255);
    }
}

TEST(ColourModel, ExceptionRowsAndUnknownColourTakePrecedence) {
    ColourTable t = defaultTable(500);
    t.records[2].exceptions[3] = {7, 1, 2, 3};
    t.records[2].exceptions[5] = {7, 9, 9, 9};  // a later row with the same number
    const common::ColourWord unknown = colourWord(10, 20, 30);

    EXPECT_EQ(colour::pixelColour(t, unknown, 2, 7), colourWord(1, 2, 3));
    // Other counts and other components keep their curves.
    EXPECT_EQ(colour::pixelColour(t, unknown, 2, 5), colour::pixelColour(t, unknown, 0, 5));
    EXPECT_EQ(colour::pixelColour(t, unknown, 1, 7), colour::pixelColour(t, unknown, 0, 7));
    // A negative code is unknown whatever the rows say.
    EXPECT_EQ(colour::pixelColour(t, unknown, -1, 7), unknown);
    // A code without a colour record is unknown too, not a read past the table.
    EXPECT_EQ(colour::pixelColour(t, unknown, 21, 7), unknown);
    // Only the three low bytes of the unknown colour count.
    EXPECT_EQ(colour::pixelColour(t, 0xAB102030u, -1, 0), 0x00102030u);
}

TEST(ColourModel, UpdateColourRangesNarrowsAndCleansRows) {
    ColourTable t = defaultTable(1000);
    for (auto& rec : t.records) {
        rec.exceptions[0] = {0, 1, 1, 1};
        rec.exceptions[1] = {5, 2, 2, 2};
        rec.exceptions[2] = {50, 3, 3, 3};
        rec.exceptions[3] = {900, 4, 4, 4};
    }
    colour::RenderStatistics s;
    s.reset();
    s.record(0, 5);
    s.record(0, 60);
    s.record(1, 50);
    s.record(99, 1);  // no such code: ignored
    s.record(-1, 1);
    // code 2: no pixels
    colour::updateColourRanges(t, s, 2);

    EXPECT_EQ(t.records[0].lowCount, 5);
    EXPECT_EQ(t.records[0].highCount, 60);
    EXPECT_EQ(t.records[0].exceptions[0].red, 1);  // a cleared row keeps its colour
    // Rows outside the new range are cleared (-1); code 2 had no pixels:
    // range 0..0, row 0 kept. Code 3 lies above the component count.
    const int rows[4][4] = {{-1, 5, 50, -1}, {-1, -1, 50, -1}, {0, -1, -1, -1}, {0, 5, 50, 900}};
    for (int code = 0; code < 4; ++code)
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(t.records[code].exceptions[row].number, rows[code][row]) << code << " " << row;
    EXPECT_EQ(t.records[1].lowCount, 50);
    EXPECT_EQ(t.records[1].highCount, 50);
    EXPECT_EQ(t.records[2].highCount, 0);
    EXPECT_EQ(t.records[3].highCount, 1000);

    // A hostile component count is clamped to the table.
    colour::updateColourRanges(t, s, 1000);
    EXPECT_EQ(t.records[20].highCount, 0);
    colour::updateColourRanges(t, s, -5);
    EXPECT_EQ(t.records[0].lowCount, 5);
}

}  // namespace
