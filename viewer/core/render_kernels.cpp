#include "viewer/core/render_kernels.h"

#include <climits>
#include <cstdint>

#include "viewer/core/curve_membership.h"
#include "viewer/core/render_lanes.h"

namespace render {

namespace {

constexpr int CODE_UNKNOWN = common::COMPONENT_UNKNOWN;
constexpr int MATCH_INVALID = -1;

// P(z) by Horner's scheme; the zero polynomial (degree -1) gives 0.
inline void horner(const Polynomial& p, double zr, double zi, double& outRe, double& outIm) {
    if (p.degree < 0) {
        outRe = 0.0;
        outIm = 0.0;
        return;
    }
    double ar = p.re[p.degree];
    double ai = p.im[p.degree];
    for (int k = p.degree - 1; k >= 0; --k) {
        const double tr = ar * zr - ai * zi + p.re[k];
        ai = ar * zi + ai * zr + p.im[k];
        ar = tr;
    }
    outRe = ar;
    outIm = ai;
}

// The cycle points of a table made of valid cycles only, hoisted into
// locals for the pixel loop.
struct FlatCycles {
    const double* re;
    const double* im;
    const int* code;
    std::size_t count;
    double rr;

    explicit FlatCycles(const RenderScene& s)
        : re(s.cycleRe.data()), im(s.cycleIm.data()), code(s.cycleCode.data()), count(s.cycleRe.size()),
          rr(s.rr) {}

