// Texts of the information dialogs ("コンポネント", "式") and the labels of
// the component selection list.
//
// Numbers are printed as "%.16G" in the C numeric conventions. Dialog texts
// end their lines with "\r\n", exactly as the dialogs list them; a window
// that shows them may turn the pair into its own line break.
//
// All functions are pure and thread-safe.
#pragma once

#include "common/block_layout.h"
#include "viewer/colour/picture_info.h"

#include <string>
#include <vector>

namespace colour {

// The selection list's label of a component: the components dialog's line,
// with a trailing space after the period of a Siegel disk or Herman ring.
std::string selectionListLabel(const common::ComponentView& component);

// The plane rectangle a picture shows. With a = W div 2, b = H div 2:
// re from -a/(W s) + cx to a/(W s) + cx, im likewise with b and cy.
struct PlaneRange {
    double reMin = 0, reMax = 0, imMin = 0, imMax = 0;
};
PlaneRange pictureRange(int width, int height, double magnification, double centreRe,
                        double centreIm);

// Components dialog fields.
std::string rangeText(const PictureInfo& info);  // two lines, no final break
std::string pointListText(const std::vector<PlanePoint>& points);  // "実部 … 虚部 …\r\n" each
// Julia pictures: the infinity line (when infinity attracts), then one line
// per component entry. Mandelbrot pictures: "".
std::string componentsText(const PictureInfo& info);
// The critical points the components dialog lists: the front end's for a
// Mandelbrot picture, the block's for a Julia picture.
const std::vector<PlanePoint>& listedCriticalPoints(const PictureInfo& info);

// The formula dialog's text: every coefficient from degree 0 up, zero or not.
std::string formulaText(const common::RationalMap& map);

}  // namespace colour
