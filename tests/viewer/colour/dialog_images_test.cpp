// The colour dialog's channel bars and the selection dialog's thumbnails.
#include "viewer/colour/channel_bar.h"
#include "viewer/colour/component_masks.h"

#include <gtest/gtest.h>

#include <bitset>

namespace {

TEST(ComponentMasks, EachCodeAndTheUnknownPixelsGetTheirOwnMask) {
    auto maps = render::makePixelMaps();
    // 400 x 200: right half code 1, bottom 20 rows of the left half unknown,
    // the rest code 0.
    for (int x = 0; x < 400; ++x)
        for (int y = 0; y < 200; ++y)
            maps->component[x][y] = x >= 200 ? 1 : (y < 20 ? 255 : 0);
    const auto masks = colour::buildComponentMasks(maps->component, 400, 200);
    ASSERT_EQ(masks.size.width, 200);
    ASSERT_EQ(masks.size.height, 100);

    auto count = [&](int mask) {
        int n = 0;
        for (auto b : masks.bits[mask]) n += static_cast<int>(std::bitset<8>(b).count());
        return n;
    };
    EXPECT_EQ(count(1), 100 * 100);
    EXPECT_EQ(count(0), 100 * 90);
    EXPECT_EQ(count(colour::UNKNOWN_MASK), 100 * 10);
    EXPECT_EQ(count(2), 0);
    EXPECT_TRUE(masks.isSet(1, 150, 0));
    EXPECT_TRUE(masks.isSet(0, 0, 0)) << "the first row is the top of the picture";
    EXPECT_TRUE(masks.isSet(colour::UNKNOWN_MASK, 0, 99));
    EXPECT_FALSE(masks.isSet(0, 0, 99));
    EXPECT_FALSE(masks.isSet(0, 100, 50));

    // Sizes outside the maps give no masks at all.
    EXPECT_EQ(colour::buildComponentMasks(maps->component, 1001, 10).size.width, 0);
    EXPECT_EQ(colour::buildComponentMasks(maps->component, 0, 10).bits[0].size(), 0u);
}

}  // namespace
