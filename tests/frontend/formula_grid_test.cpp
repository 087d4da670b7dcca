#include "frontend/formula_grid.h"
#include "common/formula_check.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

using frontend::DisplayForm;
using frontend::FormulaGrid;

// Field of a coefficient part: column 0/1 numerator re/im, 2/3 denominator.
int field(int degree, int column) { return 4 * degree + column; }

// "%.16G" from the C library, as the reference for the shown texts.
std::string g16(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16G", v);
    return buffer;
}

struct GridFixture : ::testing::Test {
    common::RationalMap map{};
    FormulaGrid grid{map};
    GridFixture() { grid.reset(); }
};

TEST(KeystrokeFilter, CutsAtTheFirstInvalidCharacter) {
    EXPECT_EQ(frontend::validNumberPrefix("1.2.3"), 3u);
    EXPECT_EQ(frontend::validNumberPrefix("2-"), 1u);
    EXPECT_EQ(frontend::validNumberPrefix("-"), 1u);
    EXPECT_EQ(frontend::validNumberPrefix("-.5"), 3u);
    EXPECT_EQ(frontend::validNumberPrefix("--1"), 1u);
    EXPECT_EQ(frontend::validNumberPrefix("12a3"), 2u);
    EXPECT_EQ(frontend::validNumberPrefix("x"), 0u);
    EXPECT_EQ(frontend::validNumberPrefix("1e5"), 1u);
    EXPECT_EQ(frontend::validNumberPrefix("０"), 0u);  // full-width digits are not digits
    EXPECT_EQ(frontend::validNumberPrefix(""), 0u);
}

TEST(PolarForm, ArgumentsFollowTheQuadrantRule) {
    EXPECT_EQ(g16(frontend::toPolar(-1, 0).argument), "3.141592653589793");
    EXPECT_EQ(g16(frontend::toPolar(-1, -1).argument), "3.926990816987241");
    EXPECT_EQ(frontend::toPolar(0, 2).argument, std::acos(0.0));
    EXPECT_EQ(frontend::toPolar(0, -2).argument, -std::acos(0.0));
    EXPECT_EQ(frontend::toPolar(0, 0).argument, 0.0);
    EXPECT_EQ(frontend::toPolar(3, 4).modulus, 5.0);
    // Parts whose squares overflow still have a finite modulus.
    EXPECT_TRUE(std::isfinite(frontend::toPolar(1e200, 1e200).modulus));
}

TEST_F(GridFixture, StartsAsZeroOverOne) {
    for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) {
        const std::string expected = f == field(0, 2) ? "1" : "0";
        EXPECT_EQ(grid.cartesianText(f), expected);
        EXPECT_EQ(grid.polarText(f), expected);
    }
    EXPECT_EQ(map.denominatorRe[0], 1.0);
    EXPECT_EQ(map.numeratorRe[0], 0.0);
}

TEST_F(GridFixture, CartesianTextStoresThePartAndUpdatesThePolarPair) {
    grid.storeField(field(0, 0), "-1");
    EXPECT_EQ(map.numeratorRe[0], -1.0);
    EXPECT_EQ(grid.polarText(field(0, 0)), "1");
    EXPECT_EQ(grid.polarText(field(0, 1)), "3.141592653589793");
    grid.storeField(field(0, 1), "-1");
    EXPECT_EQ(map.numeratorIm[0], -1.0);
    EXPECT_EQ(grid.polarText(field(0, 0)), g16(std::sqrt(2.0)));
    EXPECT_EQ(grid.polarText(field(0, 1)), "3.926990816987241");
    // The denominator columns form their own pair.
    grid.storeField(field(3, 3), "2.5");
    EXPECT_EQ(map.denominatorIm[3], 2.5);
    EXPECT_EQ(grid.polarText(field(3, 2)), "2.5");
    EXPECT_EQ(grid.polarText(field(3, 3)), g16(std::acos(0.0)));
}

TEST_F(GridFixture, TextsThatDoNotReadKeepTheCoefficient) {
    grid.storeField(field(1, 0), "4");
    grid.storeField(field(1, 0), "-");
    EXPECT_EQ(map.numeratorRe[1], 4.0);
    EXPECT_EQ(grid.cartesianText(field(1, 0)), "-");
    EXPECT_EQ(grid.polarText(field(1, 0)), "4");
    EXPECT_TRUE(grid.needsMarking(field(1, 0)));
    grid.storeField(field(1, 0), ".");
    EXPECT_EQ(map.numeratorRe[1], 4.0);
    EXPECT_TRUE(grid.needsMarking(field(1, 0)));
}

