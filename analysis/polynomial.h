// Complex polynomials and rational maps of the analysis engine.
//
// Conventions
//  - A ComplexPolynomial holds its coefficients as two parallel arrays of
//    degree + 1 doubles (real parts, imaginary parts) indexed by the power of
//    z: index 0 is the constant term, index `degree` the leading coefficient.
//  - A coefficient is zero only when both parts compare equal to 0.0.
//    Stripping lowers the degree while the leading coefficient is zero and
//    stops at degree 0, so the zero polynomial has degree 0.
//  - Every operation fixes its order of floating-point operations (written
//    next to each function), so results are reproducible bit for bit with
//    plain double arithmetic in that order.
//  - No function throws on numeric input; preconditions are the caller's.
//    Results are returned by value or written into caller-owned objects.
//
// Thread-safety: all functions are pure; concurrent calls on distinct
// output objects are safe.
#pragma once

#include <vector>

namespace analysis {

struct ComplexValue {
    double re = 0, im = 0;
};

struct ComplexPolynomial {
    int degree = 0;
    std::vector<double> re, im;  // size degree + 1, index = power of z
};

// form 1: R = P (the denominator is never used); form 2: R = P / Q.
struct RationalMap {
    int form = 1;
    ComplexPolynomial numerator, denominator;
};

struct RationalValue {
    ComplexValue value;
    bool pole = false;  // true: |Q(z)|^2 == 0.0 exactly; value is then unset
};

// A polynomial of the given degree (>= 0) with every coefficient 0.
ComplexPolynomial makePolynomial(int degree);

// Lowers the degree while the leading coefficient is exactly zero (both
// parts), stopping at 0; the arrays are shrunk to degree + 1.
void stripPolynomial(ComplexPolynomial& p);

// Horner from the leading coefficient down:
//   w = a_n;  w = (w.re*x - w.im*y + Re a_k,  w.re*y + w.im*x + Im a_k).
ComplexValue evaluatePolynomial(const ComplexPolynomial& p, ComplexValue z);

// Form 1: P(z), never a pole. Any other form: P(z)/Q(z) as
//   P*conj(Q)/|Q|^2 with |Q|^2 = Re^2 + Im^2; a pole when |Q|^2 == 0.0.
RationalValue evaluateRational(const RationalMap& map, ComplexValue z);

// out = a * b, degree deg a + deg b, not stripped: out zeroed, then for
// i over a, j over b (both ascending) out[i+j] += a_i * b_j.
// out may be the same object as a or b.
void multiplyPolynomials(const ComplexPolynomial& a, const ComplexPolynomial& b,
                         ComplexPolynomial& out);

// Long division num = quotient * den + remainder. Requires deg den <= deg num
// and a non-zero leading coefficient of den. Returns the remainder degree
// (-1 for a zero remainder). quotient gets degree deg num - deg den. When
// remainder is given it receives coefficients 0..max(returned degree, 0)
// (a zero remainder is stored as the degree-0 polynomial 0).
// If deg den > deg num the quotient is 0 and the remainder is num.
int dividePolynomials(const ComplexPolynomial& num, const ComplexPolynomial& den,
                      ComplexPolynomial& quotient, ComplexPolynomial* remainder = nullptr);

// outer(inner(z)), degree deg outer * deg inner, not stripped. The powers
// inner^i = inner^(i-1) * inner are built by multiplyPolynomials; then the
// terms outer_i * inner^i are added coefficient by coefficient, i ascending.
ComplexPolynomial composePolynomials(const ComplexPolynomial& outer, const ComplexPolynomial& inner);

// p^e by repeated multiplication p^k = p^(k-1) * p; e == 1 copies, e <= 0
// gives the constant 1.
ComplexPolynomial powerPolynomial(const ComplexPolynomial& p, int e);

// (A/B) o (P/Q) = N/D, returned in form 2 with both parts stripped. With
// a = deg A, b = deg B, m = max(a, b):
//   N = Q^(m-a) * sum_i A_i P^i Q^(a-i),  D = Q^(m-b) * sum_j B_j P^j Q^(b-j).
// A map in form 1 takes part with the denominator 1.
RationalMap composeRationalMaps(const RationalMap& outer, const RationalMap& inner);

}  // namespace analysis
