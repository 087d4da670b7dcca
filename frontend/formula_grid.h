// The text side of the main dialog's coefficient grid: 44 fields, each with a
// Cartesian text and a polar text, kept in step with the current map.
//
// Fields are numbered 0..43 row by row, degree 0 first: field = 4 * degree +
// column, with column 0 numerator real part (or modulus), 1 numerator
// imaginary part (or argument), 2 and 3 the same for the denominator. The
// pair of a field is (4k, 4k + 1) for columns 0 and 1, (4k + 2, 4k + 3) for
// columns 2 and 3.
//
// The numbers live only in the map given to the grid (the current map of
// the front end block); the grid writes coefficients into it as texts
// change, never degrees or form (those are set by the Execute check).
// Texts are read and written in the C numeric conventions ("%lf", "%.16G").
//
// Thread-safety: used by the dialog's thread only.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/block_layout.h"

namespace frontend {

inline constexpr int GRID_FIELD_COUNT = 44;
inline constexpr int GRID_COLUMN_COUNT = 4;
inline constexpr std::size_t FIELD_TEXT_MAX = 32;

enum class DisplayForm : std::uint8_t { Cartesian = 0, Polar = 1 };

// Length of the longest prefix of text in which every character is a digit,
// the first '.' of the text, or a '-' in the first position. The keystroke
// filter cuts a field's text to this length.
std::size_t validNumberPrefix(std::string_view text);

struct PolarCoefficient {
    double modulus = 0;
    double argument = 0;  // radians, in (-pi/2, 3pi/2]
};

// Modulus sqrt(re^2 + im^2) and the argument: 0 for modulus 0, atan(im/re)
// for re > 0, pi - atan(im/-re) for re < 0, +-pi/2 for re = 0.
PolarCoefficient toPolar(double re, double im);

class FormulaGrid {
public:
    // The grid starts with every text "0" except the denominator's degree-0
    // real part and modulus, "1"; call reset() to make the map match.
    explicit FormulaGrid(common::RationalMap& map);

    // Initial texts, and the map 0 / 1 (coefficients only).
    void reset();

    DisplayForm displayForm() const { return form_; }

    const std::string& cartesianText(int field) const { return cartesian_[index(field)]; }
    const std::string& polarText(int field) const { return polar_[index(field)]; }
    // The text the field shows in the current display form.
    const std::string& shownText(int field) const;

    // Store and convert: `text` is the field's new (already filtered)
    // content in the current display form. Updates the field's texts, the
    // texts of its pair in the other form and the stored coefficient. An
    // empty text empties the field's other-form text and changes nothing
    // else; a text that does not read as a number keeps the coefficient.
    void storeField(int field, std::string_view text);

    // Switches the display form. Returns the fields whose shown content
    // changes (both texts non-empty); empty when the form was current.
    std::vector<int> setDisplayForm(DisplayForm form);

    // Clear: every text "0" and every coefficient 0 (the denominator too).
    void clear();

    // Sample load: each field's Cartesian text is given and read into the
    // map (a text that does not read as a number leaves the coefficient);
    // then every polar text is computed from the stored coefficients.
    void loadCartesianTexts(const std::array<std::string, GRID_FIELD_COUNT>& texts);

    // True when the field's Cartesian or polar text is empty or does not
    // read as a number: such a field is marked at Execute.
    bool needsMarking(int field) const;

    double& coefficientPart(int field);
    double coefficientPart(int field) const;

private:
    static std::size_t index(int field);
    void initialTexts();
    void writePolarFromStored(int field);

    common::RationalMap& map_;
    DisplayForm form_ = DisplayForm::Cartesian;
    std::array<std::string, GRID_FIELD_COUNT> cartesian_;
    std::array<std::string, GRID_FIELD_COUNT> polar_;
};

}  // namespace frontend
