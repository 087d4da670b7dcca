#include "frontend/formula_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

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
    const std::pair<const char*, std::size_t> cases[] = {
        {"1.2.3", 3}, {"2-", 1}, {"-", 1}, {"-.5", 3}, {"--1", 1}, {"12a3", 2}, {"x", 0}, {"1e5", 1},
        {"０", 0},  // full-width digits are not digits
        {"", 0}};
    for (const auto& [text, prefix] : cases) EXPECT_EQ(frontend::validNumberPrefix(text), prefix) << text;
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

}  // namespace
