// The per-pixel kernels of the render: where a pixel lies in the plane, and
// what its orbit does.
//
// Julia pixel: the orbit of the pixel's point z under R. Before every
// application of R, j counting the applications so far:
//   |z|^2 > 1/r^2 (strictly)         -> escaped: (j, code 0)
//   the first component entry, in table order, that holds z
//                                    -> (j, entry + 1)
//   an entry of invalid kind         -> (INVALID_KIND_COUNT, 255), unrecorded
//   a pole (|Q(z)|^2 exactly 0)      -> escaped to infinity: (j, code 0)
// and after n applications without either: (n, 255), unknown.
//
// Mandelbrot pixel: the parameter c; each selected critical point is
// iterated under R_c (form 1: P(z) + c; form 2 towards infinity when
// deg P > deg Q, otherwise towards the fixed point p); the pixel's count is
// the sum of the indices j (0-based, the first iterate counts 0) at which
// the orbits escape; orbits that stay bounded for n steps add nothing.
//
// Maps are evaluated by Horner's scheme from the leading coefficient down,
// a = a * z + coef[k], with (a * z) = (ar zr - ai zi, ar zi + ai zr); a
// quotient P/Q is (conj(Q) P) / |Q|^2. Plain IEEE double throughout.
//
// Both kernels record their result in the statistics (except where noted)
// and poll `abort`: the Julia kernel at every iteration, the Mandelbrot
// kernel before every critical orbit. A stop gives (0, 0) at once; the
// Mandelbrot kernel then records 0 for code 0.
//
// Thread-safety: the scene is read-only; statistics are the caller's (one
// render thread). Nothing allocates.
#pragma once

#include <atomic>

#include "viewer/colour/colour_model.h"
#include "viewer/core/render_scene.h"

namespace render {

struct PlanePoint {
    double re = 0;
    double im = 0;
};

struct PixelResult {
    int count = 0;
    int code = 0;  // 0, 1..K, or 255
};

inline PlanePoint pixelToPlane(const RenderScene& s, int x, int y) {
    return {static_cast<double>(x + s.originX - s.halfWidth) / s.scale + s.centreRe,
            static_cast<double>(y + s.originY - s.halfHeight) / s.scale + s.centreIm};
}

PixelResult juliaPixel(const RenderScene& scene, int x, int y, colour::RenderStatistics& statistics,
                       const std::atomic<bool>& abort);

int mandelbrotPixel(const RenderScene& scene, int x, int y, colour::RenderStatistics& statistics,
                    const std::atomic<bool>& abort);

// The pixels (x, ys[0]), (x, ys[1]), ... (count of them) of one column into
// out[i]; a Mandelbrot pixel's code is 0. Returns how many pixels were
// started: count, or fewer after a stop (every started pixel has its result;
// one that saw the stop is (0, 0)). With scene.lanes several pixels are
// iterated at once where a lane kernel exists (render_lanes.h), with the
// very same results and statistics as juliaPixel / mandelbrotPixel.
int renderColumn(const RenderScene& scene, int x, const int* ys, int count, PixelResult* out,
                 colour::RenderStatistics& statistics, const std::atomic<bool>& abort);

// The same, one pixel at a time through juliaPixel / mandelbrotPixel.
int renderColumnScalar(const RenderScene& scene, int x, const int* ys, int count, PixelResult* out,
                       colour::RenderStatistics& statistics, const std::atomic<bool>& abort);

}  // namespace render
