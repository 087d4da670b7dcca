#include "analysis/polynomial.h"

#include <algorithm>

namespace analysis {

namespace {

bool isZeroCoefficient(const ComplexPolynomial& p, int k) {
    return p.re[k] == 0.0 && p.im[k] == 0.0;
}

ComplexPolynomial constantOne() {
    ComplexPolynomial one = makePolynomial(0);
    one.re[0] = 1.0;
    return one;
}

// sum += c * t, coefficient by coefficient (t may be shorter than sum).
void addScaled(ComplexPolynomial& sum, double cRe, double cIm, const ComplexPolynomial& t) {
    for (int k = 0; k <= t.degree; ++k) {
        sum.re[k] += cRe * t.re[k] - cIm * t.im[k];
        sum.im[k] += cRe * t.im[k] + cIm * t.re[k];
    }
}

// Numerator and denominator of a map as they take part in a composition.
void mapParts(const RationalMap& map, const ComplexPolynomial*& num, const ComplexPolynomial*& den,
              const ComplexPolynomial& one) {
    num = &map.numerator;
    den = map.form == 1 ? &one : &map.denominator;
}

// sum_i C_i P^i Q^(a-i) for the coefficients C of degree a, nominal degree a * n.
ComplexPolynomial homogeneousSum(const ComplexPolynomial& c, const std::vector<ComplexPolynomial>& pPow,
                                 const std::vector<ComplexPolynomial>& qPow, int n) {
    const int a = c.degree;
    ComplexPolynomial sum = makePolynomial(a * n);
    ComplexPolynomial term;
    for (int i = 0; i <= a; ++i) {
        multiplyPolynomials(pPow[i], qPow[a - i], term);
        addScaled(sum, c.re[i], c.im[i], term);
    }
    return sum;
}

}  // namespace

ComplexPolynomial makePolynomial(int degree) {
    ComplexPolynomial p;
    p.degree = std::max(degree, 0);
    p.re.assign(p.degree + 1, 0.0);
    p.im.assign(p.degree + 1, 0.0);
    return p;
}

void stripPolynomial(ComplexPolynomial& p) {
    while (p.degree > 0 && isZeroCoefficient(p, p.degree)) --p.degree;
    p.re.resize(p.degree + 1);
    p.im.resize(p.degree + 1);
}

ComplexValue evaluatePolynomial(const ComplexPolynomial& p, ComplexValue z) {
    const double x = z.re, y = z.im;
    double re = p.re[p.degree], im = p.im[p.degree];
    for (int k = p.degree - 1; k >= 0; --k) {
        const double nre = re * x - im * y + p.re[k];
        const double nim = re * y + im * x + p.im[k];
        re = nre;
        im = nim;
    }
    return {re, im};
}

RationalValue evaluateRational(const RationalMap& map, ComplexValue z) {
    RationalValue r;
    const ComplexValue pz = evaluatePolynomial(map.numerator, z);
    if (map.form == 1) {
        r.value = pz;
        return r;
    }
    const ComplexValue qz = evaluatePolynomial(map.denominator, z);
    const double m = qz.re * qz.re + qz.im * qz.im;
    if (m == 0.0) {
        r.pole = true;
        return r;
    }
    r.value.re = (pz.re * qz.re + pz.im * qz.im) / m;
    r.value.im = (pz.im * qz.re - pz.re * qz.im) / m;
    return r;
}

void multiplyPolynomials(const ComplexPolynomial& a, const ComplexPolynomial& b, ComplexPolynomial& out) {
    ComplexPolynomial result = makePolynomial(a.degree + b.degree);
    for (int i = 0; i <= a.degree; ++i) {
        const double ar = a.re[i], ai = a.im[i];
        for (int j = 0; j <= b.degree; ++j) {
            result.re[i + j] += ar * b.re[j] - ai * b.im[j];
            result.im[i + j] += ar * b.im[j] + ai * b.re[j];
        }
    }
    out = std::move(result);
}

int dividePolynomials(const ComplexPolynomial& num, const ComplexPolynomial& den,
                      ComplexPolynomial& quotient, ComplexPolynomial* remainder) {
    const int n = num.degree, m = den.degree;
    if (m > n) {
        ComplexPolynomial rest = num;
        stripPolynomial(rest);
        const int restDegree = (rest.degree == 0 && isZeroCoefficient(rest, 0)) ? -1 : rest.degree;
        quotient = makePolynomial(0);
        if (remainder) *remainder = std::move(rest);
        return restDegree;
    }
    std::vector<double> rRe(num.re.begin(), num.re.begin() + n + 1);
    std::vector<double> rIm(num.im.begin(), num.im.begin() + n + 1);
    ComplexPolynomial q = makePolynomial(n - m);
    const double dRe = den.re[m], dIm = den.im[m];
    const double d2 = dRe * dRe + dIm * dIm;
    for (int k = n; k >= m; --k) {
        const double qRe = (rRe[k] * dRe + rIm[k] * dIm) / d2;
        const double qIm = (rIm[k] * dRe - rRe[k] * dIm) / d2;
        q.re[k - m] = qRe;
        q.im[k - m] = qIm;
        rRe[k] = 0.0;
        rIm[k] = 0.0;
        for (int i = m - 1; i >= 0; --i) {
            rRe[k - m + i] -= qRe * den.re[i] - qIm * den.im[i];
            rIm[k - m + i] -= qRe * den.im[i] + qIm * den.re[i];
        }
    }
    int rDegree = m - 1;
    while (rDegree >= 0 && rRe[rDegree] == 0.0 && rIm[rDegree] == 0.0) --rDegree;
    quotient = std::move(q);
    if (remainder) {
        *remainder = makePolynomial(rDegree);
        for (int k = 0; k <= rDegree; ++k) {
            remainder->re[k] = rRe[k];
            remainder->im[k] = rIm[k];
        }
    }
    return rDegree;
}

ComplexPolynomial composePolynomials(const ComplexPolynomial& outer, const ComplexPolynomial& inner) {
    ComplexPolynomial result = makePolynomial(outer.degree * inner.degree);
    ComplexPolynomial power = constantOne();
    for (int i = 0; i <= outer.degree; ++i) {
        if (i > 0) multiplyPolynomials(power, inner, power);
        addScaled(result, outer.re[i], outer.im[i], power);
    }
    return result;
}

ComplexPolynomial powerPolynomial(const ComplexPolynomial& p, int e) {
    if (e <= 0) return constantOne();
    ComplexPolynomial result = p;
    for (int k = 2; k <= e; ++k) multiplyPolynomials(result, p, result);
    return result;
}

RationalMap composeRationalMaps(const RationalMap& outer, const RationalMap& inner) {
    const ComplexPolynomial one = constantOne();
    const ComplexPolynomial *A, *B, *P, *Q;
    mapParts(outer, A, B, one);
    mapParts(inner, P, Q, one);
    const int a = A->degree, b = B->degree, m = std::max(a, b);
    const int n = std::max(P->degree, Q->degree);

    std::vector<ComplexPolynomial> pPow(m + 1), qPow(m + 1);
    pPow[0] = one;
    qPow[0] = one;
    for (int k = 1; k <= m; ++k) {
        multiplyPolynomials(pPow[k - 1], *P, pPow[k]);
        multiplyPolynomials(qPow[k - 1], *Q, qPow[k]);
    }

    RationalMap result;
    result.form = 2;
    multiplyPolynomials(qPow[m - a], homogeneousSum(*A, pPow, qPow, n), result.numerator);
    multiplyPolynomials(qPow[m - b], homogeneousSum(*B, pPow, qPow, n), result.denominator);
    stripPolynomial(result.numerator);
    stripPolynomial(result.denominator);
    return result;
}

}  // namespace analysis
