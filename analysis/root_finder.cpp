#include "analysis/root_finder.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <immintrin.h>
#include <system_error>
#include <thread>
#include <vector>

// The sweep kernels work on vectors of four doubles (target_clones picks
// AVX2 where present) or, where the machine has AVX-512, of eight. Below
// FUSED_MIN_DEGREE both give the same Horner bits; from there on, where the
// sweeps' time lies, the eight-lane Horner steps use fused multiply-adds (a
// fifth less time per call at degree 990, one rounding instead of two). The
// row sums of the pair terms are added in another order on eight lanes. So
// the two agree to rounding, not always bit for bit.

namespace analysis {

namespace {

constexpr double FOUR_PI = 12.566370614359172;
constexpr double PAD_VALUE = 0.5;  // padding lanes: any finite point

constexpr int LANES = 4;
constexpr int HORNER_VECTORS = 4;                 // independent Horner chains per block
constexpr int BLOCK = LANES * HORNER_VECTORS;     // roots handled together

typedef double V __attribute__((vector_size(LANES * sizeof(double))));
typedef long long VI __attribute__((vector_size(LANES * sizeof(long long))));

// Vector helpers are macros, not functions: a function taking or returning
// a 32-byte vector outside the AVX clones would change the calling
// convention (clang refuses it), and only the clones below touch vectors.
#define HV_LOAD(p) (__extension__({ V v_; std::memcpy(&v_, (p), sizeof v_); v_; }))
#define HV_STORE(p, v) do { const V s_ = (v); std::memcpy((p), &s_, sizeof s_); } while (0)
#define HV_SPLAT(x) (__extension__({ const double x_ = (x); V{x_, x_, x_, x_}; }))

// Polynomials of lower degree (critical and fixed points, the first
// periods) get the same roots on every machine.
constexpr int FUSED_MIN_DEGREE = 128;

struct Coefficients {
    int n = 0;
    bool fused = false;                           // n >= FUSED_MIN_DEGREE
    const double *aRe = nullptr, *aIm = nullptr;  // P, index = power
    std::vector<double> dRe, dIm;                 // P', index = power
};

// True in every lane whose value is finite.
#define HV_FINITE_LANES(v) (((v) - (v)) == 0.0)

// P and P' at the BLOCK points (x, y), Horner as in evaluatePolynomial, P'
// from its own coefficients. Non-finite values never turn finite again in
// the recurrence, so the loop stops early once no lane is finite.
__attribute__((target_clones("avx2", "default")))
void hornerBlock(const Coefficients& c, const double* x, const double* y, double* pRe, double* pIm,
                 double* dpRe, double* dpIm) {
    const int n = c.n;
    V zr[HORNER_VECTORS], zi[HORNER_VECTORS], pr[HORNER_VECTORS], pi[HORNER_VECTORS],
        dr[HORNER_VECTORS], di[HORNER_VECTORS];
    for (int u = 0; u < HORNER_VECTORS; ++u) {
        zr[u] = HV_LOAD(x + u * LANES);
        zi[u] = HV_LOAD(y + u * LANES);
        pr[u] = HV_SPLAT(c.aRe[n]);
        pi[u] = HV_SPLAT(c.aIm[n]);
        dr[u] = HV_SPLAT(c.dRe[n - 1]);
        di[u] = HV_SPLAT(c.dIm[n - 1]);
    }
    bool live = true;
    for (int k = n - 1; k >= 1 && live; --k) {
        const V ar = HV_SPLAT(c.aRe[k]), ai = HV_SPLAT(c.aIm[k]);
        const V er = HV_SPLAT(c.dRe[k - 1]), ei = HV_SPLAT(c.dIm[k - 1]);
        for (int u = 0; u < HORNER_VECTORS; ++u) {
            const V npr = pr[u] * zr[u] - pi[u] * zi[u] + ar;
            const V npi = pr[u] * zi[u] + pi[u] * zr[u] + ai;
            const V ndr = dr[u] * zr[u] - di[u] * zi[u] + er;
            const V ndi = dr[u] * zi[u] + di[u] * zr[u] + ei;
            pr[u] = npr;
            pi[u] = npi;
            dr[u] = ndr;
            di[u] = ndi;
        }
        if ((k & 31) == 0) {
            VI any = VI{0, 0, 0, 0};
            for (int u = 0; u < HORNER_VECTORS; ++u)
                any |= HV_FINITE_LANES(pr[u]) & HV_FINITE_LANES(pi[u]) & HV_FINITE_LANES(dr[u]) & HV_FINITE_LANES(di[u]);
            live = (any[0] | any[1] | any[2] | any[3]) != 0;
        }
    }
    const V ar = HV_SPLAT(c.aRe[0]), ai = HV_SPLAT(c.aIm[0]);
    for (int u = 0; u < HORNER_VECTORS; ++u) {
        const V npr = pr[u] * zr[u] - pi[u] * zi[u] + ar;
        const V npi = pr[u] * zi[u] + pi[u] * zr[u] + ai;
        HV_STORE(pRe + u * LANES, live ? npr : pr[u]);
        HV_STORE(pIm + u * LANES, live ? npi : pi[u]);
        HV_STORE(dpRe + u * LANES, dr[u]);
        HV_STORE(dpIm + u * LANES, di[u]);
    }
}

// The same on eight-double vectors (AVX-512). FUSED steps take two fused
// multiply-adds per part: z*p + a as p_re*z_re + (a_re - p_im*z_im) and
// p_re*z_im + (a_im + p_im*z_re); the others round as hornerBlock does.
// Each root is a lane of its own.
constexpr int WIDE_LANES = 8;
constexpr int WIDE_VECTORS = BLOCK / WIDE_LANES;
typedef double W __attribute__((vector_size(WIDE_LANES * sizeof(double))));
typedef long long WI __attribute__((vector_size(WIDE_LANES * sizeof(long long))));
#define HW_LOAD(p) (__extension__({ W v_; std::memcpy(&v_, (p), sizeof v_); v_; }))
#define HW_STORE(p, v) do { const W s_ = (v); std::memcpy((p), &s_, sizeof s_); } while (0)
#define HW_SPLAT(x) (__extension__({ const double x_ = (x); W{x_, x_, x_, x_, x_, x_, x_, x_}; }))
// One complex Horner step p*z + a, parts apart; FUSED is the kernel's
// template argument.
#define HW_STEP_RE(pr, pi, zr, zi, ar) \
    (FUSED ? _mm512_fmadd_pd((pr), (zr), _mm512_fnmadd_pd((pi), (zi), (ar))) : (pr) * (zr) - (pi) * (zi) + (ar))
#define HW_STEP_IM(pr, pi, zr, zi, ai) \
    (FUSED ? _mm512_fmadd_pd((pr), (zi), _mm512_fmadd_pd((pi), (zr), (ai))) : (pr) * (zi) + (pi) * (zr) + (ai))

template <bool FUSED>
__attribute__((target("avx512f")))
void hornerBlockWide(const Coefficients& c, const double* x, const double* y, double* pRe, double* pIm,
                 double* dpRe, double* dpIm) {
    const int n = c.n;
    W zr[WIDE_VECTORS], zi[WIDE_VECTORS], pr[WIDE_VECTORS], pi[WIDE_VECTORS],
        dr[WIDE_VECTORS], di[WIDE_VECTORS];
    for (int u = 0; u < WIDE_VECTORS; ++u) {
        zr[u] = HW_LOAD(x + u * WIDE_LANES);
        zi[u] = HW_LOAD(y + u * WIDE_LANES);
        pr[u] = HW_SPLAT(c.aRe[n]);
        pi[u] = HW_SPLAT(c.aIm[n]);
        dr[u] = HW_SPLAT(c.dRe[n - 1]);
        di[u] = HW_SPLAT(c.dIm[n - 1]);
    }
    bool live = true;
    for (int k = n - 1; k >= 1 && live; --k) {
        const W ar = HW_SPLAT(c.aRe[k]), ai = HW_SPLAT(c.aIm[k]);
        const W er = HW_SPLAT(c.dRe[k - 1]), ei = HW_SPLAT(c.dIm[k - 1]);
        for (int u = 0; u < WIDE_VECTORS; ++u) {
            const W npr = HW_STEP_RE(pr[u], pi[u], zr[u], zi[u], ar);
            const W npi = HW_STEP_IM(pr[u], pi[u], zr[u], zi[u], ai);
            const W ndr = HW_STEP_RE(dr[u], di[u], zr[u], zi[u], er);
            const W ndi = HW_STEP_IM(dr[u], di[u], zr[u], zi[u], ei);
            pr[u] = npr;
            pi[u] = npi;
            dr[u] = ndr;
            di[u] = ndi;
        }
        if ((k & 31) == 0) {
            WI any = WI{};
            for (int u = 0; u < WIDE_VECTORS; ++u)
                any |= HV_FINITE_LANES(pr[u]) & HV_FINITE_LANES(pi[u]) & HV_FINITE_LANES(dr[u]) & HV_FINITE_LANES(di[u]);
            long long anyLane = 0;
            for (int l = 0; l < WIDE_LANES; ++l) anyLane |= any[l];
            live = anyLane != 0;
        }
    }
    const W ar = HW_SPLAT(c.aRe[0]), ai = HW_SPLAT(c.aIm[0]);
    for (int u = 0; u < WIDE_VECTORS; ++u) {
        const W npr = HW_STEP_RE(pr[u], pi[u], zr[u], zi[u], ar);
        const W npi = HW_STEP_IM(pr[u], pi[u], zr[u], zi[u], ai);
        HW_STORE(pRe + u * WIDE_LANES, live ? npr : pr[u]);
        HW_STORE(pIm + u * WIDE_LANES, live ? npi : pi[u]);
        HW_STORE(dpRe + u * WIDE_LANES, dr[u]);
        HW_STORE(dpIm + u * WIDE_LANES, di[u]);
    }
}


// Which of BLOCKS blocks (x, y finite) P alone overflows in every lane of:
// bit b for block b. hornerBlockWide then yields a non-finite value in each
// of their lanes too, as non-finite values never turn finite again. The
// value's chain alone is bound by the latency of its steps, so two blocks
// go together.
template <int BLOCKS, bool FUSED>
__attribute__((target("avx512f")))
unsigned valueOverflowBlocksWide(const Coefficients& c, const double* x, const double* y) {
    constexpr int VECTORS = BLOCKS * WIDE_VECTORS;
    constexpr unsigned ALL = (1u << BLOCKS) - 1;
    const int n = c.n;
    W zr[VECTORS], zi[VECTORS], pr[VECTORS], pi[VECTORS];
    for (int u = 0; u < VECTORS; ++u) {
        zr[u] = HW_LOAD(x + u * WIDE_LANES);
        zi[u] = HW_LOAD(y + u * WIDE_LANES);
        pr[u] = HW_SPLAT(c.aRe[n]);
        pi[u] = HW_SPLAT(c.aIm[n]);
    }
    unsigned dead = 0;
    for (int k = n - 1; k >= 0; --k) {
        const W ar = HW_SPLAT(c.aRe[k]), ai = HW_SPLAT(c.aIm[k]);
        for (int u = 0; u < VECTORS; ++u) {
            const W npr = HW_STEP_RE(pr[u], pi[u], zr[u], zi[u], ar);
            const W npi = HW_STEP_IM(pr[u], pi[u], zr[u], zi[u], ai);
            pr[u] = npr;
            pi[u] = npi;
        }
        if ((k & 31) == 0) {
            for (int b = 0; b < BLOCKS; ++b) {
                WI any = WI{};
                for (int u = b * WIDE_VECTORS; u < (b + 1) * WIDE_VECTORS; ++u)
                    any |= HV_FINITE_LANES(pr[u]) & HV_FINITE_LANES(pi[u]);
                long long anyLane = 0;
                for (int l = 0; l < WIDE_LANES; ++l) anyLane |= any[l];
                if (anyLane == 0) dead |= 1u << b;
            }
            if (dead == ALL) break;
        }
    }
    return dead;
}

unsigned valueOverflowBlocks(const Coefficients& c, bool two, const double* x, const double* y) {
    if (c.fused) return two ? valueOverflowBlocksWide<2, true>(c, x, y) : valueOverflowBlocksWide<1, true>(c, x, y);
    return two ? valueOverflowBlocksWide<2, false>(c, x, y) : valueOverflowBlocksWide<1, false>(c, x, y);
}

// AVX-512 present, and not turned off by ROOT_LANES_VARIABLE=4 (which lets
// tests run the four-lane kernels on such machines too).
bool wideVectors() {
    static const bool available = [] {
        const char* lanes = std::getenv(ROOT_LANES_VARIABLE);
        if (lanes != nullptr && std::strcmp(lanes, "4") == 0) return false;
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0;
    }();
    return available;
}

void evaluateBlock(const Coefficients& c, const double* x, const double* y, double* pRe, double* pIm,
                   double* dpRe, double* dpIm) {
    if (wideVectors() && c.fused)
        hornerBlockWide<true>(c, x, y, pRe, pIm, dpRe, dpIm);
    else if (wideVectors())
        hornerBlockWide<false>(c, x, y, pRe, pIm, dpRe, dpIm);
    else
        hornerBlock(c, x, y, pRe, pIm, dpRe, dpIm);
}

// q(w) = w^n P(1/w) = sum_k a_k w^(n-k) and q'(w) at the BLOCK points w,
// Horner from a_0 down, q' alongside.
__attribute__((target_clones("avx2", "default")))
void reversedHornerBlock(const Coefficients& c, const double* wRe, const double* wIm, double* qRe,
                         double* qIm, double* dqRe, double* dqIm) {
    const int n = c.n;
    V wr[HORNER_VECTORS], wi[HORNER_VECTORS], qr[HORNER_VECTORS], qi[HORNER_VECTORS],
        dr[HORNER_VECTORS], di[HORNER_VECTORS];
    for (int u = 0; u < HORNER_VECTORS; ++u) {
        wr[u] = HV_LOAD(wRe + u * LANES);
        wi[u] = HV_LOAD(wIm + u * LANES);
        qr[u] = HV_SPLAT(c.aRe[0]);
        qi[u] = HV_SPLAT(c.aIm[0]);
        dr[u] = HV_SPLAT(0.0);
        di[u] = HV_SPLAT(0.0);
    }
    for (int t = 1; t <= n; ++t) {
        const V ar = HV_SPLAT(c.aRe[t]), ai = HV_SPLAT(c.aIm[t]);
        for (int u = 0; u < HORNER_VECTORS; ++u) {
            const V ndr = dr[u] * wr[u] - di[u] * wi[u] + qr[u];
            const V ndi = dr[u] * wi[u] + di[u] * wr[u] + qi[u];
            const V nqr = qr[u] * wr[u] - qi[u] * wi[u] + ar;
            const V nqi = qr[u] * wi[u] + qi[u] * wr[u] + ai;
            dr[u] = ndr;
            di[u] = ndi;
            qr[u] = nqr;
            qi[u] = nqi;
        }
    }
    for (int u = 0; u < HORNER_VECTORS; ++u) {
        HV_STORE(qRe + u * LANES, qr[u]);
        HV_STORE(qIm + u * LANES, qi[u]);
        HV_STORE(dqRe + u * LANES, dr[u]);
        HV_STORE(dqIm + u * LANES, di[u]);
    }
}

// reversedHornerBlock on eight-double vectors (AVX-512), steps as in
// hornerBlockWide.
template <bool FUSED>
__attribute__((target("avx512f")))
void reversedHornerBlockWide(const Coefficients& c, const double* wRe, const double* wIm, double* qRe,
                         double* qIm, double* dqRe, double* dqIm) {
    const int n = c.n;
    W wr[WIDE_VECTORS], wi[WIDE_VECTORS], qr[WIDE_VECTORS], qi[WIDE_VECTORS],
        dr[WIDE_VECTORS], di[WIDE_VECTORS];
    for (int u = 0; u < WIDE_VECTORS; ++u) {
        wr[u] = HW_LOAD(wRe + u * WIDE_LANES);
        wi[u] = HW_LOAD(wIm + u * WIDE_LANES);
        qr[u] = HW_SPLAT(c.aRe[0]);
        qi[u] = HW_SPLAT(c.aIm[0]);
        dr[u] = HW_SPLAT(0.0);
        di[u] = HW_SPLAT(0.0);
    }
    for (int t = 1; t <= n; ++t) {
        const W ar = HW_SPLAT(c.aRe[t]), ai = HW_SPLAT(c.aIm[t]);
        for (int u = 0; u < WIDE_VECTORS; ++u) {
            const W ndr = HW_STEP_RE(dr[u], di[u], wr[u], wi[u], qr[u]);
            const W ndi = HW_STEP_IM(dr[u], di[u], wr[u], wi[u], qi[u]);
            const W nqr = HW_STEP_RE(qr[u], qi[u], wr[u], wi[u], ar);
            const W nqi = HW_STEP_IM(qr[u], qi[u], wr[u], wi[u], ai);
            dr[u] = ndr;
            di[u] = ndi;
            qr[u] = nqr;
            qi[u] = nqi;
        }
    }
    for (int u = 0; u < WIDE_VECTORS; ++u) {
        HW_STORE(qRe + u * WIDE_LANES, qr[u]);
        HW_STORE(qIm + u * WIDE_LANES, qi[u]);
        HW_STORE(dqRe + u * WIDE_LANES, dr[u]);
        HW_STORE(dqIm + u * WIDE_LANES, di[u]);
    }
}


void evaluateReversedBlock(const Coefficients& c, const double* wRe, const double* wIm, double* qRe, double* qIm,
                           double* dqRe, double* dqIm) {
    if (wideVectors() && c.fused)
        reversedHornerBlockWide<true>(c, wRe, wIm, qRe, qIm, dqRe, dqIm);
    else if (wideVectors())
        reversedHornerBlockWide<false>(c, wRe, wIm, qRe, qIm, dqRe, dqIm);
    else
        reversedHornerBlock(c, wRe, wIm, qRe, qIm, dqRe, dqIm);
}

// Pair terms of one row j: for every k in (j, n), t = 1/(z_j - z_k) =
// (dx, -dy) * (1/w), w = dx^2 + dy^2, is added to the row sum p[j] and
// subtracted from the column sum p[k] (1/(z_k - z_j) = -t); each pair is
// computed once. A pair with w == 0 or w not a number makes both sums
// non-finite, which the caller tests.
// Division throughput bounds this loop, so when `shared` is set two groups
// of columns share one division: 1/w_a = w_b / (w_a w_b). The caller sets it
// only when every |x|, |y| < ROW_SHARED_LIMIT, so w_a w_b cannot overflow;
// where it falls below the normal range the division yields NaN on purpose
// (the caller then sums that row exactly).
constexpr double ROW_SHARED_LIMIT = 1e76;

__attribute__((target_clones("avx2", "default")))
void pairRow(int n, int j, const double* x, const double* y, double* pRe, double* pIm, bool shared) {
    const V xj = HV_SPLAT(x[j]), yj = HV_SPLAT(y[j]);
    const V zero = HV_SPLAT(0.0), notANumber = HV_SPLAT(std::nan(""));
    V accR = zero, accI = zero;
    int k = j + 1;
    if (shared) {
        for (; k + 2 * LANES <= n; k += 2 * LANES) {
            const V dar = xj - HV_LOAD(x + k), dai = yj - HV_LOAD(y + k);
            const V dbr = xj - HV_LOAD(x + k + LANES), dbi = yj - HV_LOAD(y + k + LANES);
            const V wa = dar * dar + dai * dai, wb = dbr * dbr + dbi * dbi;
            const V product = wa * wb;
            const V inv = product >= DBL_MIN ? 1.0 / product : notANumber;
            const V ia = wb * inv, ib = wa * inv;
            const V tar = dar * ia, tai = dai * ia, tbr = dbr * ib, tbi = dbi * ib;
            accR += tar;
            accI -= tai;
            accR += tbr;
            accI -= tbi;
            HV_STORE(pRe + k, HV_LOAD(pRe + k) - tar);
            HV_STORE(pIm + k, HV_LOAD(pIm + k) + tai);
            HV_STORE(pRe + k + LANES, HV_LOAD(pRe + k + LANES) - tbr);
            HV_STORE(pIm + k + LANES, HV_LOAD(pIm + k + LANES) + tbi);
        }
    }
    for (; k < n; k += LANES) {
        const V dr = xj - HV_LOAD(x + k), di = yj - HV_LOAD(y + k);
        const V inv = 1.0 / (dr * dr + di * di);
        V tr = dr * inv, ti = di * inv;
        if (k + LANES > n) {  // lanes beyond the last root
            VI lane;
            for (int l = 0; l < LANES; ++l) lane[l] = k + l;
            const VI valid = lane < (long long)n;
            tr = valid ? tr : zero;
            ti = valid ? ti : zero;
        }
        accR += tr;
        accI -= ti;
        HV_STORE(pRe + k, HV_LOAD(pRe + k) - tr);
        HV_STORE(pIm + k, HV_LOAD(pIm + k) + ti);
    }
    pRe[j] += (accR[0] + accR[1]) + (accR[2] + accR[3]);
    pIm[j] += (accI[0] + accI[1]) + (accI[2] + accI[3]);
}

// pairRow on eight-double vectors (AVX-512), sixteen columns sharing one
// division. The row sums are added in another order than pairRow's, so they
// differ from its sums in the last bits.
__attribute__((target("avx512f")))
void pairRowWide(int n, int j, const double* x, const double* y, double* pRe, double* pIm, bool shared) {
    const W xj = HW_SPLAT(x[j]), yj = HW_SPLAT(y[j]);
    const W zero = HW_SPLAT(0.0), notANumber = HW_SPLAT(std::nan(""));
    W accR = zero, accI = zero;
    int k = j + 1;
    if (shared) {
        for (; k + 2 * WIDE_LANES <= n; k += 2 * WIDE_LANES) {
            const W dar = xj - HW_LOAD(x + k), dai = yj - HW_LOAD(y + k);
            const W dbr = xj - HW_LOAD(x + k + WIDE_LANES), dbi = yj - HW_LOAD(y + k + WIDE_LANES);
            const W wa = dar * dar + dai * dai, wb = dbr * dbr + dbi * dbi;
            const W product = wa * wb;
            const W inv = product >= DBL_MIN ? 1.0 / product : notANumber;
            const W ia = wb * inv, ib = wa * inv;
            const W tar = dar * ia, tai = dai * ia, tbr = dbr * ib, tbi = dbi * ib;
            accR += tar;
            accI -= tai;
            accR += tbr;
            accI -= tbi;
            HW_STORE(pRe + k, HW_LOAD(pRe + k) - tar);
            HW_STORE(pIm + k, HW_LOAD(pIm + k) + tai);
            HW_STORE(pRe + k + WIDE_LANES, HW_LOAD(pRe + k + WIDE_LANES) - tbr);
            HW_STORE(pIm + k + WIDE_LANES, HW_LOAD(pIm + k + WIDE_LANES) + tbi);
        }
    }
    for (; k < n; k += WIDE_LANES) {
        const W dr = xj - HW_LOAD(x + k), di = yj - HW_LOAD(y + k);
        const W inv = 1.0 / (dr * dr + di * di);
        W tr = dr * inv, ti = di * inv;
        if (k + WIDE_LANES > n) {  // lanes beyond the last root
            WI lane;
            for (int l = 0; l < WIDE_LANES; ++l) lane[l] = k + l;
            const WI valid = lane < (long long)n;
            tr = valid ? tr : zero;
            ti = valid ? ti : zero;
        }
        accR += tr;
        accI -= ti;
        HW_STORE(pRe + k, HW_LOAD(pRe + k) - tr);
        HW_STORE(pIm + k, HW_LOAD(pIm + k) + ti);
    }
    pRe[j] += ((accR[0] + accR[1]) + (accR[2] + accR[3])) + ((accR[4] + accR[5]) + (accR[6] + accR[7]));
    pIm[j] += ((accI[0] + accI[1]) + (accI[2] + accI[3])) + ((accI[4] + accI[5]) + (accI[6] + accI[7]));
}

void pairTerms(int n, int j, const double* x, const double* y, double* pRe, double* pIm, bool shared) {
    if (wideVectors())
        pairRowWide(n, j, x, y, pRe, pIm, shared);
    else
        pairRow(n, j, x, y, pRe, pIm, shared);
}

// a / b as (a conj b) / |b|^2. Where |b|^2 or the result leaves the normal
// range although a and b are finite and b != 0 (far-away points: |b|^2
// overflows and the quotient collapses to 0 or NaN), or where the products
// a conj b fall below it (tiny P and P' near a cluster of tiny roots, where
// the Newton step would lose its digits and the approximations stall), the
// quotient is taken again with b scaled to modulus ~1. Elsewhere the plain
// result stands.
constexpr double PRODUCT_FLOOR = DBL_MIN / DBL_EPSILON;  // below, the smaller products lose digits

void divide(double ar, double ai, double br, double bi, double& qr, double& qi) {
    double m = br * br + bi * bi;
    qr = (ar * br + ai * bi) / m;
    qi = (ai * br - ar * bi) / m;
    const double product = std::fmax(std::fabs(ar), std::fabs(ai)) * std::fmax(std::fabs(br), std::fabs(bi));
    if (m >= DBL_MIN && m <= DBL_MAX && std::isfinite(qr) && std::isfinite(qi) &&
        (product >= PRODUCT_FLOOR || (ar == 0.0 && ai == 0.0)))
        return;
    if (!(std::isfinite(ar) && std::isfinite(ai) && std::isfinite(br) && std::isfinite(bi))) return;
    const double s = std::fmax(std::fabs(br), std::fabs(bi));
    if (s == 0.0) return;
    ar /= s;
    ai /= s;
    br /= s;
    bi /= s;
    m = br * br + bi * bi;
    qr = (ar * br + ai * bi) / m;
    qi = (ai * br - ar * bi) / m;
}

bool allFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Same bits: an approximation that did not move in the last sweep (the
// correction fell below half an ulp) keeps the Newton ratio computed for it,
// which depends on nothing else; a NaN never counts as unmoved.
bool unmoved(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 && a == a; }

// Once most approximations stop moving (their corrections fall below half
// an ulp), the pair terms among them no longer change. Those approximations
// are frozen: the row sums over frozen pairs are kept, and each sweep adds
// only the terms of pairs with a loose (not frozen) member. The set is
// rebuilt when a frozen approximation moves again or when at least half of
// the loose ones (and FREEZE_MIN_STILL) have stopped.
constexpr int FREEZE_MIN_STILL = 16;

// Meeting point of the two sweeping threads, twice per sweep. Each wait is
// short (the halves of a sweep take about the same time), so the threads
// spin, yielding the core between checks, rather than sleep: waking a
// sleeping thread costs more than a whole sweep at low degrees.
class SpinBarrier {
public:
    void arriveAndWait() {
        const unsigned phase = phase_.load(std::memory_order_relaxed);
        if (arrived_.fetch_add(1, std::memory_order_acq_rel) == 1) {
            arrived_.store(0, std::memory_order_relaxed);
            phase_.store(phase + 1, std::memory_order_release);
            return;
        }
        for (int spin = 0; phase_.load(std::memory_order_acquire) == phase; ++spin)
            if (spin >= SPINS_BEFORE_YIELD) std::this_thread::yield();
    }

private:
    static constexpr int SPINS_BEFORE_YIELD = 256;
    std::atomic<int> arrived_{0};
    std::atomic<unsigned> phase_{0};
};

// Per-thread scratch of one call. The frozen set, the order and the
// gathered points are computed identically by both threads.
struct ThreadScratch {
    std::vector<double> pRe, pIm;        // this thread's share of the loose pair sums, by position
    std::vector<double> keptRe, keptIm;  // its share of the frozen pair sums, by row
    std::vector<double> gx, gy;          // the points in the order below, padded
    std::vector<int> order;              // position -> row: loose rows first, then frozen
    std::vector<int> position;           // row -> position
    std::vector<char> frozen, still;     // by row
    int loose = 0;                       // rows at positions [0, loose) are loose
    std::vector<int> moving;             // rows whose approximation changed in the last sweep
    std::vector<int> reversed;           // rows whose ratio goes through 1/z this sweep
    bool overflowing = false;            // Horner overflowed in every lane of the last full block
};

// State of one call, shared by the (at most two) sweeping threads. Each
// thread updates the rows [lo, hi) of its RowRange and computes its half of
// the pair terms (see pairRowsOfThread).
struct SweepState {
    Coefficients coeff;
    int padded = 0;
    bool paired = false;
    std::vector<double> x[2], y[2];  // start-of-sweep values alternate between the two buffers
    std::vector<double> nRe, nIm;    // Newton ratios
    ThreadScratch scratch[2];
};

struct RowRange {
    int lo, hi;
};

// Pair rows at positions [first, first + count) come in couples (first + i,
// first + count - 1 - i), which together hold the same number of pairs for
// every i; thread t of `threads` takes its half of the couples.
void pairRowsOfThread(int n, int first, int count, int t, int threads, const ThreadScratch& s, bool shared,
                      double* pRe, double* pIm) {
    const int couples = (count + 1) / 2;
    const int lo = threads == 2 ? (t == 0 ? 0 : couples / 2) : 0;
    const int hi = threads == 2 && t == 0 ? couples / 2 : couples;
    for (int i = lo; i < hi; ++i) {
        pairTerms(n, first + i, s.gx.data(), s.gy.data(), pRe, pIm, shared);
        if (count - 1 - i != i) pairTerms(n, first + count - 1 - i, s.gx.data(), s.gy.data(), pRe, pIm, shared);
    }
}

// Decides the frozen set for this sweep (rebuilt where needed), gathers the
// points in loose-first order and computes this thread's pair terms:
// on a rebuild the frozen-frozen sums first, then those with a loose member.
void sweepPairs(SweepState& st, int t, int from, bool fresh) {
    const int n = st.coeff.n;
    const double* x = st.x[from].data();
    const double* y = st.y[from].data();
    const double* xLast = st.x[from ^ 1].data();
    const double* yLast = st.y[from ^ 1].data();
    ThreadScratch& own = st.scratch[t];
    double extent = 0.0;
    for (int k = 0; k < n; ++k) extent = std::fmax(extent, std::fmax(std::fabs(x[k]), std::fabs(y[k])));
    const bool shared = extent < ROW_SHARED_LIMIT;  // false also when a value is not a number

    bool rebuild = fresh;
    int stillLoose = 0;
    for (int j = 0; j < n; ++j) {
        const bool still = !fresh && unmoved(x[j], xLast[j]) && unmoved(y[j], yLast[j]);
        own.still[j] = still;
        if (own.frozen[j] && !still) rebuild = true;
        if (!own.frozen[j] && still) ++stillLoose;
    }
    if (stillLoose >= FREEZE_MIN_STILL && 2 * stillLoose >= own.loose) rebuild = true;
    if (rebuild) {
        int p = 0;
        for (int j = 0; j < n; ++j)
            if (!own.still[j]) own.order[p++] = j;
        own.loose = p;
        for (int j = 0; j < n; ++j)
            if (own.still[j]) own.order[p++] = j;
        for (int j = 0; j < n; ++j) own.frozen[j] = own.still[j];
        for (p = 0; p < n; ++p) own.position[own.order[p]] = p;
    }
    for (int p = 0; p < n; ++p) {
        own.gx[p] = x[own.order[p]];
        own.gy[p] = y[own.order[p]];
    }
    const int threads = st.paired ? 2 : 1;
    if (rebuild && own.loose < n) {
        std::fill(own.pRe.begin(), own.pRe.end(), 0.0);
        std::fill(own.pIm.begin(), own.pIm.end(), 0.0);
        pairRowsOfThread(n, own.loose, n - own.loose, t, threads, own, shared, own.pRe.data(), own.pIm.data());
        for (int p = own.loose; p < n; ++p) {
            own.keptRe[own.order[p]] = own.pRe[p];
            own.keptIm[own.order[p]] = own.pIm[p];
        }
    }
    std::fill(own.pRe.begin(), own.pRe.end(), 0.0);
    std::fill(own.pIm.begin(), own.pIm.end(), 0.0);
    pairRowsOfThread(n, 0, own.loose, t, threads, own, shared, own.pRe.data(), own.pIm.data());
}

// Exact pair test and row sum for row j, in the plain form 1/d = (dx/w, -dy/w).
// Returns false when a pair has w == 0 or w not a number.
bool exactRowSum(int n, int j, const double* x, const double* y, double& sr, double& si) {
    sr = si = 0.0;
    for (int k = 0; k < n; ++k) {
        if (k == j) continue;
        const double dx = x[j] - x[k], dy = y[j] - y[k];
        const double w = dx * dx + dy * dy;
        if (!(w > 0.0)) return false;
        sr += dx / w;
        si += -dy / w;
    }
    return true;
}

// First half of a sweep on thread t, from buffer `from`: this thread's pair
// terms, and the Newton ratios of its rows that moved in the last sweep
// (all of them in the first sweep, `fresh`); the others keep theirs.
void sweepPairsAndRatios(SweepState& st, int t, int from, const RowRange& r, bool fresh) {
    const int n = st.coeff.n;
    const double* x = st.x[from].data();
    const double* y = st.y[from].data();
    ThreadScratch& own = st.scratch[t];
    if (n >= 2) sweepPairs(st, t, from, fresh);

    alignas(64) double bRe[BLOCK], bIm[BLOCK], cRe[BLOCK], cIm[BLOCK];
    alignas(64) double gRe[BLOCK], gIm[BLOCK];
    double* nRe = st.nRe.data();
    double* nIm = st.nIm.data();
    const double* xLast = st.x[from ^ 1].data();
    const double* yLast = st.y[from ^ 1].data();
    std::vector<int>& moving = own.moving;
    moving.clear();
    const int last = r.hi < n ? r.hi : n;
    for (int j = r.lo; j < last; ++j)
        if (fresh || !unmoved(x[j], xLast[j]) || !unmoved(y[j], yLast[j])) moving.push_back(j);
    std::vector<int>& reversed = own.reversed;
    reversed.clear();
    const int movingCount = static_cast<int>(moving.size());
    bool& overflowing = own.overflowing;
    alignas(64) double tRe[2 * BLOCK], tIm[2 * BLOCK];
    bool tested = false;
    unsigned deadBlocks = 0;
    for (int m0 = 0; m0 < movingCount; m0 += BLOCK) {
        const int lanes = m0 + BLOCK < movingCount ? BLOCK : movingCount - m0;
        for (int l = 0; l < BLOCK; ++l) {
            gRe[l] = l < lanes ? x[moving[m0 + l]] : PAD_VALUE;
            gIm[l] = l < lanes ? y[moving[m0 + l]] : 0.0;
        }
        // After a block that overflowed everywhere (at high degrees, often
        // every block) the cheaper overflow test goes first, on this block
        // and the next; where it fails, the following blocks go straight to
        // Horner.
        const bool firstOfTwo = (m0 / BLOCK) % 2 == 0;
        if (firstOfTwo) {
            tested = false;
            deadBlocks = 0;
            if (overflowing && wideVectors()) {
                const bool two = m0 + BLOCK < movingCount;
                bool finitePoints = true;
                // padding repeats the first point, so it overflows with it
                for (int l = 0; l < 2 * BLOCK; ++l) {
                    const int j = moving[m0 + l < movingCount ? m0 + l : m0];
                    tRe[l] = x[j];
                    tIm[l] = y[j];
                    finitePoints = finitePoints && std::isfinite(tRe[l]) && std::isfinite(tIm[l]);
                }
                if (finitePoints) {
                    tested = true;
                    deadBlocks = valueOverflowBlocks(st.coeff, two, tRe, tIm);
                }
            }
        }
        if (deadBlocks & (firstOfTwo ? 1u : 2u)) {
            for (int l = 0; l < lanes; ++l) reversed.push_back(moving[m0 + l]);
            continue;
        }
        evaluateBlock(st.coeff, gRe, gIm, bRe, bIm, cRe, cIm);
        overflowing = !tested;
        for (int l = 0; l < BLOCK; ++l) overflowing = overflowing && !allFinite(bRe[l], bIm[l], cRe[l], cIm[l]);
        for (int l = 0; l < lanes; ++l) {
            const int j = moving[m0 + l];
            if (!allFinite(bRe[l], bIm[l], cRe[l], cIm[l]) && std::isfinite(x[j]) && std::isfinite(y[j]))
                reversed.push_back(j);
            else
                divide(bRe[l], bIm[l], cRe[l], cIm[l], nRe[j], nIm[j]);
        }
    }

    // Newton ratios through w = 1/z where Horner overflowed:
    // P/P' = q / (w (n q - w q')).
    alignas(64) double wRe[BLOCK], wIm[BLOCK];
    const int count = static_cast<int>(reversed.size());
    for (int r0 = 0; r0 < count; r0 += BLOCK) {
        for (int l = 0; l < BLOCK; ++l) {
            if (r0 + l >= count) {
                wRe[l] = PAD_VALUE;
                wIm[l] = 0.0;
                continue;
            }
            const int j = reversed[r0 + l];
            // w = 1/z, scaled so |z|^2 cannot overflow
            const double s = std::fmax(std::fabs(x[j]), std::fabs(y[j]));
            const double xs = x[j] / s, ys = y[j] / s, m = xs * xs + ys * ys;
            wRe[l] = xs / m / s;
            wIm[l] = -ys / m / s;
        }
        evaluateReversedBlock(st.coeff, wRe, wIm, bRe, bIm, cRe, cIm);
        for (int l = 0; l < BLOCK && r0 + l < count; ++l) {
            const int j = reversed[r0 + l];
            const double wr = wRe[l], wi = wIm[l];
            const double er = n * bRe[l] - (wr * cRe[l] - wi * cIm[l]);
            const double ei = n * bIm[l] - (wr * cIm[l] + wi * cRe[l]);
            divide(bRe[l], bIm[l], wr * er - wi * ei, wr * ei + wi * er, nRe[j], nIm[j]);
        }
    }
}

// Second half of a sweep on thread t: row sums, pair test, corrections of
// the rows [lo, hi) into the other buffer. Returns true on a failed pair
// test; the other buffer must then not be used.
bool sweepCorrections(SweepState& st, int from, const RowRange& r) {
    const int n = st.coeff.n;
    const double* x = st.x[from].data();
    const double* y = st.y[from].data();
    double* xNext = st.x[from ^ 1].data();
    double* yNext = st.y[from ^ 1].data();
    const ThreadScratch& a = st.scratch[0];
    const ThreadScratch& b = st.scratch[1];
    const int last = r.hi < n ? r.hi : n;
    for (int j = r.lo; j < last; ++j) {
        double sr = 0.0, si = 0.0;
        if (n >= 2) {
            const int p = a.position[j];
            sr = st.paired ? a.pRe[p] + b.pRe[p] : a.pRe[p];
            si = st.paired ? a.pIm[p] + b.pIm[p] : a.pIm[p];
            if (a.frozen[j]) {
                sr = (st.paired ? a.keptRe[j] + b.keptRe[j] : a.keptRe[j]) + sr;
                si = (st.paired ? a.keptIm[j] + b.keptIm[j] : a.keptIm[j]) + si;
            }
            if (!(std::isfinite(sr) && std::isfinite(si)) && !exactRowSum(n, j, x, y, sr, si)) return true;
        }
        // delta = N / (1 - N S)
        const double nr = st.nRe[j], ni = st.nIm[j];
        const double qr = 1.0 - (nr * sr - ni * si);
        const double qi = -(nr * si + ni * sr);
        double deltaRe, deltaIm;
        divide(nr, ni, qr, qi, deltaRe, deltaIm);
        if (std::isfinite(deltaRe) && std::isfinite(deltaIm)) {
            xNext[j] = x[j] - deltaRe;
            yNext[j] = y[j] - deltaIm;
        } else {
            xNext[j] = x[j];
            yNext[j] = y[j];
        }
    }
    return false;
}

}  // namespace

namespace {

// ROOT_BOUND_STEPS Newton steps on the Cauchy polynomial c (derivative dc)
// from each of the M points x, in lockstep: each point's steps are the
// same as alone, and their chains overlap.
template <int M>
void cauchyNewton(int n, const std::vector<double>& c, const std::vector<double>& dc, double* x) {
    for (int step = 0; step < ROOT_BOUND_STEPS; ++step) {
        double v[M], dv[M];
        for (int m = 0; m < M; ++m) {
            v[m] = c[n] * x[m] + c[n - 1];
            dv[m] = dc[n - 1];
        }
        for (int k = n - 2; k >= 0; --k) {
            for (int m = 0; m < M; ++m) {
                v[m] = v[m] * x[m] + c[k];
                dv[m] = dv[m] * x[m] + dc[k];
            }
        }
        for (int m = 0; m < M; ++m) {
            double ratio = v[m] / dv[m];
            if (!(std::isfinite(v[m]) && std::isfinite(dv[m])) && std::isfinite(x[m]) && x[m] != 0.0) {
                // c/c' through the reversed polynomial in w = 1/x (high degrees overflow)
                const double w = 1.0 / x[m];
                double q = c[0], dq = 0.0;
                for (int t = 1; t <= n; ++t) {
                    dq = dq * w + q;
                    q = q * w + c[t];
                }
                ratio = q / (w * (n * q - w * dq));
            }
            x[m] = x[m] - ratio;
        }
    }
}

}  // namespace

double rootBound(int n, const double* coeffRe, const double* coeffIm) {
    if (n <= 0) return 0.0;
    std::vector<double> c(n + 1), dc(n);
    for (int k = 0; k <= n; ++k) {
        c[k] = std::sqrt(coeffRe[k] * coeffRe[k] + coeffIm[k] * coeffIm[k]);
        // Squares of coefficients beyond 1e154 overflow; the modulus itself does not.
        if (std::isinf(c[k])) c[k] = std::hypot(coeffRe[k], coeffIm[k]);
    }
    const double mn = c[n];
    double x = 0.0;
    for (int k = 0; k <= n; ++k) {
        const double v = (k + 1) * c[k] / mn;
        if (k == 0 || v > x) x = v;
    }
    // Fujiwara's bound 2 max (|a_k|/|a_n|)^(1/(n-k)) (|a_0| halved): above the root, within twice it
    double fujiwara = 0.0;
    for (int k = 0; k < n; ++k) {
        const double m = (k == 0 ? 0.5 : 1.0) * c[k] / mn;
        fujiwara = std::fmax(fujiwara, std::pow(m, 1.0 / (n - k)));
    }
    fujiwara *= 2.0;
    for (int k = 0; k < n; ++k) c[k] = -c[k];
    for (int k = 0; k < n; ++k) dc[k] = (k + 1) * c[k + 1];
    // From x >= n + 1 each Newton step shrinks x only by about 1 - 1/n while
    // x is far above the root, so at high degrees the steps end far above
    // it. A result above Fujiwara's bound has not converged: take the steps
    // from that bound instead (run alongside, as it is often needed).
    // A NaN result (overflow on the way) is caught by the same test.
    if (!(fujiwara > 0.0)) {
        cauchyNewton<1>(n, c, dc, &x);
        return x;
    }
    double starts[2] = {x, fujiwara};
    cauchyNewton<2>(n, c, dc, starts);
    return starts[0] <= fujiwara ? starts[0] : starts[1];
}

double startingAngle(int i, int n) { return (i * FOUR_PI + 3) / (2 * n); }

int findRootsUnscaled(int n, const double* coeffRe, const double* coeffIm, double* rootsRe, double* rootsIm) {
    if (n <= 0) return 1;

    SweepState st;
    st.coeff.n = n;
    st.coeff.aRe = coeffRe;
    st.coeff.aIm = coeffIm;
    st.coeff.fused = n >= FUSED_MIN_DEGREE;
    st.coeff.dRe.resize(n);
    st.coeff.dIm.resize(n);
    for (int k = 0; k < n; ++k) {
        st.coeff.dRe[k] = (k + 1) * coeffRe[k + 1];
        st.coeff.dIm[k] = (k + 1) * coeffIm[k + 1];
    }

    // starting circle
    const double anRe = coeffRe[n], anIm = coeffIm[n];
    const double an2 = anRe * anRe + anIm * anIm;
    double cRe = n * (coeffRe[n - 1] * anRe + coeffIm[n - 1] * anIm) / an2;
    double cIm = n * (coeffIm[n - 1] * anRe - coeffRe[n - 1] * anIm) / an2;
    const double rho = rootBound(n, coeffRe, coeffIm);
    if (std::hypot(cRe, cIm) > 2 * rho) {
        // The circle misses the disk |z| <= rho that holds every root; from
        // such a cluster the sweeps move the approximations only ~rho/n per
        // sweep, so high degrees never arrive. Centre it on the mean of the
        // roots, -a_(n-1) / (n a_n), instead.
        cRe = -cRe / (double(n) * n);
        cIm = -cIm / (double(n) * n);
    }
    st.padded = (n + BLOCK - 1) / BLOCK * BLOCK;
    st.nRe.assign(st.padded, 0.0);
    st.nIm.assign(st.padded, 0.0);
    for (ThreadScratch& scratch : st.scratch) {
        scratch.pRe.assign(st.padded + 2 * LANES, 0.0);
        scratch.pIm.assign(st.padded + 2 * LANES, 0.0);
        scratch.keptRe.assign(n, 0.0);
        scratch.keptIm.assign(n, 0.0);
        scratch.gx.assign(st.padded + 2 * LANES, PAD_VALUE);
        scratch.gy.assign(st.padded + 2 * LANES, 0.0);
        scratch.order.assign(n, 0);
        scratch.position.assign(n, 0);
        scratch.frozen.assign(n, 0);
        scratch.still.assign(n, 0);
        scratch.moving.reserve(st.padded);
        scratch.reversed.reserve(st.padded);
    }
    for (int b = 0; b < 2; ++b) {
        st.x[b].assign(st.padded + 2 * LANES, PAD_VALUE);
        st.y[b].assign(st.padded + 2 * LANES, 0.0);
    }
    for (int i = 0; i < n; ++i) {
        const double theta = startingAngle(i, n);
        st.x[0][i] = cRe + rho * std::cos(theta);
        st.y[0][i] = cIm + rho * std::sin(theta);
    }

    // Work split: rows [0, split) and the first half of the row pairs on
    // this thread, the rest on the helper.
    const int split = (st.padded / BLOCK + 1) / 2 * BLOCK;
    const RowRange all{0, st.padded};
    const RowRange parts[2] = {{0, split}, {split, st.padded}};
    SpinBarrier sync;
    std::atomic<bool> failedFlag[2][2] = {};  // [buffer][thread]
    std::atomic<int> failedSweep{-1};

    auto run = [&](int t, bool paired) {
        const RowRange& r = paired ? parts[t] : all;
        for (int s = 0; s < ROOT_SWEEPS; ++s) {
            const int from = s & 1;
            sweepPairsAndRatios(st, t, from, r, s == 0);
            if (paired) sync.arriveAndWait();
            failedFlag[from][t].store(sweepCorrections(st, from, r), std::memory_order_relaxed);
            if (paired) sync.arriveAndWait();
            if (failedFlag[from][0].load(std::memory_order_relaxed) ||
                failedFlag[from][1].load(std::memory_order_relaxed)) {
                if (t == 0) failedSweep.store(s, std::memory_order_relaxed);
                return;
            }
        }
    };

    std::thread helper;
    if (n >= ROOT_THREAD_MIN_DEGREE) {
        st.paired = true;
        try {
            helper = std::thread(run, 1, true);
        } catch (const std::system_error&) {
            st.paired = false;
        }
    }
    run(0, st.paired);
    if (helper.joinable()) helper.join();

    const int s = failedSweep.load();
    const int buffer = s >= 0 ? (s & 1) : (ROOT_SWEEPS & 1);
    std::memcpy(rootsRe, st.x[buffer].data(), n * sizeof(double));
    std::memcpy(rootsIm, st.y[buffer].data(), n * sizeof(double));
    return s >= 0 ? -1 : 1;
}

namespace {

// Scaling z = 2^e w with exponents beyond these is needed: below them the
// sweeps and the starting circle stay within the range of doubles.
constexpr int SCALE_ROOT_EXPONENT = 64;
constexpr int SCALE_LEADING_EXPONENT = 256;

// log2 |a| without overflow; -inf for 0.
double log2Modulus(double re, double im) { return std::log2(std::hypot(re, im)); }

}  // namespace

bool rootScaling(int n, const double* coeffRe, const double* coeffIm, int& rootExponent, int& coeffExponent) {
    rootExponent = coeffExponent = 0;
    if (n <= 0) return false;
    const double leading = log2Modulus(coeffRe[n], coeffIm[n]);
    if (!std::isfinite(leading)) return false;
    // the size of the largest roots, as in Fujiwara's bound: max (|a_k|/|a_n|)^(1/(n-k))
    double size = -INFINITY;
    for (int k = 0; k < n; ++k) {
        const double l = log2Modulus(coeffRe[k], coeffIm[k]);
        if (std::isnan(l) || l == INFINITY) return false;
        if (l != -INFINITY) size = std::fmax(size, (l - leading) / (n - k));
    }
    rootExponent = size == -INFINITY ? 0 : static_cast<int>(std::lround(size));
    if (std::abs(rootExponent) <= SCALE_ROOT_EXPONENT && std::fabs(leading) <= SCALE_LEADING_EXPONENT) {
        rootExponent = 0;
        return false;
    }
    coeffExponent = -static_cast<int>(std::lround(leading)) - n * rootExponent;
    return true;
}

namespace {

constexpr double RESIDUAL_BOUND_FACTOR = 16.0;  // times n * unit roundoff

// True when every approximation is finite and P vanishes there to within
// the rounding error of its Horner evaluation: the exact coincidence that
// ended the sweeps was then the convergence of several approximations on a
// multiple root (their squared distance underflows), not a breakdown.
bool allRootsWithinRounding(int n, const double* aRe, const double* aIm, const double* zRe, const double* zIm) {
    const double bound = RESIDUAL_BOUND_FACTOR * n * (DBL_EPSILON / 2);
    for (int i = 0; i < n; ++i) {
        const double x = zRe[i], y = zIm[i];
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        const double r = std::hypot(x, y);
        double pr = aRe[n], pi = aIm[n], magnitude = std::hypot(aRe[n], aIm[n]);
        for (int k = n - 1; k >= 0; --k) {
            const double t = pr * x - pi * y + aRe[k];
            pi = pr * y + pi * x + aIm[k];
            pr = t;
            magnitude = magnitude * r + std::hypot(aRe[k], aIm[k]);
        }
        if (!(std::hypot(pr, pi) <= bound * magnitude)) return false;
    }
    return true;
}

}  // namespace

int findRoots(int n, const double* coeffRe, const double* coeffIm, double* rootsRe, double* rootsIm) {
    int e = 0, f = 0;
    if (!rootScaling(n, coeffRe, coeffIm, e, f)) {
        const int rc = findRootsUnscaled(n, coeffRe, coeffIm, rootsRe, rootsIm);
        if (rc == -1 && allRootsWithinRounding(n, coeffRe, coeffIm, rootsRe, rootsIm)) return 1;
        return rc;
    }
    // b_k = a_k 2^(f + k e): the roots of b are those of a divided by 2^e,
    // and b_n has modulus ~1. Powers of two scale exactly (tiny terms flush).
    std::vector<double> bRe(n + 1), bIm(n + 1);
    for (int k = 0; k <= n; ++k) {
        bRe[k] = std::ldexp(coeffRe[k], f + k * e);
        bIm[k] = std::ldexp(coeffIm[k], f + k * e);
    }
    int rc = findRootsUnscaled(n, bRe.data(), bIm.data(), rootsRe, rootsIm);
    if (rc == -1 && allRootsWithinRounding(n, bRe.data(), bIm.data(), rootsRe, rootsIm)) rc = 1;
    for (int i = 0; i < n; ++i) {
        rootsRe[i] = std::ldexp(rootsRe[i], e);
        rootsIm[i] = std::ldexp(rootsIm[i], e);
    }
    return rc;
}

}  // namespace analysis
