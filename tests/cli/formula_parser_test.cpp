#include "cli/formula_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/formula_check.h"

namespace {

using cli::parseFormula;

TEST(FormulaParser, CoefficientsLandAtTheirPowers) {
    struct Term { int power; double re, im; };
    const struct { const char* text; int form, numeratorDegree, denominatorDegree; std::vector<Term> numerator, denominator; }
    cases[] = {
        {"z^2-1", common::FORM_POLYNOMIAL, 2, 0, {{2, 1, 0}, {1, 0, 0}, {0, -1, 0}}, {{0, 1, 0}}},
        {"-0.12+0.75i + z^2", common::FORM_POLYNOMIAL, 2, 0, {{0, -0.12, 0.75}, {2, 1, 0}}, {}},
        {"(0.3+0.5i)*z^3 + z", common::FORM_POLYNOMIAL, 3, 0, {{3, 0.3, 0.5}, {1, 1, 0}}, {}},
        {"(z^2+1)/(z^2-0.25)", common::FORM_RATIONAL, 2, 2, {{0, 1, 0}}, {{0, -0.25, 0}, {2, 1, 0}}},
        // a constant denominator other than 1 keeps the rational form
        {"(z^2+1)/2", common::FORM_RATIONAL, 2, 0, {}, {{0, 2, 0}}},
        {"(z^2+1)/1", common::FORM_POLYNOMIAL, 2, 0, {}, {}},
        // sums over one denominator are not cross-multiplied; others are: (2z - 1)/(z^2 - z)
        {"1/(z-1) + z^2/(z-1)", common::FORM_RATIONAL, 2, 1, {{2, 1, 0}, {0, 1, 0}}, {{1, 1, 0}, {0, -1, 0}}},
        {"1/z + 1/(z-1)", common::FORM_RATIONAL, 1, 2, {{1, 2, 0}, {0, -1, 0}}, {{2, 1, 0}, {1, -1, 0}}},
        // implicit products, powers and signs
        {"2z(z+1) - -i*z^0", common::FORM_POLYNOMIAL, 2, 0, {{2, 2, 0}, {1, 2, 0}, {0, 0, 1}}, {}},
        {"(z-1)^10", common::FORM_POLYNOMIAL, 10, 0, {{5, -252, 0}}, {}},
        {"1.5e-3 * z^2", common::FORM_POLYNOMIAL, 2, 0, {{2, 1.5e-3, 0}}, {}},
        {"(1+i)*(1-2i)*z^2", common::FORM_POLYNOMIAL, 2, 0, {{2, 3, -1}}, {}},  // complex products; an imaginary top
        {"i*z^3 + z^2", common::FORM_POLYNOMIAL, 3, 0, {{3, 0, 1}, {2, 1, 0}}, {}},
        {"2/z^2", common::FORM_RATIONAL, 0, 2, {{0, 2, 0}}, {{2, 1, 0}}},
        // cancelling leading terms lower the degree; degree 10 over 10 is within the limits
        {"z^3 - z^3 + z^2", common::FORM_POLYNOMIAL, 2, 0, {{3, 0, 0}, {2, 1, 0}}, {}},
        {"z^10/z^10", common::FORM_RATIONAL, 10, 10, {{10, 1, 0}}, {{10, 1, 0}, {0, 0, 0}}}};
    auto expectTerms = [](const double* re, const double* im, const std::vector<Term>& terms) {
        for (const Term& t : terms) EXPECT_EQ(std::make_pair(re[t.power], im[t.power]), std::make_pair(t.re, t.im)) << t.power;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = parseFormula(c.text);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(std::make_tuple(r.map.form, r.map.numeratorDegree, r.map.denominatorDegree),
                  std::make_tuple(c.form, c.numeratorDegree, c.denominatorDegree));
        expectTerms(r.map.numeratorRe, r.map.numeratorIm, c.numerator);
        expectTerms(r.map.denominatorRe, r.map.denominatorIm, c.denominator);
    }
}

TEST(FormulaParser, MalformedInputNamesPositionAndExpectation) {
    const struct { const char* text; int position; const char* expected; } cases[] = {
        {"", 1, "formula ends"}, {"z^2+", 5, "expected a number"},
        {"(z^2+1", 7, "expected ')'"}, {"z^2)", 4, "expected an operator"},
        {"z^11", 3, "0 to 10"}, {"z^-1", 3, "0 to 10"},
        {"z^99999999999", 3, "0 to 10"}, {"z^1.5", 4, "expected an operator"},
        {"3 4", 3, "expected an operator"}, {"z * * 2", 5, "expected a number"},
        {"x^2", 1, "expected a number, 'z', 'i' or '('"}, {"1e", 3, "exponent"},
        {".", 1, "digits"}, {"z^2 + 1e999", 7, "out of range"},
        {"z^2 \xe3\x81\x82", 5, "expected an operator"}, {"((z^10)^10)^10", 13, "grows beyond degree"}};
    for (const auto& m : cases) {
        const auto r = parseFormula(m.text);
        EXPECT_FALSE(r.ok) << m.text;
        EXPECT_EQ(r.errorPosition, m.position) << m.text << ": " << r.error;
        EXPECT_NE(r.error.find(m.expected), std::string::npos) << m.text << ": " << r.error;
        EXPECT_EQ(r.error.rfind("position " + std::to_string(m.position) + ":", 0), 0u) << r.error;
    }
}

TEST(FormulaParser, DegreeLimitsOverflowAndDeepNestingAreRefused) {
    const std::vector<std::string> refused = {"z^10*z", "1/(z^10*z)", "1e300*1e300*z^2",
                                              "z^11/z^11 + z^3 - z^3 + z^2",  // over the limit before cancelling
                                              std::string(100000, '(') + "z", std::string(100000, '-') + "z"};
    for (const std::string& text : refused) EXPECT_FALSE(parseFormula(text).ok) << text.substr(0, 40);
}

TEST(FormulaParser, RandomInputNeverCrashes) {
    const std::string alphabet = "z i 0123456789.+-*/^()eE\t x\xe3";
    std::mt19937 g(2024);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(0, 40);
    int accepted = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        std::string text;
        for (std::size_t k = length(g); k > 0; --k) text += alphabet[pick(g)];
        const auto r = parseFormula(text);
        accepted += r.ok;
        if (r.ok)
            EXPECT_TRUE(r.map.numeratorDegree <= common::MAX_DEGREE && r.map.denominatorDegree >= -1) << text;
        else
            EXPECT_TRUE(r.errorPosition >= 1 && r.errorPosition <= static_cast<int>(text.size()) + 1) << text;
    }
    EXPECT_GT(accepted, 0);
}

TEST(FormulaCheck, ExecuteOrder) {
    using enum common::FormulaCheck;
    const std::pair<const char*, common::FormulaCheck> cases[] = {
        {"z^2/0", DenominatorZero}, {"0/0", DenominatorZero}, {"0*z^2", NumeratorZero}, {"z", DegreeTooLow},
        {"(z+1)/(z-1)", DegreeTooLow}, {"z^2", Ok}, {"z/z^2", Ok}};
    for (const auto& [text, check] : cases) EXPECT_EQ(common::checkFormula(parseFormula(text).map), check) << text;
}

}  // namespace
