#include "frontend/formula_grid.h"

#include <cassert>
#include <cmath>
#include <numbers>

#include "common/number_text.h"

namespace frontend {
namespace {

constexpr int DENOMINATOR_REAL_DEGREE0 = 2;  // field of Q's constant term, real part / modulus

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int degreeOf(int field) { return field / GRID_COLUMN_COUNT; }
int columnOf(int field) { return field % GRID_COLUMN_COUNT; }
// First field of the field's (real, imaginary) or (modulus, argument) pair.
int pairStart(int field) { return field - columnOf(field) % 2; }

}  // namespace

std::size_t validNumberPrefix(std::string_view text) {
    bool seenPoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) continue;
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c == '-' && i == 0) continue;
        return i;
    }
    return text.size();
}

PolarCoefficient toPolar(double re, double im) {
    PolarCoefficient p;
    p.modulus = std::sqrt(re * re + im * im);
    // Squares of huge parts overflow although the modulus itself is finite.
    if (!std::isfinite(p.modulus) && std::isfinite(re) && std::isfinite(im)) p.modulus = std::hypot(re, im);
    if (p.modulus == 0) p.argument = 0;
    else if (re > 0) p.argument = std::atan(im / re);
    else if (re < 0) p.argument = std::numbers::pi - std::atan(im / -re);
    else p.argument = im > 0 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    return p;
}

FormulaGrid::FormulaGrid(common::RationalMap& map) : map_(map) { initialTexts(); }

void FormulaGrid::initialTexts() {
    const std::string zero(1, '0'), one(1, '1');
    cartesian_.fill(zero);
    polar_.fill(zero);
    cartesian_[DENOMINATOR_REAL_DEGREE0] = one;
    polar_[DENOMINATOR_REAL_DEGREE0] = one;
}

std::size_t FormulaGrid::index(int field) {
    assert(field >= 0 && field < GRID_FIELD_COUNT);
    return static_cast<std::size_t>(field);
}

void FormulaGrid::reset() {
    initialTexts();
    for (int f = 0; f < GRID_FIELD_COUNT; ++f) coefficientPart(f) = 0.0;
    coefficientPart(DENOMINATOR_REAL_DEGREE0) = 1.0;
}

const std::string& FormulaGrid::shownText(int field) const {
    return form_ == DisplayForm::Cartesian ? cartesianText(field) : polarText(field);
}

double& FormulaGrid::coefficientPart(int field) {
    const std::size_t k = static_cast<std::size_t>(degreeOf(field));
    switch (columnOf(field)) {
        case 0: return map_.numeratorRe[k];
        case 1: return map_.numeratorIm[k];
        case 2: return map_.denominatorRe[k];
        default: return map_.denominatorIm[k];
    }
}

double FormulaGrid::coefficientPart(int field) const {
    return const_cast<FormulaGrid*>(this)->coefficientPart(field);
}

void FormulaGrid::writePolarFromStored(int field) {
    const int first = pairStart(field);
    const PolarCoefficient p = toPolar(coefficientPart(first), coefficientPart(first + 1));
    polar_[index(first)] = common::formatG16(p.modulus);
    polar_[index(first + 1)] = common::formatG16(p.argument);
}

void FormulaGrid::storeField(int field, std::string_view text) {
    const std::size_t i = index(field);
    if (form_ == DisplayForm::Cartesian) {
        cartesian_[i] = std::string(text);
        if (text.empty()) {
            polar_[i].clear();
            return;
        }
        if (const auto value = common::parseDouble(text)) coefficientPart(field) = *value;
        writePolarFromStored(field);
        return;
    }

    polar_[i] = std::string(text);
    if (text.empty()) {
        cartesian_[i].clear();
        return;
    }
    const int first = pairStart(field);
    const auto modulus = common::parseDouble(polar_[index(first)]);
    const auto argument = common::parseDouble(polar_[index(first + 1)]);
    // A modulus or argument that does not read as a number keeps the
    // coefficient, as an unreadable Cartesian text does.
    if (!modulus || !argument) return;
    const double re = *modulus * std::cos(*argument);
    const double im = *modulus * std::sin(*argument);
    coefficientPart(first) = re;
    coefficientPart(first + 1) = im;
    cartesian_[index(first)] = common::formatG16(re);
    cartesian_[index(first + 1)] = common::formatG16(im);
}

std::vector<int> FormulaGrid::setDisplayForm(DisplayForm form) {
    std::vector<int> changed;
    if (form == form_) return changed;
    form_ = form;
    for (int f = 0; f < GRID_FIELD_COUNT; ++f)
        if (!cartesian_[index(f)].empty() && !polar_[index(f)].empty()) changed.push_back(f);
    return changed;
}

void FormulaGrid::clear() {
    const std::string zero(1, '0');
    cartesian_.fill(zero);
    polar_.fill(zero);
    for (int f = 0; f < GRID_FIELD_COUNT; ++f) coefficientPart(f) = 0.0;
}

void FormulaGrid::loadCartesianTexts(const std::array<std::string, GRID_FIELD_COUNT>& texts) {
    for (int f = 0; f < GRID_FIELD_COUNT; ++f) {
        cartesian_[index(f)] = texts[index(f)];
        if (const auto value = common::parseDouble(texts[index(f)])) coefficientPart(f) = *value;
    }
    for (int f = 0; f < GRID_FIELD_COUNT; f += 2) writePolarFromStored(f);
}

bool FormulaGrid::needsMarking(int field) const {
    const std::string& c = cartesianText(field);
    const std::string& p = polarText(field);
    return c.empty() || p.empty() || !common::parseDouble(c) || !common::parseDouble(p);
}

}  // namespace frontend
