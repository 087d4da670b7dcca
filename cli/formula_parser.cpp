#include "cli/formula_parser.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "common/formula_check.h"

namespace cli {

namespace {

constexpr int MAX_EXPONENT = 10;
constexpr int MAX_INTERMEDIATE_DEGREE = 100;  // keeps nested powers from exploding

struct Complex {
    double re = 0, im = 0;
};

// Coefficients indexed by power; never empty.
using Poly = std::vector<Complex>;

bool isZero(const Complex& c) { return c.re == 0.0 && c.im == 0.0; }

void strip(Poly& p) {
    while (p.size() > 1 && isZero(p.back())) p.pop_back();
}

Poly constant(Complex c) { return Poly{c}; }

Poly add(const Poly& a, const Poly& b, double sign) {
    Poly r(std::max(a.size(), b.size()));
    for (std::size_t k = 0; k < r.size(); ++k) {
        if (k < a.size()) r[k] = a[k];
        if (k < b.size()) {
            r[k].re += sign * b[k].re;
            r[k].im += sign * b[k].im;
        }
    }
    strip(r);
    return r;
}

Poly multiply(const Poly& a, const Poly& b) {
    Poly r(a.size() + b.size() - 1);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) {
            r[i + j].re += a[i].re * b[j].re - a[i].im * b[j].im;
            r[i + j].im += a[i].re * b[j].im + a[i].im * b[j].re;
        }
    strip(r);
    return r;
}

bool equal(const Poly& a, const Poly& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].re != b[k].re || a[k].im != b[k].im) return false;
    return true;
}

int degree(const Poly& p) { return static_cast<int>(p.size()) - 1; }

struct Fraction {
    Poly num{Complex{0, 0}}, den{Complex{1, 0}};
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool parse(Fraction& out) {
        if (!expression(out)) return false;
        skipBlanks();
        if (pos_ < text_.size()) return fail(pos_, "expected an operator or the end of the formula");
        return true;
    }

    std::size_t errorAt() const { return errorAt_; }
    const std::string& error() const { return error_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t errorAt_ = 0;
    std::string error_;
    int depth_ = 0;

    static constexpr int MAX_NESTING = 200;

    bool fail(std::size_t at, const std::string& what) {
        if (error_.empty()) {
            errorAt_ = at;
            error_ = what;
        }
        return false;
    }

    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }

    char peek() {
        skipBlanks();
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }

    bool checkDegree(const Fraction& f, std::size_t at) {
        if (degree(f.num) > MAX_INTERMEDIATE_DEGREE || degree(f.den) > MAX_INTERMEDIATE_DEGREE)
            return fail(at, "the expansion grows beyond degree " + std::to_string(MAX_INTERMEDIATE_DEGREE));
        return true;
    }

    bool expression(Fraction& out) {
        if (!term(out)) return false;
        for (;;) {
            const char c = peek();
            if (c != '+' && c != '-') return true;
            const std::size_t at = pos_++;
            Fraction rhs;
            if (!term(rhs)) return false;
            const double sign = c == '+' ? 1.0 : -1.0;
            if (equal(out.den, rhs.den)) {
                out.num = add(out.num, rhs.num, sign);
            } else {
                out.num = add(multiply(out.num, rhs.den), multiply(rhs.num, out.den), sign);
                out.den = multiply(out.den, rhs.den);
            }
            if (!checkDegree(out, at)) return false;
        }
    }

    bool term(Fraction& out) {
        if (!unary(out)) return false;
        for (;;) {
            const char c = peek();
            const std::size_t at = pos_;
            bool divide = false;
            if (c == '*' || c == '/') {
                divide = c == '/';
                ++pos_;
            } else if (!(c == 'z' || c == 'Z' || c == 'i' || c == 'I' || c == '(')) {
                return true;  // no implicit product either
            }
            Fraction rhs;
            if (!unary(rhs)) return false;
            if (divide) {
                Poly num = multiply(out.num, rhs.den);
                out.den = multiply(out.den, rhs.num);
                out.num = std::move(num);
            } else {
                out.num = multiply(out.num, rhs.num);
                out.den = multiply(out.den, rhs.den);
            }
            if (!checkDegree(out, at)) return false;
        }
    }

    bool unary(Fraction& out) {
        const char c = peek();
        if (c == '+' || c == '-') {
            ++pos_;
            if (++depth_ > MAX_NESTING) return fail(pos_, "the formula is nested too deeply");
            const bool ok = unary(out);
            --depth_;
            if (!ok) return false;
            if (c == '-')
                for (Complex& k : out.num) {
                    k.re = -k.re;
                    k.im = -k.im;
                }
            return true;
        }
        return power(out);
    }