TEST_F(GridFixture, EmptyTextEmptiesOnlyThatFieldsOtherText) {
    grid.storeField(field(0, 2), "");
    EXPECT_EQ(grid.cartesianText(field(0, 2)), "");
    EXPECT_EQ(grid.polarText(field(0, 2)), "");
    EXPECT_EQ(grid.polarText(field(0, 3)), "0");
    EXPECT_EQ(map.denominatorRe[0], 1.0);
    EXPECT_TRUE(grid.needsMarking(field(0, 2)));
    EXPECT_FALSE(grid.needsMarking(field(0, 3)));
}

TEST_F(GridFixture, PolarTextsStoreModulusTimesDirection) {
    ASSERT_EQ(grid.setDisplayForm(DisplayForm::Polar).size(), 44u);
    grid.storeField(field(2, 0), "2");  // modulus 2, argument still 0
    EXPECT_EQ(map.numeratorRe[2], 2.0);
    EXPECT_EQ(map.numeratorIm[2], 0.0);
    EXPECT_EQ(grid.cartesianText(field(2, 0)), "2");
    grid.storeField(field(2, 1), "3.141592653589793");
    EXPECT_EQ(map.numeratorRe[2], -2.0);
    EXPECT_LT(std::fabs(map.numeratorIm[2]), 1e-15);
    EXPECT_EQ(grid.cartesianText(field(2, 1)), g16(map.numeratorIm[2]));
    // An unreadable modulus or argument keeps the coefficient.
    grid.storeField(field(2, 1), "-");
    EXPECT_EQ(map.numeratorRe[2], -2.0);
    EXPECT_EQ(grid.polarText(field(2, 1)), "-");
    // An empty polar text empties the Cartesian text of that field only.
    grid.storeField(field(2, 0), "");
    EXPECT_EQ(grid.cartesianText(field(2, 0)), "");
    EXPECT_EQ(map.numeratorRe[2], -2.0);
}

TEST_F(GridFixture, SwitchingLeavesFieldsWithAnEmptyTextAlone) {
    grid.storeField(field(5, 1), "");
    grid.storeField(field(0, 0), "-1");
    const std::vector<int> changed = grid.setDisplayForm(DisplayForm::Polar);
    EXPECT_EQ(changed.size(), 43u);
    EXPECT_EQ(std::count(changed.begin(), changed.end(), field(5, 1)), 0);
    EXPECT_EQ(grid.shownText(field(0, 1)), "3.141592653589793");
    EXPECT_TRUE(grid.setDisplayForm(DisplayForm::Polar).empty());
    EXPECT_EQ(grid.setDisplayForm(DisplayForm::Cartesian).size(), 43u);
    EXPECT_EQ(grid.shownText(field(0, 0)), "-1");
}

TEST_F(GridFixture, ClearZeroesEverythingIncludingTheDenominator) {
    grid.storeField(field(2, 0), "1");
    grid.storeField(field(4, 3), "");
    grid.clear();
    for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) {
        EXPECT_EQ(grid.cartesianText(f), "0");
        EXPECT_EQ(grid.polarText(f), "0");
        EXPECT_EQ(grid.coefficientPart(f), 0.0);
    }
    common::storeDegreesAndForm(map);
    EXPECT_EQ(common::checkFormula(map), common::FormulaCheck::DenominatorZero);
}

TEST_F(GridFixture, LoadedTextsBecomeCartesianTextsAndCoefficients) {
    std::array<std::string, frontend::GRID_FIELD_COUNT> texts;
    texts.fill("0.000000000000000000000000000000");
    texts[field(2, 0)] = "1.000000000000000000000000000000";
    texts[field(0, 0)] = "-0.1200000000000000000000000000";
    texts[field(0, 1)] = "0.750000000000000000000000000000";
    texts[field(0, 2)] = "1.000000000000000000000000000000";
    grid.loadCartesianTexts(texts);
    EXPECT_EQ(map.numeratorRe[2], 1.0);
    EXPECT_EQ(map.numeratorRe[0], -0.12);
    EXPECT_EQ(map.numeratorIm[0], 0.75);
    EXPECT_EQ(grid.cartesianText(field(0, 0)), texts[field(0, 0)]);
    EXPECT_EQ(grid.polarText(field(0, 0)), g16(std::sqrt(0.12 * 0.12 + 0.75 * 0.75)));
    EXPECT_EQ(grid.polarText(field(2, 1)), "0");
}

}  // namespace
