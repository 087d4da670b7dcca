// Parser for a rational map written as a formula in z, for example
//   z^2-1   (z^2+1)/(z^2-0.25)   (0.3+0.5i)*z^3 + z   -0.12+0.75i + z^2
//
// Grammar (blanks ignored):
//   expr    = term { ("+" | "-") term }
//   term    = unary { ("*" | "/") unary | implicit }   implicit: a following
//             "z", "i" or "(" multiplies, as in 0.75i, 2z, (z+1)(z-1)
//   unary   = ("+" | "-") unary | power
//   power   = primary [ "^" integer 0..10 ]
//   primary = number | "i" | "z" | "(" expr ")"
//   number  = digits [ "." digits ] [ ("e" | "E") [sign] digits ], or "." digits
//
// The expression is expanded into numerator / denominator polynomials with
// complex coefficients. Fractions with exactly equal denominators are added
// over that denominator; nothing else is cancelled, so (z^2-1)/(z-1) stays a
// map of degree 2 over degree 1, as the formula grid would hold it.
// Both polynomials must have degree <= 10 (intermediate results are capped).
//
// Thread-safety: pure function. Never throws on any input.
#pragma once

#include <string>
#include <string_view>

#include "common/block_layout.h"

namespace cli {

struct FormulaParseResult {
    bool ok = false;
    common::RationalMap map{};  // ok: coefficients, degrees and form as Execute stores them
    int errorPosition = 0;      // 1-based byte position of the error
    std::string error;          // "position 5: expected ..." when !ok
};

FormulaParseResult parseFormula(std::string_view text);

}  // namespace cli
