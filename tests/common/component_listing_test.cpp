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
    common::ComponentView c;
    c.valid = true;
    c.kind = 0;
    c.count = 1;
    c.pointKind = 0;
    EXPECT_EQ(common::componentListingLine(c), "不動点 S_ATTRACTING");
    c.pointKind = 3;
    EXPECT_EQ(common::componentListingLine(c), "不動点 REPELLING");
    c.count = 12;
    c.pointKind = 1;
    EXPECT_EQ(common::componentListingLine(c), "周期点 周期12 ATTRACTING");
    c.pointKind = 2;
    EXPECT_EQ(common::componentListingLine(c), "周期点 周期12 INDIFFERENT");
    c.pointKind = 9;
    EXPECT_EQ(common::componentListingLine(c), "周期点 周期12 不正種別");
    c.count = 1;
    EXPECT_EQ(common::componentListingLine(c), "周期点 周期1 不正種別");

    c.kind = 1;
    c.count = 2;
    EXPECT_EQ(common::componentListingLine(c), "SiegelDisk 周期2");
    c.kind = 2;
    c.count = 1;
    EXPECT_EQ(common::componentListingLine(c), "HermanRing 周期1");

    c.valid = false;  // unknown kind, or data outside the block
    c.kind = 5;
    c.count = 3;
    EXPECT_EQ(common::componentListingLine(c), "データ不正 不正種別5 周期3");
    c.kind = 1;
    EXPECT_EQ(common::componentListingLine(c), "データ不正 不正種別1 周期3");
}

}  // namespace
