#include "analysis/critical_points.h"

#include <algorithm>
#include <cstdlib>

#include "analysis/root_finder.h"

namespace analysis {

namespace {

// Derivative of p; degree deg p - 1, or an empty polynomial (degree -1) for a constant.
ComplexPolynomial derivative(const ComplexPolynomial& p) {
    ComplexPolynomial d;
    d.degree = p.degree - 1;
    for (int k = 0; k < p.degree; ++k) {
        d.re.push_back((k + 1) * p.re[k + 1]);
        d.im.push_back((k + 1) * p.im[k + 1]);
    }
    return d;
}

// Appends the roots of p (degree >= 1) to the lists; returns how many.
// `failed` is set when the root finder reports -1.
int appendRoots(const ComplexPolynomial& p, std::vector<double>& re, std::vector<double>& im, bool& failed) {
    if (p.degree < 1) return 0;
    const std::size_t first = re.size();
    re.resize(first + p.degree);
    im.resize(first + p.degree);
    if (findRoots(p.degree, p.re.data(), p.im.data(), re.data() + first, im.data() + first) == -1) failed = true;
    return p.degree;
}

double coefficientRe(const ComplexPolynomial& p, int k) { return k >= 0 && k <= p.degree ? p.re[k] : 0.0; }
double coefficientIm(const ComplexPolynomial& p, int k) { return k >= 0 && k <= p.degree ? p.im[k] : 0.0; }

int infinityCritical(const ComplexPolynomial& P, const ComplexPolynomial& Q) {
    const int dP = P.degree, dQ = Q.degree;
    if (std::abs(dP - dQ) >= 2) return 1;
    if (std::abs(dP - dQ) == 1) return 0;
    const int d = dP;
    const double pdr = coefficientRe(P, d), pdi = coefficientIm(P, d);
    const double pcr = coefficientRe(P, d - 1), pci = coefficientIm(P, d - 1);
    const double qdr = coefficientRe(Q, d), qdi = coefficientIm(Q, d);
    const double qcr = coefficientRe(Q, d - 1), qci = coefficientIm(Q, d - 1);
    // P_d Q_(d-1) against P_(d-1) Q_d
    const double leftRe = pdr * qcr - pdi * qci, leftIm = pdr * qci + pdi * qcr;
    const double rightRe = pcr * qdr - pci * qdi, rightIm = pcr * qdi + pci * qdr;
    return leftRe == rightRe && leftIm == rightIm ? 1 : 0;
}

}  // namespace

CriticalPointList findCriticalPoints(const RationalMap& map, PoleRootFinder poleRoots) {
    CriticalPointList list;
    const ComplexPolynomial& P = map.numerator;
    if (map.form == 1) {
        if (P.degree <= 1) return list;
        list.count = appendRoots(derivative(P), list.re, list.im, list.rootsFailed);
        return list;
    }
    if (map.form != 2) return list;

    const ComplexPolynomial& Q = map.denominator;
    const int dP = P.degree, dQ = Q.degree;
    list.infinityIsCritical = infinityCritical(P, Q);

    // N = P'Q - PQ'
    const int nominal = dP + dQ - 1;
    if (nominal >= 1) {
        const ComplexPolynomial dPoly = derivative(P), dQoly = derivative(Q);
        ComplexPolynomial N = makePolynomial(nominal);
        for (int i = 0; i <= dQ; ++i)
            for (int k = 0; k <= dPoly.degree; ++k) {
                N.re[i + k] += Q.re[i] * dPoly.re[k] - Q.im[i] * dPoly.im[k];
                N.im[i + k] += Q.re[i] * dPoly.im[k] + Q.im[i] * dPoly.re[k];
            }
        for (int i = 0; i <= dP; ++i)
            for (int k = 0; k <= dQoly.degree; ++k) {
                N.re[i + k] -= P.re[i] * dQoly.re[k] - P.im[i] * dQoly.im[k];
                N.im[i + k] -= P.re[i] * dQoly.im[k] + P.im[i] * dQoly.re[k];
            }
        // the leading terms cancel in exact arithmetic
        if (dP == dQ) N.re[nominal] = N.im[nominal] = 0.0;
        stripPolynomial(N);
        list.count = appendRoots(N, list.re, list.im, list.rootsFailed);
    }

    if (dQ > 1) {
        std::vector<double> poleRe(dQ), poleIm(dQ);
        if ((poleRoots != nullptr ? poleRoots : &findRoots)(dQ, Q.re.data(), Q.im.data(), poleRe.data(),
                                                            poleIm.data()) == -1)
            list.rootsFailed = true;
        std::vector<char> marked(dQ, 0);
        for (int i = 0; i + 1 < dQ; ++i) {
            if (marked[i]) continue;
            bool multiple = false;
            for (int l = i + 1; l < dQ; ++l) {
                if (marked[l] || poleRe[l] != poleRe[i] || poleIm[l] != poleIm[i]) continue;
                marked[l] = 1;
                multiple = true;
            }
            if (multiple) {
                marked[i] = 1;
                list.re.push_back(poleRe[i]);
                list.im.push_back(poleIm[i]);
                ++list.count;
            }
        }
    }
    return list;
}

FixedPointList findFixedPoints(const RationalMap& map) {
    FixedPointList list;
    const ComplexPolynomial& P = map.numerator;
    if (map.form == 1) {
        if (P.degree <= 1) return list;
        ComplexPolynomial F = P;
        F.re[1] -= 1.0;
        list.count = appendRoots(F, list.re, list.im, list.rootsFailed);
        return list;
    }
    if (map.form != 2) return list;

    // F = z Q(z) - P(z)
    const ComplexPolynomial& Q = map.denominator;
    ComplexPolynomial F = makePolynomial(std::max(P.degree, Q.degree + 1));
    for (int k = 0; k <= P.degree; ++k) {
        F.re[k] = -P.re[k];
        F.im[k] = -P.im[k];
    }
    for (int i = 0; i <= Q.degree; ++i) {
        F.re[i + 1] += Q.re[i];
        F.im[i + 1] += Q.im[i];
    }
    stripPolynomial(F);
    list.count = appendRoots(F, list.re, list.im, list.rootsFailed);
    return list;
}

}  // namespace analysis
