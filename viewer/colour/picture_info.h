// What the viewer's information dialogs, the orbit display and printing know
// about a picture: a plain copy of the block fields they read, taken once
// when a dialog opens (or a page is printed).
//
// Every count in here has already been bounded by the block reader, so code
// that uses a PictureInfo may index its vectors freely. The map's degrees lie
// in -1..10 (-1: every coefficient is zero).
//
// Thread-safety: plain data.
#pragma once

#include "common/block_layout.h"
#include "common/block_reader.h"

#include <string>
#include <vector>

namespace colour {

struct PlanePoint {
    double re = 0;
    double im = 0;
};

struct PictureInfo {
    char pictureKind = 'J';            // 'M' or 'J'
    common::RationalMap map{};         // the picture's map (block form)
    // Critical points of the picture's block; a Mandelbrot picture also
    // carries the front end's list, which is the one its render used.
    std::vector<PlanePoint> criticalPoints;
    std::vector<PlanePoint> frontEndCriticalPoints;
    std::vector<PlanePoint> fixedPoints;             // finite fixed points
    std::vector<common::ComponentView> components;   // codes 1..K in order (at most 20)

    // From the current view record.
    int loopCount = 0;
    double convergenceRadius = 0;
    int width = 0;
    int height = 0;
    double magnification = 0;
    double centreRe = 0;
    double centreIm = 0;

    bool isJulia() const { return pictureKind == 'J'; }
};

// Gathers the picture's facts from its block (checked views) and the current
// view record; frontEnd may be null (then the front end's list stays empty).
PictureInfo pictureInfoFromBlocks(const common::AnalysisBlockView& block,
                                  const common::FrontEndBlockView* frontEnd);

}  // namespace colour
