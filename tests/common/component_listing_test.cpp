#include "common/component_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

TEST(ComponentListing, InfinityLineFollowsTheFormDegreesAndMultiplier) {
    // form, degrees p and q, top coefficients of P and Q, line. When p = q + 1
    // the multiplier at infinity is Q's top coefficient / P's.
    constexpr int R = common::FORM_RATIONAL;
    const struct { int form, p, q; double pRe, pIm, qRe, qIm; const char* line; } cases[] = {
        {common::FORM_POLYNOMIAL, 2, 0, 1, 0, 1, 0, "無限遠 S_ATTRACTING"}, {R, 4, 2, 1, 0, 1, 0, "無限遠 S_ATTRACTING"},
        {R, 99, 2, 1, 0, 1, 0, "無限遠 S_ATTRACTING"}, {R, 2, 2, 1, 0, 1, 0, nullptr},
        {R, 1, 3, 1, 0, 1, 0, nullptr}, {R, 0, -1, 1, 0, 1, 0, nullptr},
        {R, 3, 2, 2, 0, 1, 0, "無限遠 ATTRACTING"}, {R, 3, 2, 1, 1, 1, 0, "無限遠 ATTRACTING"},
        {R, 3, 2, 0, -1, 1, 0, "無限遠 INDIFFERENT"}, {R, 3, 2, 0, 0.5, 1, 0, nullptr},
        {R, 3, 2, 1, 0, 0, 1, "無限遠 INDIFFERENT"}, {R, 3, 2, 1, 1, 1, 1, "無限遠 INDIFFERENT"},
        {7, 2, 0, 1, 0, 1, 0, nullptr}};
    for (const auto& c : cases) {
        common::RationalMap map{};
        map.form = c.form;
        map.numeratorDegree = c.p;
        map.denominatorDegree = c.q;
        const int p = std::clamp(c.p, 0, common::MAX_DEGREE), q = std::max(c.q, 0);
        map.numeratorRe[p] = c.pRe;
        map.numeratorIm[p] = c.pIm;
        map.denominatorRe[q] = c.qRe;
        map.denominatorIm[q] = c.qIm;
        const auto line = common::infinityListingLine(map);
        EXPECT_EQ(line.value_or("none"), c.line ? c.line : "none") << c.form << " " << c.p << " " << c.q << " " << c.pIm;
    }
}

TEST(ComponentListing, EntryLines) {
    const struct { int kind, count, pointKind; bool valid; const char* line; } cases[] = {
        {0, 1, 0, true, "不動点 S_ATTRACTING"}, {0, 1, 3, true, "不動点 REPELLING"},
        {0, 12, 1, true, "周期点 周期12 ATTRACTING"}, {0, 12, 2, true, "周期点 周期12 INDIFFERENT"},
        {0, 12, 9, true, "周期点 周期12 不正種別"}, {0, 1, 9, true, "周期点 周期1 不正種別"},
        {1, 2, 0, true, "SiegelDisk 周期2"}, {2, 1, 0, true, "HermanRing 周期1"},
        // Unknown kind, or data outside the block.
        {5, 3, 0, false, "データ不正 不正種別5 周期3"}, {1, 3, 0, false, "データ不正 不正種別1 周期3"}};
    for (const auto& c : cases) {
        common::ComponentView view;
        std::tie(view.kind, view.count, view.pointKind, view.valid) = std::tie(c.kind, c.count, c.pointKind, c.valid);
        EXPECT_EQ(common::componentListingLine(view), c.line);
    }
}

}  // namespace
