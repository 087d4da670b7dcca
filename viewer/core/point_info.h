// The readouts under the mouse and the plane point of a window position.
//
// Window positions are in picture pixels counted from the top-left corner of
// the scrolled picture (client position plus scroll position). Pixel maps are
// indexed [x][y] with y counted from the bottom, so the window row y shows
// map row height - 1 - y.
//
// All functions are pure and thread-safe.
#pragma once

#include <string>

#include <vector>

#include "common/block_reader.h"

namespace viewer {

struct PlanePoint {
    double re = 0.0;
    double im = 0.0;
};

// re = (x - W/2) / (W*m) + centreRe, im = (H/2 - y) / (W*m) + centreIm, with
// integer halves. m is the magnification of the picture on screen.
PlanePoint windowToPlane(int x, int y, int width, int height, double magnification, double centreRe,
                         double centreIm);

// "%.16G  %.16G" of the point (two spaces between the parts).
std::string mousePositionText(PlanePoint p);

// The component part of the point information of a Julia pixel, for
// component code `code` read as a signed byte. `entries` is the block's
// checked component table (at most 20 entries). A positive code without a
// table entry reads as unknown.
std::string componentText(int code, const std::vector<common::ComponentView>& entries);

// The whole point information field: for a Mandelbrot picture "番号 %d" alone,
// for a Julia picture componentText followed by "番号 %d".
std::string pointInfoText(bool juliaPicture, int iterationCount, int code,
                          const std::vector<common::ComponentView>& entries);

}  // namespace viewer