    // The code of the first point within reach of z, 0 for none. Points are
    // in table order, so the first matching entry wins.
    int match(double zr, double zi) const {
        for (std::size_t i = 0; i < count; ++i) {
            const double dx = zr - re[i];
            const double dy = zi - im[i];
            if (dx * dx + dy * dy < rr) return code[i];
        }
        return 0;
    }
};

// The code of the first component entry holding z, 0 for none,
// MATCH_INVALID for an entry of invalid kind reached first.
int matchComponent(const RenderScene& s, double zr, double zi, const std::atomic<bool>& abort) {
    for (int k = 0; k < s.componentCount; ++k) {
        const SceneComponent& c = s.components[static_cast<std::size_t>(k)];
        switch (c.test) {
            case ComponentTest::Cycle:
                for (int i = c.first; i < c.first + c.count; ++i) {
                    const double dx = zr - s.cycleRe[static_cast<std::size_t>(i)];
                    const double dy = zi - s.cycleIm[static_cast<std::size_t>(i)];
                    if (dx * dx + dy * dy < s.rr) return k + 1;
                }
                break;
            case ComponentTest::SiegelDisk:
                for (int i = c.first; i < c.first + c.count; ++i)
                    if (pointInCurveImage(zr, zi, s.images[static_cast<std::size_t>(i)], &abort)) return k + 1;
                break;
            case ComponentTest::HermanRing:
                for (int i = 0; i < c.count; ++i) {
                    const std::size_t in = static_cast<std::size_t>(c.first + 2 * i);
                    if (pointInRing(zr, zi, s.images[in], s.images[in + 1], &abort)) return k + 1;
                }
                break;
            case ComponentTest::Invalid:
                return MATCH_INVALID;
        }
    }
    return 0;
}

template <bool CYCLES_ONLY>
inline int componentAt(const RenderScene& s, const FlatCycles& cycles, double zr, double zi,
                       const std::atomic<bool>& abort) {
    if constexpr (CYCLES_ONLY)
        return cycles.match(zr, zi);
    else
        return matchComponent(s, zr, zi, abort);
}

// The Julia orbit for P(z) = z^2 + a0 (form 1). Same operations, in the same
// order, as Horner's scheme on 1, 0, a0 apart from the products by 1 and 0:
// the values differ at most in the sign of a zero, which no comparison sees.
template <bool CYCLES_ONLY>
PixelResult juliaSquarePlusConstant(const RenderScene& s, double zr, double zi,
                                    colour::RenderStatistics& statistics, const std::atomic<bool>& abort) {
    const FlatCycles cycles(s);
    const double a0r = s.numerator.re[0];
    const double a0i = s.numerator.im[0];
    const double escape = s.escapeRadiusSquared;
    const int n = s.loopCount;
    double x2 = zr * zr;
    double y2 = zi * zi;
    for (int j = 0; j < n; ++j) {
        if (abort.load(std::memory_order_relaxed)) return {0, 0};
        if (x2 + y2 > escape) {
            statistics.record(0, j);
            return {j, 0};
        }
        const int code = componentAt<CYCLES_ONLY>(s, cycles, zr, zi, abort);
        if (code == MATCH_INVALID) return {INVALID_KIND_COUNT, CODE_UNKNOWN};
        if (code > 0) {
            statistics.record(code, j);
            return {j, code};
        }
        const double im = zr * zi + zi * zr + a0i;
        zr = x2 - y2 + a0r;
        zi = im;
        x2 = zr * zr;
        y2 = zi * zi;
    }
    ++statistics.unknownPixelCount;
    return {n > 0 ? n : 0, CODE_UNKNOWN};
}

template <bool CYCLES_ONLY>
PixelResult juliaGeneral(const RenderScene& s, double zr, double zi, colour::RenderStatistics& statistics,
                         const std::atomic<bool>& abort) {
    const FlatCycles cycles(s);
    const double escape = s.escapeRadiusSquared;
    const int n = s.loopCount;
    for (int j = 0; j < n; ++j) {
        if (abort.load(std::memory_order_relaxed)) return {0, 0};
        if (zr * zr + zi * zi > escape) {
            statistics.record(0, j);
            return {j, 0};
        }
        const int code = componentAt<CYCLES_ONLY>(s, cycles, zr, zi, abort);
        if (code == MATCH_INVALID) return {INVALID_KIND_COUNT, CODE_UNKNOWN};
        if (code > 0) {
            statistics.record(code, j);
            return {j, code};
        }
        if (s.form == common::FORM_POLYNOMIAL) {
            horner(s.numerator, zr, zi, zr, zi);
        } else if (s.form == common::FORM_RATIONAL) {
            double pr, pi, qr, qi;
            horner(s.numerator, zr, zi, pr, pi);
            horner(s.denominator, zr, zi, qr, qi);
            const double q2 = qr * qr + qi * qi;
            if (q2 == 0.0) {  // a pole: the orbit has reached infinity
                statistics.record(0, j);
                return {j, 0};
            }
            zr = (qr * pr + qi * pi) / q2;
            zi = (qr * pi - qi * pr) / q2;
        }
    }
    ++statistics.unknownPixelCount;
    return {n > 0 ? n : 0, CODE_UNKNOWN};
}

// Index j at which the critical orbit from (zr, zi) escapes under
// z -> z^2 + a0 + c, or -1. See juliaSquarePlusConstant for why this equals
// the general path; with a0 = 0 the addition of a0 is left out, which again
// changes at most the sign of a zero.
template <bool WITH_CONSTANT>
int escapeIndexSquare(double zr, double zi, double cr, double ci, double a0r, double a0i, int n, double escape) {
    double x2 = zr * zr;
    double y2 = zi * zi;
    for (int j = 0; j < n; ++j) {
        double re, im;
        if constexpr (WITH_CONSTANT) {
            im = (zr * zi + zi * zr + a0i) + ci;
            re = (x2 - y2 + a0r) + cr;
        } else {
            im = (zr * zi + zi * zr) + ci;
            re = (x2 - y2) + cr;
        }
        zr = re;
        zi = im;
        x2 = zr * zr;
        y2 = zi * zi;
        if (x2 + y2 > escape) return j;
    }
    return -1;
}

int escapeIndexGeneral(const RenderScene& s, double zr, double zi, double cr, double ci) {
    const int n = s.loopCount;
    const double escape = s.escapeRadiusSquared;
    const double pRe = s.pRe;
    const double pIm = s.pIm;
    for (int j = 0; j < n; ++j) {
        if (s.form == common::FORM_POLYNOMIAL) {
            double wr, wi;
            horner(s.numerator, zr, zi, wr, wi);
            zr = wr + cr;
            zi = wi + ci;
        } else if (s.form == common::FORM_RATIONAL) {
            double pr, pi, qr, qi;
            horner(s.numerator, zr, zi, pr, pi);
            horner(s.denominator, zr, zi, qr, qi);
            const double q2 = qr * qr + qi * qi;
            if (s.escapeAtInfinity) {
                if (q2 == 0.0) return j;  // w is infinite: escaped
                zr = (qr * pr + qi * pi) / q2 + cr;
                zi = (qr * pi - qi * pr) / q2 + ci;
            } else {
                // The family conjugated so that p plays infinity's role:
                // V = c + 1/(p - w), z = p - 1/V. An infinite w (q2 = 0)
                // makes 1/(p - w) vanish, so V = c.
                double vr = cr;
                double vi = ci;
                if (q2 != 0.0) {
                    const double ur = pRe - (qr * pr + qi * pi) / q2;
                    const double ui = pIm - (qr * pi - qi * pr) / q2;
                    const double u2 = ur * ur + ui * ui;
                    if (u2 == 0.0) return j;
                    vr = cr + ur / u2;
                    vi = ci - ui / u2;
                }
                const double v2 = vr * vr + vi * vi;
                if (v2 == 0.0) return j;
                zr = pRe - vr / v2;
                zi = pIm + vi / v2;
            }
        }
        if (s.escapeAtInfinity) {
            if (zr * zr + zi * zi > escape) return j;
        } else {
            const double dr = zr - pRe;
            const double di = zi - pIm;
            if (dr * dr + di * di < s.rr) return j;
        }
    }
    return -1;
}

}  // namespace

PixelResult juliaPixel(const RenderScene& scene, int x, int y, colour::RenderStatistics& statistics,
                       const std::atomic<bool>& abort) {
    const PlanePoint z = pixelToPlane(scene, x, y);
    if (scene.fastPath != FastPath::None) {
        if (scene.cyclesOnly) return juliaSquarePlusConstant<true>(scene, z.re, z.im, statistics, abort);
        return juliaSquarePlusConstant<false>(scene, z.re, z.im, statistics, abort);
    }
    if (scene.cyclesOnly) return juliaGeneral<true>(scene, z.re, z.im, statistics, abort);
    return juliaGeneral<false>(scene, z.re, z.im, statistics, abort);
}

int mandelbrotPixel(const RenderScene& scene, int x, int y, colour::RenderStatistics& statistics,
                    const std::atomic<bool>& abort) {
    const PlanePoint c = pixelToPlane(scene, x, y);
    std::int64_t sum = 0;
    for (int i = 0; i < scene.selectedCount; ++i) {
        if (abort.load(std::memory_order_relaxed)) {
            statistics.record(0, 0);
            return 0;
        }
        const double zr = scene.criticalRe[i];
        const double zi = scene.criticalIm[i];
        int j;
        switch (scene.fastPath) {
            case FastPath::Square:
                j = escapeIndexSquare<false>(zr, zi, c.re, c.im, 0.0, 0.0, scene.loopCount,
                                             scene.escapeRadiusSquared);
                break;
            case FastPath::SquarePlusConstant:
                j = escapeIndexSquare<true>(zr, zi, c.re, c.im, scene.numerator.re[0], scene.numerator.im[0],
                                            scene.loopCount, scene.escapeRadiusSquared);
                break;
            default:
                j = escapeIndexGeneral(scene, zr, zi, c.re, c.im);
                break;
        }
        if (j > 0) sum += j;
    }
    // 41 orbits of up to INT_MAX steps could pass the map's int range.
    const int count = sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
    statistics.record(0, count);
    return count;
}

int renderColumnScalar(const RenderScene& scene, int x, const int* ys, int count, PixelResult* out,
                       colour::RenderStatistics& statistics, const std::atomic<bool>& abort) {
    const bool julia = scene.type == PictureType::Julia;
    for (int i = 0; i < count; ++i) {
        if (abort.load(std::memory_order_relaxed)) return i;
        if (julia)
            out[i] = juliaPixel(scene, x, ys[i], statistics, abort);
        else
            out[i] = {mandelbrotPixel(scene, x, ys[i], statistics, abort), 0};
    }
    return count;
}

int renderColumn(const RenderScene& scene, int x, const int* ys, int count, PixelResult* out,
                 colour::RenderStatistics& statistics, const std::atomic<bool>& abort) {
    if (scene.lanes && lanesApply(scene)) return renderColumnLanes(scene, x, ys, count, out, statistics, abort);
    return renderColumnScalar(scene, x, ys, count, out, statistics, abort);
}

}  // namespace render
