// Compiled once per SIMD target by Highway's foreach_target; see render_lanes.h.
#include "viewer/core/render_lanes.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "viewer/core/render_lanes.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace render {
namespace HWY_NAMESPACE {
namespace {

namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;
using M = hn::Mask<D>;
using DI = hn::RebindToSigned<D>;
using VI = hn::Vec<DI>;

constexpr std::size_t MAX_LANES = HWY_MAX_BYTES / sizeof(double);
constexpr int NO_PIXEL = -1;

// P(z) lane by lane, as horner() in render_kernels.cpp.
HWY_INLINE void hornerLanes(D d, const Polynomial& p, V zr, V zi, V& outRe, V& outIm) {
    if (p.degree < 0) {
        outRe = hn::Zero(d);
        outIm = hn::Zero(d);
        return;
    }
    V ar = hn::Set(d, p.re[p.degree]);
    V ai = hn::Set(d, p.im[p.degree]);
    for (int k = p.degree - 1; k >= 0; --k) {
        const V tr = ar * zr - ai * zi + hn::Set(d, p.re[k]);
        ai = ar * zi + ai * zr + hn::Set(d, p.im[k]);
        ar = tr;
    }
    outRe = ar;
    outIm = ai;
}

// Lane state kept in memory while lanes retire and refill.
struct LaneArrays {
    alignas(64) double zr[MAX_LANES];
    alignas(64) double zi[MAX_LANES];
    alignas(64) double j[MAX_LANES];    // iterations so far (exact in a double)
    alignas(64) double live[MAX_LANES];  // 1: the lane holds a pixel
    alignas(64) double cr[MAX_LANES];    // Mandelbrot: the pixel's parameter
    alignas(64) double ci[MAX_LANES];
    int pixel[MAX_LANES];                // index into the column's pixels, or NO_PIXEL
    int critical[MAX_LANES];             // Mandelbrot: index of the orbit's critical point
    std::int64_t sum[MAX_LANES];         // Mandelbrot: escape indices so far
};

// Bit l set: lane l is in the mask.
HWY_INLINE unsigned maskBits(D d, M m) {
    std::uint8_t bits[8] = {};
    hn::StoreMaskBits(d, m, bits);
    return bits[0];
}

enum class JuliaStep { SquarePlusConstant, Polynomial, Rational };

// RANK[bits][l]: how many lanes below l are in the mask `bits`, so that the
// lanes of a mask take consecutive pixels in lane order.
constexpr int RANK_LANES = 8;
struct RankTable {
    std::int32_t rank[1 << RANK_LANES][RANK_LANES];
    constexpr RankTable() : rank() {
        for (int bits = 0; bits < (1 << RANK_LANES); ++bits) {
            int below = 0;
            for (int l = 0; l < RANK_LANES; ++l) {
                rank[bits][l] = below;
                if (bits & (1 << l)) ++below;
            }
        }
    }
};
constexpr RankTable RANKS{};

// The lanes of one group: lane l holds pixel idx[l] while `live`.
struct LaneGroup {
    VI idx;
    M live;
    V zr, zi, j;
    int idleSteps;  // since the first lane of the group finished
};

// Groups of lanes take turns, so that one group's step runs while the others
// wait for their results (a step is a chain of dependent operations).
constexpr int GROUPS = 3;
constexpr int MAX_IDLE_STEPS = 16;

template <JuliaStep STEP>
int juliaColumn(const RenderScene& s, int x, const int* ys, int count, PixelResult* out,
                colour::RenderStatistics& statistics, const std::atomic<bool>& abort) {
    static_assert(MAX_LANES <= RANK_LANES, "the rank table covers 8 lanes");
    if (count <= 0) return 0;
    const D d;
    const DI di;
    const hn::Rebind<std::int32_t, D> di32;
    const std::size_t lanes = hn::Lanes(d);
    const int n = s.loopCount;
    const V escape = hn::Set(d, s.escapeRadiusSquared);
    const V rr = hn::Set(d, s.rr);
    const V limit = hn::Set(d, static_cast<double>(n));
    const V one = hn::Set(d, 1.0);
    const V a0r = hn::Set(d, s.numerator.re[0]);
    const V a0i = hn::Set(d, s.numerator.im[0]);
    const std::size_t cycles = s.cycleRe.size();

    const V columnRe = hn::Set(d, pixelToPlane(s, x, 0).re);  // re depends on x only
    alignas(64) double columnIm[MAP_SIZE];
    // pixelToPlane's imaginary part, lanes at a time: the same integer sum,
    // conversion, quotient and sum.
    int filled = 0;
    {
        const hn::Rebind<std::int32_t, D> d32;
        const auto offset = hn::Set(d32, s.originY - s.halfHeight);
        const V scale = hn::Set(d, s.scale);
        const V centre = hn::Set(d, s.centreIm);
        for (; filled + static_cast<int>(lanes) <= count; filled += static_cast<int>(lanes)) {
            const V y = hn::PromoteTo(d, hn::Add(hn::LoadU(d32, ys + filled), offset));
            hn::Store(y / scale + centre, d, columnIm + filled);
        }
    }
    for (int i = filled; i < count; ++i) columnIm[i] = pixelToPlane(s, x, ys[i]).im;
    const VI countV = hn::Set(di, count);
    const VI lastPixel = hn::Set(di, count - 1);
    int next = 0;

    alignas(64) double jOut[MAX_LANES];
    alignas(64) double codeOut[MAX_LANES];
    alignas(64) std::int64_t idxOut[MAX_LANES];
    // Hands the lanes of `ended` (with counts `jv`, codes `code`) their
    // results and the column's next pixels, in lane order, without leaving
    // the registers.
    auto refill = [&](LaneGroup& g, M ended, unsigned bits) {
        const VI fresh = hn::Set(di, next) + hn::PromoteTo(di, hn::LoadU(di32, RANKS.rank[bits]));
        next += __builtin_popcount(bits);
        if (next > count) next = count;
        const M valid = hn::RebindMask(d, hn::Lt(fresh, countV));
        const M take = hn::And(ended, valid);
        g.live = hn::AndNot(hn::AndNot(valid, ended), g.live);
        g.zr = hn::IfThenElse(take, columnRe, g.zr);
        g.zi = hn::IfThenElse(take, hn::GatherIndex(d, columnIm, hn::Min(fresh, lastPixel)), g.zi);
        g.j = hn::IfThenZeroElse(ended, g.j);
        g.idx = hn::IfThenElse(hn::RebindMask(di, ended), fresh, g.idx);
    };
    auto retire = [&](LaneGroup& g, M ended, V jv, V code) {
        hn::Store(jv, d, jOut);
        hn::Store(code, d, codeOut);
        hn::Store(g.idx, di, idxOut);
        const unsigned bits = maskBits(d, ended);
        for (unsigned rest = bits; rest != 0; rest &= rest - 1) {
            const int l = __builtin_ctz(rest);
            const int jl = static_cast<int>(jOut[l]);
            const int c = static_cast<int>(codeOut[l]);
            if (c == common::COMPONENT_UNKNOWN) {
                ++statistics.unknownPixelCount;
                out[idxOut[l]] = {n, c};
            } else {
                statistics.record(c, jl);
                out[idxOut[l]] = {jl, c};
            }
        }
        refill(g, ended, bits);
    };

    LaneGroup groups[GROUPS];
    for (LaneGroup& g : groups) {
        g.idx = hn::Zero(di);
        g.live = hn::FirstN(d, lanes);
        g.zr = g.zi = g.j = hn::Zero(d);
        g.idleSteps = 0;
        refill(g, g.live, maskBits(d, g.live));
    }

    // One step of a group: the tests, then a retirement or an application
    // of the map.
    auto step = [&](LaneGroup& g) {
        if (hn::AllFalse(d, g.live)) return;
        V zr = g.zr, zi = g.zi, j = g.j;
        // The tests before an application of the map, in the scalar order:
        // the loop count, escape, then the cycle points.
        const V x2 = zr * zr;
        const V y2 = zi * zi;
        M done = hn::Or(hn::Ge(j, limit), hn::Gt(x2 + y2, escape));
        for (std::size_t i = 0; i < cycles; ++i) {
            const V dx = zr - hn::Set(d, s.cycleRe[i]);
            const V dy = zi - hn::Set(d, s.cycleIm[i]);
            done = hn::Or(done, hn::Lt(dx * dx + dy * dy, rr));
        }
        done = hn::And(done, g.live);
        // Finished lanes keep their z and j (they stay finished) and retire
        // together once every live lane is done: a cheap picture's pixels
        // take few steps, and a retirement per pixel would cost more than
        // the idle lanes (another group runs meanwhile). A long orbit does
        // not keep them idle for more than MAX_IDLE_STEPS.
        if (hn::AllTrue(d, hn::Or(done, hn::Not(g.live))) ||
            (!hn::AllFalse(d, done) && ++g.idleSteps >= MAX_IDLE_STEPS)) {
            g.idleSteps = 0;
            // The code of each finished lane, by the scalar order of the
            // tests: the loop count, escape, the first cycle point in reach.
            V code = hn::Set(d, static_cast<double>(common::COMPONENT_UNKNOWN));
            M open = hn::Lt(j, limit);
            const M escaped = hn::And(open, hn::Gt(x2 + y2, escape));
            code = hn::IfThenElse(escaped, hn::Zero(d), code);
            open = hn::AndNot(escaped, open);
            for (std::size_t i = 0; i < cycles; ++i) {
                const V dx = zr - hn::Set(d, s.cycleRe[i]);
                const V dy = zi - hn::Set(d, s.cycleIm[i]);
                const M in = hn::And(open, hn::Lt(dx * dx + dy * dy, rr));
                code = hn::IfThenElse(in, hn::Set(d, static_cast<double>(s.cycleCode[i])), code);
                open = hn::AndNot(in, open);
            }
            retire(g, done, j, code);
            return;
        }
        // One application of the map, in the lanes still running; finished
        // and empty lanes keep their values.
        M frozen = hn::Or(done, hn::Not(g.live));
        V nextRe, nextIm;
        if constexpr (STEP == JuliaStep::SquarePlusConstant) {
            nextIm = zr * zi + zi * zr + a0i;
            nextRe = x2 - y2 + a0r;
        } else if constexpr (STEP == JuliaStep::Polynomial) {
            hornerLanes(d, s.numerator, zr, zi, nextRe, nextIm);
        } else {
            V pr, pi, qr, qi;
            hornerLanes(d, s.numerator, zr, zi, pr, pi);
            hornerLanes(d, s.denominator, zr, zi, qr, qi);
            const V q2 = qr * qr + qi * qi;
            const M pole = hn::AndNot(frozen, hn::Eq(q2, hn::Zero(d)));
            nextRe = (qr * pr + qi * pi) / q2;
            nextIm = (qr * pi - qi * pr) / q2;
            if (!hn::AllFalse(d, pole)) {
                // A pole: the orbit has reached infinity at this j. The
                // lanes take new pixels, which start with the tests.
                retire(g, pole, j, hn::Zero(d));
                frozen = hn::Or(frozen, pole);
            }
        }
        g.zr = hn::IfThenElse(frozen, g.zr, nextRe);
        g.zi = hn::IfThenElse(frozen, g.zi, nextIm);
        g.j = g.j + hn::IfThenZeroElse(frozen, one);
    };

    for (;;) {
        if (abort.load(std::memory_order_relaxed)) {
            for (LaneGroup& g : groups) {
                hn::Store(g.idx, di, idxOut);
                const unsigned bits = maskBits(d, g.live);
                for (unsigned rest = bits; rest != 0; rest &= rest - 1) out[idxOut[__builtin_ctz(rest)]] = {0, 0};
            }
            return next;
        }
        bool anyLive = false;
        for (LaneGroup& g : groups) {
            step(g);
            anyLive = anyLive || !hn::AllFalse(d, g.live);
        }
        if (!anyLive) return count;
    }
}

enum class MandelbrotStep { Square, SquarePlusConstant, Polynomial, RationalToInfinity, RationalToFixedPoint };

template <MandelbrotStep STEP>
int mandelbrotColumn(const RenderScene& s, int x, const int* ys, int count, PixelResult* out,
                     colour::RenderStatistics& statistics, const std::atomic<bool>& abort) {
    if (count <= 0) return 0;
    const D d;
    const std::size_t lanes = hn::Lanes(d);
    const int n = s.loopCount;
    const V escape = hn::Set(d, s.escapeRadiusSquared);
    const V rr = hn::Set(d, s.rr);
    const V limit = hn::Set(d, static_cast<double>(n));
    const V one = hn::Set(d, 1.0);
    const V zero = hn::Zero(d);
    const V a0r = hn::Set(d, s.numerator.re[0]);
    const V a0i = hn::Set(d, s.numerator.im[0]);
    const V pRe = hn::Set(d, s.pRe);
    const V pIm = hn::Set(d, s.pIm);

    // A group's lanes in registers, and in memory (`a`) while lanes retire
    // and refill.
    struct Group {
        LaneArrays* a;
        V zr, zi, j, cr, ci;
        V x2, y2;  // zr^2 and zi^2, shared by the escape test and the next step
        M live;
        int untilLimit;  // steps before the first live lane can reach the loop count
    };
    // The lane arrays apart from the registers, and one local per group, so
    // that each group's values stay in registers across its inlined steps.
    LaneArrays arrays[3];
    Group g0, g1, g2;
    static_assert(GROUPS == 3, "one local per group");
    g0.a = &arrays[0];
    g1.a = &arrays[1];
    g2.a = &arrays[2];
    int next = 0;
    auto startOrbit = [&](LaneArrays& a, std::size_t l) {
        a.zr[l] = s.criticalRe[a.critical[l]];
        a.zi[l] = s.criticalIm[a.critical[l]];
        a.j[l] = 0.0;
    };
    auto refill = [&](LaneArrays& a, std::size_t l) {
        a.critical[l] = 0;
        a.sum[l] = 0;
        if (next < count) {
            const PlanePoint c = pixelToPlane(s, x, ys[next]);
            a.cr[l] = c.re;
            a.ci[l] = c.im;
            a.pixel[l] = next++;
            a.live[l] = 1.0;
            startOrbit(a, l);
        } else {
            a.cr[l] = a.ci[l] = a.zr[l] = a.zi[l] = a.j[l] = 0.0;
            a.pixel[l] = NO_PIXEL;
            a.live[l] = 0.0;
        }
    };
    auto reload = [&](Group& g) {
        g.zr = hn::Load(d, g.a->zr);
        g.zi = hn::Load(d, g.a->zi);
        g.j = hn::Load(d, g.a->j);
        g.cr = hn::Load(d, g.a->cr);
        g.ci = hn::Load(d, g.a->ci);
        g.live = hn::Gt(hn::Load(d, g.a->live), zero);
        g.x2 = g.zr * g.zr;
        g.y2 = g.zi * g.zi;
        g.untilLimit = INT_MAX;
        for (std::size_t l = 0; l < lanes; ++l)
            if (g.a->live[l] > 0.0) g.untilLimit = std::min(g.untilLimit, n - static_cast<int>(g.a->j[l]));
    };
    for (Group* g : {&g0, &g1, &g2}) {
        for (std::size_t l = 0; l < lanes; ++l) refill(*g->a, l);
        reload(*g);
    }

    // One step of every orbit of a group, then the retirement of the lanes
    // whose orbit ended.
    auto step = [&](Group& g) __attribute__((always_inline)) {
        if (hn::AllFalse(d, g.live)) return;
        V zr = g.zr, zi = g.zi;
        const V cr = g.cr, ci = g.ci;
        // `escaped`: the new z escaped (or a zero test of the family fired)
        // at index j.
        M escaped;
        if constexpr (STEP == MandelbrotStep::Square || STEP == MandelbrotStep::SquarePlusConstant) {
            const V x2 = g.x2, y2 = g.y2;
            V im, re;
            if constexpr (STEP == MandelbrotStep::SquarePlusConstant) {
                im = (zr * zi + zi * zr + a0i) + ci;
                re = (x2 - y2 + a0r) + cr;
            } else {
                im = (zr * zi + zi * zr) + ci;
                re = (x2 - y2) + cr;
            }
            zr = re;
            zi = im;
            g.x2 = zr * zr;
            g.y2 = zi * zi;
            escaped = hn::Gt(g.x2 + g.y2, escape);
        } else if constexpr (STEP == MandelbrotStep::Polynomial) {
            V wr, wi;
            hornerLanes(d, s.numerator, zr, zi, wr, wi);
            zr = wr + cr;
            zi = wi + ci;
            escaped = hn::Gt(zr * zr + zi * zi, escape);
        } else {
            V pr, pi, qr, qi;
            hornerLanes(d, s.numerator, zr, zi, pr, pi);
            hornerLanes(d, s.denominator, zr, zi, qr, qi);
            const V q2 = qr * qr + qi * qi;
            const M pole = hn::Eq(q2, zero);
            if constexpr (STEP == MandelbrotStep::RationalToInfinity) {
                zr = (qr * pr + qi * pi) / q2 + cr;
                zi = (qr * pi - qi * pr) / q2 + ci;
                escaped = hn::Or(pole, hn::Gt(zr * zr + zi * zi, escape));
            } else {
                // V = c + 1/(p - w), z = p - 1/V; an infinite w gives V = c.
                const V ur = pRe - (qr * pr + qi * pi) / q2;
                const V ui = pIm - (qr * pi - qi * pr) / q2;
                const V u2 = ur * ur + ui * ui;
                const M uZero = hn::AndNot(pole, hn::Eq(u2, zero));
                const V vr = hn::IfThenElse(pole, cr, cr + ur / u2);
                const V vi = hn::IfThenElse(pole, ci, ci - ui / u2);
                const V v2 = vr * vr + vi * vi;
                const M vZero = hn::Eq(v2, zero);
                zr = pRe - vr / v2;
                zi = pIm + vi / v2;
                const V dr = zr - pRe;
                const V di = zi - pIm;
                escaped = hn::Or(hn::Or(uZero, vZero), hn::Lt(dr * dr + di * di, rr));
            }
        }
        g.zr = zr;
        g.zi = zi;
        escaped = hn::And(escaped, g.live);
        g.j = g.j + one;
        // The loop count is only tested once a lane can have reached it.
        M ended = escaped;
        if (--g.untilLimit <= 0) ended = hn::Or(escaped, hn::And(g.live, hn::Ge(g.j, limit)));
        if (hn::AllFalse(d, ended)) return;

        LaneArrays& a = *g.a;
        hn::Store(g.zr, d, a.zr);
        hn::Store(g.zi, d, a.zi);
        hn::Store(g.j, d, a.j);
        const unsigned escapedBits = maskBits(d, escaped);
        const unsigned endedBits = maskBits(d, ended);
        for (std::size_t l = 0; l < lanes; ++l) {
            if (!(endedBits & (1u << l))) continue;
            if (escapedBits & (1u << l)) a.sum[l] += static_cast<std::int64_t>(a.j[l]) - 1;
            if (++a.critical[l] < s.selectedCount) {
                startOrbit(a, l);
                continue;
            }
            const int result = a.sum[l] > INT_MAX ? INT_MAX : static_cast<int>(a.sum[l]);
            statistics.record(0, result);
            out[a.pixel[l]] = {result, 0};
            refill(a, l);
        }
        reload(g);
    };

    for (;;) {
        if (abort.load(std::memory_order_relaxed)) {
            for (const LaneArrays& a : arrays)
                for (std::size_t l = 0; l < lanes; ++l) {
                    if (a.pixel[l] == NO_PIXEL) continue;
                    statistics.record(0, 0);
                    out[a.pixel[l]] = {0, 0};
                }
            return next;
        }
        step(g0);
        step(g1);
        step(g2);
        if (hn::AllFalse(d, hn::Or(g0.live, hn::Or(g1.live, g2.live)))) return count;
    }
}

}  // namespace

int ColumnLanes(const RenderScene& s, int x, const int* ys, int count, PixelResult* out,
                colour::RenderStatistics& statistics, const std::atomic<bool>& abort) {
    if (s.type == PictureType::Julia) {
        if (s.fastPath != FastPath::None)
            return juliaColumn<JuliaStep::SquarePlusConstant>(s, x, ys, count, out, statistics, abort);
        if (s.form == common::FORM_POLYNOMIAL)
            return juliaColumn<JuliaStep::Polynomial>(s, x, ys, count, out, statistics, abort);
        return juliaColumn<JuliaStep::Rational>(s, x, ys, count, out, statistics, abort);
    }
    switch (s.fastPath) {
        case FastPath::Square:
            return mandelbrotColumn<MandelbrotStep::Square>(s, x, ys, count, out, statistics, abort);
        case FastPath::SquarePlusConstant:
            return mandelbrotColumn<MandelbrotStep::SquarePlusConstant>(s, x, ys, count, out, statistics, abort);
        case FastPath::None:
            break;
    }
    if (s.form == common::FORM_POLYNOMIAL)
        return mandelbrotColumn<MandelbrotStep::Polynomial>(s, x, ys, count, out, statistics, abort);
    if (s.escapeAtInfinity)
        return mandelbrotColumn<MandelbrotStep::RationalToInfinity>(s, x, ys, count, out, statistics, abort);
    return mandelbrotColumn<MandelbrotStep::RationalToFixedPoint>(s, x, ys, count, out, statistics, abort);
}

}  // namespace HWY_NAMESPACE
}  // namespace render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace render {

HWY_EXPORT(ColumnLanes);

bool lanesApply(const RenderScene& scene) {
    if (scene.loopCount < 1) return false;
    if (scene.form != common::FORM_POLYNOMIAL && scene.form != common::FORM_RATIONAL) return false;
    if (scene.type == PictureType::Julia) return scene.cyclesOnly;
    return scene.selectedCount >= 1;
}

int renderColumnLanes(const RenderScene& scene, int x, const int* ys, int count, PixelResult* out,
                      colour::RenderStatistics& statistics, const std::atomic<bool>& abort) {
    return HWY_DYNAMIC_DISPATCH(ColumnLanes)(scene, x, ys, count, out, statistics, abort);
}

const char* laneTargetName() {
    const std::int64_t targets = hwy::SupportedTargets() & HWY_TARGETS;
    return hwy::TargetName(targets & -targets);  // the best: the lowest bit
}

}  // namespace render
#endif  // HWY_ONCE
