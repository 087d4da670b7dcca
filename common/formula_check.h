// The checks the Execute button applies to the formula before any analysis,
// with their message texts. Pure logic, shared by the front end and the
// command-line tool.
//
// Conventions: maps in block form (block_layout.h); a coefficient is zero
// only when both parts are exactly 0.0. A constant denominator other than
// exactly 1 + 0i keeps form 2, so R = P/Q is analysed as written.
//
// Thread-safety: pure functions.
#pragma once

#include "common/ui_text.h"

#include "common/block_layout.h"

namespace common {

inline constexpr const char* MSG_DENOMINATOR_ZERO = QT_TRANSLATE_NOOP("Texts", "分母が０です。割り算ができません。");
inline constexpr const char* MSG_NUMERATOR_ZERO =
    QT_TRANSLATE_NOOP("Texts", "分子が０です。常に０の関数は扱えません。");
inline constexpr const char* MSG_DEGREE_TOO_LOW =
    QT_TRANSLATE_NOOP("Texts", "分子の次数か分母の次数が２以上になるようにしてください。");

enum class FormulaCheck { Ok, DenominatorZero, NumeratorZero, DegreeTooLow };

// Highest k from MAX_DEGREE down to 0 with a non-zero coefficient, -1 if none.
int coefficientDegree(const double* re, const double* im);

// Stores both degrees and the form: 1 only when the denominator is exactly
// the constant 1 + 0i, else 2.
void storeDegreesAndForm(RationalMap& map);

// The degree checks in Execute's order; expects storeDegreesAndForm first.
FormulaCheck checkFormula(const RationalMap& map);

// The message box text of a failed check; nullptr for Ok.
const char* formulaCheckMessage(FormulaCheck check);

}  // namespace common
