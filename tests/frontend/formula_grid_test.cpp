#include "frontend/formula_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

namespace {


TEST(KeystrokeFilter, CutsAtTheFirstInvalidCharacter) {
    const std::pair<const char*, std::size_t> cases[] = {
        {"1.2.3", 3}, {"2-", 1}, {"-", 1}, {"-.5", 3}, {"--1", 1}, {"12a3", 2}, {"x", 0}, {"1e5", 1},
        {"０", 0},  // full-width digits are not digits
        {"", 0}};
    for (const auto& [text, prefix] : cases) EXPECT_EQ(frontend::validNumberPrefix(text), prefix) << text;
}

TEST(PolarForm, ArgumentsFollowTheQuadrantRule) {
    // (-1, 0) and (-1, -1), shown in the grid: the main dialog's polar test.
    EXPECT_EQ(frontend::toPolar(0, 2).argument, std::acos(0.0));
    EXPECT_EQ(frontend::toPolar(0, -2).argument, -std::acos(0.0));
    EXPECT_EQ(frontend::toPolar(0, 0).argument, 0.0);
    EXPECT_EQ(frontend::toPolar(3, 4).modulus, 5.0);
    // Parts whose squares overflow still have a finite modulus.
    EXPECT_TRUE(std::isfinite(frontend::toPolar(1e200, 1e200).modulus));
}

}  // namespace
