#include "viewer/colour/orbit_plot.h"

#include "common/number_text.h"
#include "common/ui_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace colour {

OrbitPicture::OrbitPicture(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * height_, ORBIT_BLACK) {}

void OrbitPicture::clear() { std::fill(pixels_.begin(), pixels_.end(), ORBIT_BLACK); }

void OrbitPicture::put(int column, int row, std::uint32_t colour) {
    if (column < 0 || column >= width_ || row < 0 || row >= height_) return;
    pixels_[static_cast<std::size_t>(row) * width_ + column] = colour;
}

bool OrbitPicture::plot(int column, int row, int pointSize, std::uint32_t colour) {
    if (column < 0 || column >= width_ || row < 0 || row >= height_) return false;
    if (isMarked(column, row)) return false;
    put(column, row, colour);
    for (int k = 1; k < pointSize; ++k) {
        put(column, row - k, colour);
        put(column - k, row, colour);
        put(column, row + k, colour);
        put(column + k, row, colour);
    }
    return true;
}

std::optional<PixelPosition> planeToPixel(const OrbitView& view, double re, double im) {
    const double scale = static_cast<double>(view.width) * view.magnification;
    const double column = scale * (re - view.centreRe) + (view.width / 2);
    const double row = scale * (view.centreIm - im) + (view.height / 2);
    // Truncation towards zero keeps values in (-1, 0) on pixel 0; NaN fails both tests.
    if (!(column > -1.0 && column < view.width)) return std::nullopt;
    if (!(row > -1.0 && row < view.height)) return std::nullopt;
    return PixelPosition{static_cast<int>(column), static_cast<int>(row)};
}

OrbitPoint pixelToPlane(const OrbitView& view, int x, int y) {
    const double scale = static_cast<double>(view.width) * view.magnification;
    return {(x - view.width / 2) / scale + view.centreRe,
            (view.height / 2 - y) / scale + view.centreIm};
}

std::int64_t drawOrbit(OrbitPicture& picture, const OrbitView& view,
                       const analysis::RationalMap& map, OrbitPoint start, std::int64_t loopCount,
                       int pointSize, std::uint32_t colour, double escapeRadiusSquared) {
    analysis::ComplexValue z{start.re, start.im};
    std::int64_t visited = 0;
    for (std::int64_t j = 0; j < loopCount; ++j) {
        ++visited;
        if (const auto pixel = planeToPixel(view, z.re, z.im))
            picture.plot(pixel->column, pixel->row, pointSize, colour);
        const analysis::RationalValue next = analysis::evaluateRational(map, z);
        if (next.pole) break;
        z = next.value;
        const double modulusSquared = z.re * z.re + z.im * z.im;
        if (!std::isfinite(modulusSquared)) break;  // never comes back into the picture
        if (modulusSquared > escapeRadiusSquared) break;
    }
    return visited;
}

double orbitEscapeRadiusSquared(double convergenceRadius) {
    if (!(convergenceRadius > 0)) return std::numeric_limits<double>::infinity();
    return 1.0 / (convergenceRadius * convergenceRadius);
}

InitialOrbitLoop initialOrbitLoop(int pictureLoopCount) {
    const std::int64_t wanted = ORBIT_LOOP_FACTOR * static_cast<std::int64_t>(pictureLoopCount);
    if (wanted > MAX_ORBIT_LOOP) return {MAX_ORBIT_LOOP, "MAX_LOOP"};
    const std::int64_t count = std::max<std::int64_t>(wanted, 1);
    return {count, std::to_string(count)};
}

std::optional<std::int64_t> orbitLoopFromText(const std::string& text) {
    const auto value = common::parseIntSaturating(text);
    if (!value) return std::nullopt;
    return std::clamp<long long>(*value, 1, MAX_ORBIT_LOOP);
}

DialogSize orbitDialogSize(int pictureWidth, int pictureHeight) {
    return {std::max(ORBIT_DIALOG_MIN_WIDTH, pictureWidth + ORBIT_DIALOG_EXTRA_WIDTH),
            std::max(ORBIT_DIALOG_MIN_HEIGHT, pictureHeight + ORBIT_DIALOG_EXTRA_HEIGHT)};
}

std::string formatMagnification(double magnification) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnification,
                                      std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return {};
    return std::string(buffer, result.ptr);
}

std::string criticalPointEntry(double re, double im) {
    return common::translate("Texts", "実部 ") + common::formatG16(re) + common::translate("Texts", " 虚部 ") +
           common::formatG16(im);
}

std::string mousePositionText(OrbitPoint p) {
    return common::formatG16(p.re) + "  " + common::formatG16(p.im);
}

}  // namespace colour