    bool power(Fraction& out) {
        if (!primary(out)) return false;
        if (peek() != '^') return true;
        const std::size_t at = ++pos_;
        skipBlanks();
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9') ++end;
        int e = 0;
        const auto [ptr, ec] = std::from_chars(text_.data() + pos_, text_.data() + end, e);
        if (end == pos_ || ec != std::errc() || ptr != text_.data() + end || e > MAX_EXPONENT)
            return fail(pos_, "expected an exponent, an integer from 0 to 10");
        pos_ = end;
        Fraction r;
        r.num = constant({1, 0});
        for (int k = 0; k < e; ++k) {
            r.num = multiply(r.num, out.num);
            r.den = multiply(r.den, out.den);
            if (!checkDegree(r, at)) return false;
        }
        out = std::move(r);
        return true;
    }

    bool primary(Fraction& out) {
        const char c = peek();
        const std::size_t at = pos_;
        out = Fraction{};
        if (c == 'z' || c == 'Z') {
            ++pos_;
            out.num = Poly{Complex{0, 0}, Complex{1, 0}};
            return true;
        }
        if (c == 'i' || c == 'I') {
            ++pos_;
            out.num = constant({0, 1});
            return true;
        }
        if (c == '(') {
            ++pos_;
            if (++depth_ > MAX_NESTING) return fail(at, "the formula is nested too deeply");
            const bool ok = expression(out);
            --depth_;
            if (!ok) return false;
            if (peek() != ')') return fail(pos_, "expected ')'");
            ++pos_;
            return true;
        }
        if ((c >= '0' && c <= '9') || c == '.') return number(out);
        if (c == '\0') return fail(pos_, "expected a number, 'z', 'i' or '(' but the formula ends");
        return fail(pos_, "expected a number, 'z', 'i' or '('");
    }

    bool number(Fraction& out) {
        const std::size_t start = pos_;
        std::size_t end = pos_;
        auto digits = [&] {
            const std::size_t from = end;
            while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9') ++end;
            return end - from;
        };
        std::size_t count = digits();
        if (end < text_.size() && text_[end] == '.') {
            ++end;
            count += digits();
        }
        if (count == 0) return fail(start, "expected digits in the number");
        if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
            ++end;
            if (end < text_.size() && (text_[end] == '+' || text_[end] == '-')) ++end;
            if (digits() == 0) return fail(end, "expected the digits of the exponent");
        }
        double value = 0.0;
        const auto [ptr, ec] = std::from_chars(text_.data() + start, text_.data() + end, value);
        if (ec != std::errc() || ptr != text_.data() + end || !std::isfinite(value))
            return fail(start, "the number is out of range");
        pos_ = end;
        out.num = constant({value, 0});
        return true;
    }
};

}  // namespace

FormulaParseResult parseFormula(std::string_view text) {
    FormulaParseResult result;
    Parser parser(text);
    Fraction f;
    if (!parser.parse(f)) {
        result.errorPosition = static_cast<int>(parser.errorAt()) + 1;
        result.error = "position " + std::to_string(result.errorPosition) + ": " + parser.error();
        return result;
    }
    if (degree(f.num) > common::MAX_DEGREE || degree(f.den) > common::MAX_DEGREE) {
        result.errorPosition = 1;
        result.error = "the numerator and the denominator may have degree 10 at most (numerator " +
                       std::to_string(degree(f.num)) + ", denominator " + std::to_string(degree(f.den)) + ")";
        return result;
    }
    for (const Poly* p : {&f.num, &f.den})
        for (const Complex& c : *p)
            if (!std::isfinite(c.re) || !std::isfinite(c.im)) {
                result.errorPosition = 1;
                result.error = "a coefficient of the expanded formula is out of the range of double";
                return result;
            }
    for (int k = 0; k <= degree(f.num); ++k) {
        result.map.numeratorRe[k] = f.num[k].re;
        result.map.numeratorIm[k] = f.num[k].im;
    }
    for (int k = 0; k <= degree(f.den); ++k) {
        result.map.denominatorRe[k] = f.den[k].re;
        result.map.denominatorIm[k] = f.den[k].im;
    }
    common::storeDegreesAndForm(result.map);
    result.ok = true;
    return result;
}

}  // namespace cli
