// Texts of the components and formula dialogs.
#include "viewer/colour/info_text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

common::RationalMap polynomial(std::initializer_list<double> realCoefficients) {
    common::RationalMap map{};
    map.form = common::FORM_POLYNOMIAL;
    int k = 0;
    for (double c : realCoefficients) map.numeratorRe[k++] = c;
    map.numeratorDegree = k - 1;
    map.denominatorRe[0] = 1;
    return map;
}

TEST(FormulaText, ListsEveryCoefficientOfBothParts) {
    EXPECT_EQ(colour::formulaText(polynomial({-1, 0, 1})),
              "次数0 実部 -1 虚部0\r\n次数1 実部 0 虚部0\r\n次数2 実部 1 虚部0\r\n");

    common::RationalMap map{};
    map.form = common::FORM_RATIONAL;
    map.numeratorDegree = 2;
    map.numeratorRe[2] = 1;
    map.numeratorIm[1] = -0.5;
    map.denominatorDegree = 1;
    map.denominatorRe[1] = 3;
    map.denominatorRe[0] = 0.25;
    EXPECT_EQ(colour::formulaText(map),
              "分子\u3000次数0 実部 0 虚部0\r\n"
              "分子\u3000次数1 実部 0 虚部-0.5\r\n"
              "分子\u3000次数2 実部 1 虚部0\r\n"
              "分母\u3000次数0 実部 0.25 虚部0\r\n"
              "分母\u3000次数1 実部 3 虚部0\r\n");

    map.form = 5;
    EXPECT_EQ(colour::formulaText(map), "不正種別5\r\n");
    // Degrees outside the table never index past it.
    map.form = common::FORM_RATIONAL;
    map.numeratorDegree = 99;
    map.denominatorDegree = -7;
    const std::string clamped = colour::formulaText(map);
    EXPECT_EQ(std::count(clamped.begin(), clamped.end(), '\n'), 11);
}

TEST(ComponentsText, InfinityLineOfRationalMapsFollowsTheDegrees) {
    colour::PictureInfo info;
    info.pictureKind = 'J';
    info.map.form = common::FORM_RATIONAL;
    // (z^2 + 1) / (z^2 - 0.25): p == q, no infinity line.
    info.map.numeratorDegree = 2;
    info.map.numeratorRe[2] = 1;
    info.map.numeratorRe[0] = 1;
    info.map.denominatorDegree = 2;
    info.map.denominatorRe[2] = 1;
    info.map.denominatorRe[0] = -0.25;
    EXPECT_EQ(colour::componentsText(info), "");

    // p = q + 1: multiplier (top of Q) / (top of P).
    info.map.denominatorDegree = 1;
    info.map.denominatorRe[2] = 0;
    info.map.denominatorRe[1] = 0.5;  // 0.5 / 1
    EXPECT_EQ(colour::componentsText(info), "無限遠 ATTRACTING\r\n");
    info.map.denominatorRe[1] = 0;
    info.map.denominatorIm[1] = -1;   // |-i / 1| = 1
    EXPECT_EQ(colour::componentsText(info), "無限遠 INDIFFERENT\r\n");
    info.map.denominatorIm[1] = 2;
    EXPECT_EQ(colour::componentsText(info), "");

    // p > q + 1.
    info.map.numeratorDegree = 3;
    info.map.numeratorRe[3] = 1;
    EXPECT_EQ(colour::componentsText(info), "無限遠 S_ATTRACTING\r\n");
}

}  // namespace
