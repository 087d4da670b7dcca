#include "analysis/map_conversion.h"

#include <algorithm>

namespace analysis {

namespace {

ComplexPolynomial fromBlock(int degree, const double* re, const double* im) {
    ComplexPolynomial p = makePolynomial(std::clamp(degree, 0, common::MAX_DEGREE));
    for (int k = 0; k <= p.degree; ++k) {
        p.re[k] = re[k];
        p.im[k] = im[k];
    }
    return p;
}

}  // namespace

RationalMap toEngineMap(const common::RationalMap& blockMap) {
    RationalMap map;
    map.form = blockMap.form;
    map.numerator = fromBlock(blockMap.numeratorDegree, blockMap.numeratorRe, blockMap.numeratorIm);
    map.denominator = fromBlock(blockMap.denominatorDegree, blockMap.denominatorRe, blockMap.denominatorIm);
    return map;
}

}  // namespace analysis
