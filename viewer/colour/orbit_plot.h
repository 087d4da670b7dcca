// Orbit display: orbits of points under the picture's map, plotted as small
// crosses into a picture of the main picture's size.
//
// The picture is a fixed 32-bit image, one word 0xAARRGGBB per pixel (the
// layout of QImage::Format_RGB32), rows top to bottom. Black is the
// background; a pixel counts as marked when it is not black. Critical orbits
// are white, the orbit of a picked point red.
//
// Plane to pixel, with magnification s and centre (cx, cy):
//   column = W s (re - cx) + W/2,  row = W s (cy - im) + H/2
// truncated towards zero (W/2 and H/2 in integer division). The values are
// tested in double before they are converted, so far-away or non-finite
// points are simply not drawn.
//
// Thread-safety: an OrbitPicture is a plain object; the functions are pure.
#pragma once

#include "analysis/polynomial.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace colour {

inline constexpr std::uint32_t ORBIT_BLACK = 0xFF000000u;
inline constexpr std::uint32_t ORBIT_CRITICAL = 0xFFFFFFFFu;  // white
inline constexpr std::uint32_t ORBIT_PICKED = 0xFFFF0000u;    // red

inline constexpr std::int64_t MAX_ORBIT_LOOP = 100000;
inline constexpr std::int64_t ORBIT_LOOP_FACTOR = 10;  // loop count = 10 x the picture's
inline constexpr int MIN_POINT_SIZE = 1;
inline constexpr int MAX_POINT_SIZE = 4;

// Dialog size: room for the picture below the controls, never smaller than
// the controls need.
inline constexpr int ORBIT_DIALOG_MIN_WIDTH = 640;
inline constexpr int ORBIT_DIALOG_MIN_HEIGHT = 370;
inline constexpr int ORBIT_DIALOG_EXTRA_WIDTH = 30;
inline constexpr int ORBIT_DIALOG_EXTRA_HEIGHT = 170;
inline constexpr int ORBIT_PICTURE_LEFT = 13;   // picture corner in the client area
inline constexpr int ORBIT_PICTURE_TOP = 139;

struct OrbitView {
    int width = 0;             // W, pixels
    int height = 0;            // H, pixels
    double magnification = 1;  // s
    double centreRe = 0;
    double centreIm = 0;
};

class OrbitPicture {
public:
    OrbitPicture() = default;
    OrbitPicture(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // Row-major, top row first; width() * height() words.
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }
    std::uint32_t pixel(int column, int row) const {
        return pixels_[static_cast<std::size_t>(row) * width_ + column];
    }
    bool isMarked(int column, int row) const { return (pixel(column, row) & 0x00FFFFFFu) != 0; }

    void clear();
    // Writes a cross at (column, row) unless that pixel is already marked:
    // the centre and, for k = 1 .. pointSize - 1, the pixels k above, left,
    // below and right of it that lie inside. Returns whether it drew.
    bool plot(int column, int row, int pointSize, std::uint32_t colour);

private:
    void put(int column, int row, std::uint32_t colour);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// The pixel a plane point falls on, or nothing when it lies outside.
struct PixelPosition {
    int column = 0;
    int row = 0;
};
std::optional<PixelPosition> planeToPixel(const OrbitView& view, double re, double im);

// The plane point under a picture position (column x, row y from the top).
struct OrbitPoint {
    double re = 0;
    double im = 0;
};
OrbitPoint pixelToPlane(const OrbitView& view, int x, int y);

// Follows the orbit of start for at most loopCount points, plotting each
// one that lands inside the picture. The orbit ends early when the map hits
// a pole, when |z|^2 > escapeRadiusSquared, or when z stops being finite.
// Returns the number of orbit points visited.
std::int64_t drawOrbit(OrbitPicture& picture, const OrbitView& view,
                       const analysis::RationalMap& map, OrbitPoint start, std::int64_t loopCount,
                       int pointSize, std::uint32_t colour, double escapeRadiusSquared);

// 1 / eps^2 for the convergence radius eps; infinity when eps is not > 0.
double orbitEscapeRadiusSquared(double convergenceRadius);

// The loop count the dialog opens with: ten times the picture's, capped at
// MAX_ORBIT_LOOP (the field then shows "MAX_LOOP").
struct InitialOrbitLoop {
    std::int64_t loopCount = 1;
    std::string fieldText;
};
InitialOrbitLoop initialOrbitLoop(int pictureLoopCount);

// The loop count field's rule: numbers are held to 1..MAX_ORBIT_LOOP.
// Returns nothing for a text that is no number (the count stays).
std::optional<std::int64_t> orbitLoopFromText(const std::string& text);

// Dialog size for a picture of width x height pixels.
struct DialogSize {
    int width = 0;
    int height = 0;
};
DialogSize orbitDialogSize(int pictureWidth, int pictureHeight);

// "%lf" of a magnification, as the magnification field shows it.
std::string formatMagnification(double magnification);

// The critical point list entry "実部 %.16G 虚部 %.16G".
std::string criticalPointEntry(double re, double im);
// The mouse readout "%.16G  %.16G".
std::string mousePositionText(OrbitPoint p);

}  // namespace colour
