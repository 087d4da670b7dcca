// Writing a picture's AnalysisBlock: sizing, the fixed part and (for a
// Julia picture) the component table with its data.
//
// The writer fills any memory of the right size (a fresh shared block, a
// buffer in a test, the command-line tool's file); it zeroes it first, so
// every byte the layout does not name is 0.
//
// What is written, in this order: blockSize and pictureKind; the title
// (at most 255 bytes, never ending inside a UTF-8 character); the map and
// the critical points (count clamped to 0..41, no selection flags); the
// current ViewRecord's header (loopCount 500 for 'M', 1000 for 'J', fixed
// tolerance 1e-16, convergence radius and continuity distance, picture
// size, reserved and unknown colour 0); the fixed points (at most 21);
// magnification and centre; the 21 default colour records; then for 'J' the
// components.
//
// Components ('J'), in this order and at most MAX_WRITTEN_COMPONENTS of them:
//  1. the cycles of the CycleList in list order, except the entry for
//     infinity (period 0), which is skipped; the cycles after it follow;
//  2. Siegel-disk groups: the first unused disk and every later one found on
//     the same critical point's curves (one CurveImage per curve);
//  3. Herman-ring groups: the first unused ring and every later one joining
//     the same two critical points' curve sets, in either order (a pair of
//     CurveImages per ring, the "In" curve first).
// The block is sized for exactly the entries written: 12936 bytes, plus 16
// per cycle point, plus per Siegel curve 196 + 24 per disk + 16 per polyline
// point, plus per Herman pair 384 + the same for both curves' arrays. The
// data of a group are its count, the images from dataOffset + 8, then per
// curve its outer disks, inner disks and polyline.
//
// Window: 'M' shows the square -1..1 (magnification 0.25, centre 0). 'J'
// shows the smallest box around the finite points among fixed point entry 0
// (0 when none was found), every fixed point and every critical point,
// with magnification 1 / (2 * larger side) and the box's middle as centre;
// a box whose larger side is 0 becomes the 4 x 4 square around its centre
// (magnification 0.125).
//
// Thread-safety: pure functions of their arguments; the memory written
// belongs to the caller.
#pragma once

#include "analysis/critical_points.h"
#include "analysis/julia_analysis.h"
#include "common/block_layout.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace frontend {

inline constexpr int MANDELBROT_LOOP_COUNT = 500;
inline constexpr int JULIA_LOOP_COUNT = 1000;
inline constexpr double FIXED_TOLERANCE = 1e-16;
inline constexpr double MANDELBROT_HALF_SIDE = 1.0;   // the parameter window -1..1
inline constexpr double FLAT_WINDOW_SIDE = 4.0;       // a Julia box of no extent
inline constexpr std::size_t MAX_TITLE_BYTES = common::TITLE_SIZE - 1;

// Per-item sizes of the block sizing rule.
inline constexpr std::size_t CYCLE_POINT_BYTES = 16;
inline constexpr std::size_t SIEGEL_CURVE_BYTES = 196;
inline constexpr std::size_t HERMAN_PAIR_BYTES = 384;
inline constexpr std::size_t DISK_BYTES = 24;
inline constexpr std::size_t POLYLINE_POINT_BYTES = 16;

// Default colour record (every component code): value range 0..loopCount,
// channel curves {frame1Start, frame1End, frame2Start, frame2End, cycle,
// phase, distortion}.
inline constexpr common::ChannelCurve DEFAULT_RED_CURVE = {255, 255, 0, 0, 5, 0, 0};
inline constexpr common::ChannelCurve DEFAULT_GREEN_CURVE = {255, 255, 0, 0, 3, 0, 0};
inline constexpr common::ChannelCurve DEFAULT_BLUE_CURVE = {255, 255, 0, 0, 2, 1, 0};
inline constexpr int UNUSED_EXCEPTION_ROW = -1;

// Everything a picture's block is made from.
struct PictureContent {
    char kind = static_cast<char>(common::PictureKind::Mandelbrot);  // 'M' or 'J'
    std::string title;                            // cut to 255 bytes when written
    common::RationalMap map{};                    // block form, written as given
    common::CriticalPointList criticalPoints{};   // count, infinityIsCritical, parts
    analysis::FixedPointList fixedPoints;         // the map's finite fixed points
    double convergenceRadius = 1e-6;              // CONV_EPS
    double continuityDistance = 0.05;             // CONT_EPS
    int pictureWidth = 600;                       // SIZEX
    int pictureHeight = 600;                      // SIZEY
    // 'J': the engine's results; nullptr (or 'M') writes no components.
    const analysis::JuliaAnalysis* julia = nullptr;
};

// One component entry as it will be written.
struct PlannedComponent {
    common::ComponentKind kind = common::ComponentKind::Cycle;
    const analysis::Cycle* cycle = nullptr;                       // Cycle
    std::vector<const analysis::ClosedCurve*> curves;             // Siegel: one per curve;
                                                                   // Herman: inner, outer, inner, ...
    int count() const;  // period, curves or pairs
    std::size_t sizedBytes() const;  // its share of the block size
};

// The entries a Julia analysis yields, in block order (at most 20).
std::vector<PlannedComponent> planComponents(const analysis::JuliaAnalysis& julia);

// The size of the picture's block.
std::size_t pictureBlockSize(const PictureContent& content);

// Writes the whole block into memory of `size` bytes (size must be at least
// pictureBlockSize(content); the rest stays zero). Returns false, writing
// nothing, when size is too small.
bool writePictureBlock(void* memory, std::size_t size, const PictureContent& content);

// The view window of a picture (see the file comment).
struct PictureWindow {
    double magnification = 0.25;
    double centreRe = 0;
    double centreIm = 0;
};
PictureWindow mandelbrotWindow();
PictureWindow juliaWindow(const common::CriticalPointList& criticalPoints, const analysis::FixedPointList& fixedPoints);

// "%c%d←" with the kind and the parent's child count, followed by the
// parent's title, cut to 255 bytes on a character boundary.
std::string derivedTitle(char kind, int childCount, std::string_view parentTitle);
// The same with the parent's title read from its block field (bounded).
std::string derivedTitle(char kind, int childCount, const char (&parentTitle)[common::TITLE_SIZE]);

// A copy picture: the source block's `size` bytes (the size the source was
// created with), then the source's drawn ViewRecord laid over the copy's
// current ViewRecord, blockSize set to `size` and the given title.
// false (nothing written) when size is below the fixed part.
bool copyPictureBlock(void* to, const void* from, std::size_t size, const std::string& title);

// Writes the default colour records for a loop count.
void writeDefaultColours(common::ViewRecord& view, int loopCount);

}  // namespace frontend
