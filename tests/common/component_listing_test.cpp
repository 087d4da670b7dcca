#include "common/component_listing.h"

#include <gtest/gtest.h>

namespace {

common::RationalMap rational(int p, int q) {
    common::RationalMap map{};
    map.form = common::FORM_RATIONAL;
    map.numeratorDegree = p;
    map.denominatorDegree = q;
    if (p >= 0) map.numeratorRe[p] = 1.0;
    if (q >= 0) map.denominatorRe[q] = 1.0;
    return map;
}

TEST(ComponentListing, InfinityLineFollowsTheDegreesAndTheMultiplier) {
    common::RationalMap poly{};
    poly.form = common::FORM_POLYNOMIAL;
    poly.numeratorDegree = 2;
    EXPECT_EQ(common::infinityListingLine(poly), "無限遠 S_ATTRACTING");
    EXPECT_EQ(common::infinityListingLine(rational(4, 2)), "無限遠 S_ATTRACTING");
    EXPECT_EQ(common::infinityListingLine(rational(2, 2)), std::nullopt);  // p <= q
    EXPECT_EQ(common::infinityListingLine(rational(1, 3)), std::nullopt);

    common::RationalMap m = rational(3, 2);  // lambda = Q top / P top
    m.numeratorRe[3] = 2.0;                  // |lambda|^2 = 1/4
    EXPECT_EQ(common::infinityListingLine(m), "無限遠 ATTRACTING");
    m.numeratorRe[3] = 0.0;
    m.numeratorIm[3] = -1.0;                 // |lambda|^2 = 1 exactly
    EXPECT_EQ(common::infinityListingLine(m), "無限遠 INDIFFERENT");
    m.numeratorIm[3] = 0.5;                  // repelling
    EXPECT_EQ(common::infinityListingLine(m), std::nullopt);

    common::RationalMap bad = poly;
    bad.form = 7;
    EXPECT_EQ(common::infinityListingLine(bad), std::nullopt);
}

TEST(ComponentListing, EntryLines) {
    struct Case {
        bool valid;
        int kind, count, pointKind;
        const char* line;
    };
    const Case cases[] = {
        {true, 0, 1, 0, "不動点 S_ATTRACTING"},
        {true, 0, 1, 3, "不動点 REPELLING"},
        {true, 0, 12, 1, "周期点 周期12 ATTRACTING"},
        {true, 0, 12, 2, "周期点 周期12 INDIFFERENT"},
        {true, 0, 12, 9, "周期点 周期12 不正種別"},
        {true, 0, 1, 9, "周期点 周期1 不正種別"},
        {true, 1, 2, 0, "SiegelDisk 周期2"},
        {true, 2, 1, 0, "HermanRing 周期1"},
        // Unknown kind, or data outside the block.
        {false, 5, 3, 0, "データ不正 不正種別5 周期3"},
        {false, 1, 3, 0, "データ不正 不正種別1 周期3"},
    };
    for (const Case& c : cases) {
        common::ComponentView view;
        view.valid = c.valid;
        view.kind = c.kind;
        view.count = c.count;
        view.pointKind = c.pointKind;
        EXPECT_EQ(common::componentListingLine(view), c.line);
    }
}

}  // namespace
