#include "common/formula_check.h"

namespace common {

int coefficientDegree(const double* re, const double* im) {
    for (int k = MAX_DEGREE; k >= 0; --k)
        if (re[k] != 0.0 || im[k] != 0.0) return k;
    return -1;
}

void storeDegreesAndForm(RationalMap& map) {
    map.numeratorDegree = coefficientDegree(map.numeratorRe, map.numeratorIm);
    map.denominatorDegree = coefficientDegree(map.denominatorRe, map.denominatorIm);
    const bool denominatorIsOne =
        map.denominatorDegree == 0 && map.denominatorRe[0] == 1.0 && map.denominatorIm[0] == 0.0;
    map.form = denominatorIsOne ? FORM_POLYNOMIAL : FORM_RATIONAL;
}

FormulaCheck checkFormula(const RationalMap& map) {
    if (map.denominatorDegree == -1) return FormulaCheck::DenominatorZero;
    if (map.numeratorDegree == -1) return FormulaCheck::NumeratorZero;
    if (map.numeratorDegree < 2 && map.denominatorDegree < 2) return FormulaCheck::DegreeTooLow;
    return FormulaCheck::Ok;
}

const char* formulaCheckMessage(FormulaCheck check) {
    switch (check) {
        case FormulaCheck::DenominatorZero: return MSG_DENOMINATOR_ZERO;
        case FormulaCheck::NumeratorZero: return MSG_NUMERATOR_ZERO;
        case FormulaCheck::DegreeTooLow: return MSG_DEGREE_TOO_LOW;
        case FormulaCheck::Ok: break;
    }
    return nullptr;
}

}  // namespace common
