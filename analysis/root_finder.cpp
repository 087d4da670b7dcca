#include "analysis/root_finder.h"

#include <atomic>
#include <barrier>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

// The sweep kernels work on fixed-width vectors of four doubles, so every
// row sum is accumulated in the same order whatever SIMD width the machine
// has; target_clones only picks the instructions.

namespace analysis {

namespace {

constexpr double FOUR_PI = 12.566370614359172;
constexpr double PAD_VALUE = 0.5;  // padding lanes: any finite point

constexpr int LANES = 4;
constexpr int HORNER_VECTORS = 4;                 // independent Horner chains per block
constexpr int BLOCK = LANES * HORNER_VECTORS;     // roots handled together
constexpr int ROW_VECTORS = BLOCK / LANES;        // row-sum accumulators per block

typedef double V __attribute__((vector_size(LANES * sizeof(double))));
typedef long long VI __attribute__((vector_size(LANES * sizeof(long long))));

#define HV_INLINE inline __attribute__((always_inline))

HV_INLINE V load(const double* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
HV_INLINE void store(double* p, V v) { std::memcpy(p, &v, sizeof v); }
HV_INLINE V splat(double x) { return V{x, x, x, x}; }

struct Coefficients {
    int n = 0;
    const double *aRe = nullptr, *aIm = nullptr;  // P, index = power
    std::vector<double> dRe, dIm;                 // P', index = power
};

// P and P' at the BLOCK points (x, y), Horner as in evaluatePolynomial.
__attribute__((target_clones("avx2", "default")))
void hornerBlock(const Coefficients& c, const double* x, const double* y, double* pRe, double* pIm,
                 double* dpRe, double* dpIm) {
    const int n = c.n;
    V zr[HORNER_VECTORS], zi[HORNER_VECTORS], pr[HORNER_VECTORS], pi[HORNER_VECTORS],
        dr[HORNER_VECTORS], di[HORNER_VECTORS];
    for (int u = 0; u < HORNER_VECTORS; ++u) {
        zr[u] = load(x + u * LANES);
        zi[u] = load(y + u * LANES);
        pr[u] = splat(c.aRe[n]);
        pi[u] = splat(c.aIm[n]);
        dr[u] = splat(c.dRe[n - 1]);
        di[u] = splat(c.dIm[n - 1]);
    }
    for (int k = n - 1; k >= 1; --k) {
        const V ar = splat(c.aRe[k]), ai = splat(c.aIm[k]);
        const V er = splat(c.dRe[k - 1]), ei = splat(c.dIm[k - 1]);
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
    }
    const V ar = splat(c.aRe[0]), ai = splat(c.aIm[0]);
    for (int u = 0; u < HORNER_VECTORS; ++u) {
        const V npr = pr[u] * zr[u] - pi[u] * zi[u] + ar;
        const V npi = pr[u] * zi[u] + pi[u] * zr[u] + ai;
        store(pRe + u * LANES, npr);
        store(pIm + u * LANES, npi);
        store(dpRe + u * LANES, dr[u]);
        store(dpIm + u * LANES, di[u]);
    }
}

// Row sums S_j = sum_(k != j) 1/(z_j - z_k) for the BLOCK rows starting at
// row j0, from the points (x, y) of all n roots. Returns true when a pair of
// a real row (j < n) has a squared distance that is 0 or not a number.
__attribute__((target_clones("avx2", "default")))
bool rowSumBlock(int n, int j0, const double* x, const double* y, double* sRe, double* sIm) {
    V xr[ROW_VECTORS], xi[ROW_VECTORS], sr[ROW_VECTORS], si[ROW_VECTORS];
    VI row[ROW_VECTORS], realRow[ROW_VECTORS], bad[ROW_VECTORS];
    for (int u = 0; u < ROW_VECTORS; ++u) {
        xr[u] = load(x + j0 + u * LANES);
        xi[u] = load(y + j0 + u * LANES);
        sr[u] = splat(0.0);
        si[u] = splat(0.0);
        for (int l = 0; l < LANES; ++l) row[u][l] = j0 + u * LANES + l;
        realRow[u] = row[u] < (long long)n;
        bad[u] = VI{0, 0, 0, 0};
    }
    const V zero = splat(0.0);
    auto column = [&](int k, bool diagonal) __attribute__((always_inline)) {
        const V kr = splat(x[k]), ki = splat(y[k]);
        for (int u = 0; u < ROW_VECTORS; ++u) {
            const V dr = xr[u] - kr, di = xi[u] - ki;
            const V w = dr * dr + di * di;
            const V inv = 1.0 / w;
            V tr = dr * inv, ti = -di * inv;
            VI failed = ~(w > 0.0) & realRow[u];
            if (diagonal) {
                const VI self = row[u] == (long long)k;
                tr = self ? zero : tr;
                ti = self ? zero : ti;
                failed &= ~self;
            }
            bad[u] |= failed;
            sr[u] += tr;
            si[u] += ti;
        }
    };
    const int d0 = j0 < n ? j0 : n, d1 = j0 + BLOCK < n ? j0 + BLOCK : n;
    for (int k = 0; k < d0; ++k) column(k, false);
    for (int k = d0; k < d1; ++k) column(k, true);
    for (int k = d1; k < n; ++k) column(k, false);
    bool anyBad = false;
    for (int u = 0; u < ROW_VECTORS; ++u) {
        store(sRe + u * LANES, sr[u]);
        store(sIm + u * LANES, si[u]);
        for (int l = 0; l < LANES; ++l) anyBad |= bad[u][l] != 0;
    }
    return anyBad;
}

// a / b as (a conj b) / |b|^2. Where |b|^2 or the result leaves the normal
// range although a and b are finite and b != 0 (far-away points: |b|^2
// overflows and the quotient collapses to 0 or NaN), the quotient is taken
// again with b scaled to modulus ~1. Elsewhere the plain result stands.
void divide(double ar, double ai, double br, double bi, double& qr, double& qi) {
    double m = br * br + bi * bi;
    qr = (ar * br + ai * bi) / m;
    qi = (ai * br - ar * bi) / m;
    if (m >= DBL_MIN && m <= DBL_MAX && std::isfinite(qr) && std::isfinite(qi)) return;
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

// P/P' at the finite point z through q(w) = w^n P(1/w), w = 1/z:
// P/P' = q / (w (n q - w q')). Used where Horner overflows.
void reversedNewtonRatio(const Coefficients& c, double x, double y, double& nRe, double& nIm) {
    // w = 1/z, scaled so |z|^2 cannot overflow
    const double s = std::fabs(x) > std::fabs(y) ? std::fabs(x) : std::fabs(y);
    const double xs = x / s, ys = y / s, m = xs * xs + ys * ys;
    const double wr = xs / m / s, wi = -ys / m / s;
    const int n = c.n;
    double qr = c.aRe[0], qi = c.aIm[0], dqr = 0.0, dqi = 0.0;
    for (int t = 1; t <= n; ++t) {
        const double ndr = dqr * wr - dqi * wi + qr;
        const double ndi = dqr * wi + dqi * wr + qi;
        const double nqr = qr * wr - qi * wi + c.aRe[t];
        const double nqi = qr * wi + qi * wr + c.aIm[t];
        dqr = ndr;
        dqi = ndi;
        qr = nqr;
        qi = nqi;
    }
    // e = n q - w q';  den = w e
    const double er = n * qr - (wr * dqr - wi * dqi);
    const double ei = n * qi - (wr * dqi + wi * dqr);
    const double fr = wr * er - wi * ei, fi = wr * ei + wi * er;
    divide(qr, qi, fr, fi, nRe, nIm);
}

bool allFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// State of one call, shared by the (at most two) sweeping threads.
struct SweepState {
    Coefficients coeff;
    int padded = 0;
    std::vector<double> x[2], y[2];  // start-of-sweep values alternate between the two buffers
};

// One sweep over the rows [lo, hi) (multiples of BLOCK): reads buffer `from`,
// writes the updated rows into the other buffer. Returns true on a failed
// pair test; the other buffer is then partly written and must not be used.
bool sweepRows(SweepState& st, int from, int lo, int hi) {
    const int n = st.coeff.n;
    const double* x = st.x[from].data();
    const double* y = st.y[from].data();
    double* xNext = st.x[from ^ 1].data();
    double* yNext = st.y[from ^ 1].data();
    alignas(64) double pRe[BLOCK], pIm[BLOCK], dpRe[BLOCK], dpIm[BLOCK], sRe[BLOCK], sIm[BLOCK];
    bool failed = false;
    for (int j0 = lo; j0 < hi; j0 += BLOCK) {
        if (n >= 2) {
            failed |= rowSumBlock(n, j0, x, y, sRe, sIm);
        } else {
            for (int l = 0; l < BLOCK; ++l) sRe[l] = sIm[l] = 0.0;
        }
        hornerBlock(st.coeff, x + j0, y + j0, pRe, pIm, dpRe, dpIm);
        const int end = j0 + BLOCK < n ? j0 + BLOCK : n;
        for (int j = j0; j < end; ++j) {
            const int l = j - j0;
            const double zr = x[j], zi = y[j];
            double nr, ni;
            if (!allFinite(pRe[l], pIm[l], dpRe[l], dpIm[l]) && std::isfinite(zr) && std::isfinite(zi)) {
                reversedNewtonRatio(st.coeff, zr, zi, nr, ni);
            } else {
                divide(pRe[l], pIm[l], dpRe[l], dpIm[l], nr, ni);
            }
            // delta = N / (1 - N S)
            const double qr = 1.0 - (nr * sRe[l] - ni * sIm[l]);
            const double qi = -(nr * sIm[l] + ni * sRe[l]);
            double deltaRe, deltaIm;
            divide(nr, ni, qr, qi, deltaRe, deltaIm);
            if (std::isfinite(deltaRe) && std::isfinite(deltaIm)) {
                xNext[j] = zr - deltaRe;
                yNext[j] = zi - deltaIm;
            } else {
                xNext[j] = zr;
                yNext[j] = zi;
            }
        }
    }
    return failed;
}

}  // namespace

namespace {

// ROOT_BOUND_STEPS Newton steps on the Cauchy polynomial c (derivative dc) from x.
double cauchyNewton(int n, const std::vector<double>& c, const std::vector<double>& dc, double x) {
    for (int step = 0; step < ROOT_BOUND_STEPS; ++step) {
        double v = c[n], dv = dc[n - 1];
        for (int k = n - 1; k >= 0; --k) v = v * x + c[k];
        for (int k = n - 2; k >= 0; --k) dv = dv * x + dc[k];
        double ratio = v / dv;
        if (!(std::isfinite(v) && std::isfinite(dv)) && std::isfinite(x) && x != 0.0) {
            // c/c' through the reversed polynomial in w = 1/x (high degrees overflow)
            const double w = 1.0 / x;
            double q = c[0], dq = 0.0;
            for (int t = 1; t <= n; ++t) {
                dq = dq * w + q;
                q = q * w + c[t];
            }
            ratio = q / (w * (n * q - w * dq));
        }
        x = x - ratio;
    }
    return x;
}

}  // namespace

double rootBound(int n, const double* coeffRe, const double* coeffIm) {
    if (n <= 0) return 0.0;
    std::vector<double> c(n + 1), dc(n);
    for (int k = 0; k <= n; ++k) c[k] = std::sqrt(coeffRe[k] * coeffRe[k] + coeffIm[k] * coeffIm[k]);
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
    x = cauchyNewton(n, c, dc, x);
    // From x >= n + 1 each Newton step shrinks x only by about 1 - 1/n while
    // x is far above the root, so at high degrees the steps end far above
    // it. A result above Fujiwara's bound has not converged: take the steps
    // again from that bound.
    if (x > fujiwara) x = cauchyNewton(n, c, dc, fujiwara);
    return x;
}

int findRoots(int n, const double* coeffRe, const double* coeffIm, double* rootsRe, double* rootsIm) {
    if (n <= 0) return 1;

    SweepState st;
    st.coeff.n = n;
    st.coeff.aRe = coeffRe;
    st.coeff.aIm = coeffIm;
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
    for (int b = 0; b < 2; ++b) {
        st.x[b].assign(st.padded, PAD_VALUE);
        st.y[b].assign(st.padded, 0.0);
    }
    for (int i = 0; i < n; ++i) {
        const double theta = (i * FOUR_PI + 3) / (2 * n);
        st.x[0][i] = cRe + rho * std::cos(theta);
        st.y[0][i] = cIm + rho * std::sin(theta);
    }

    // rows [0, split) on this thread, [split, padded) on the helper
    const int split = n >= ROOT_THREAD_MIN_DEGREE ? (st.padded / BLOCK + 1) / 2 * BLOCK : st.padded;
    std::barrier<> sync(2);
    std::atomic<bool> failedFlag[2][2] = {};  // [buffer][thread]
    std::atomic<int> failedSweep{-1};

    auto run = [&](int t, int lo, int hi, bool paired) {
        for (int s = 0; s < ROOT_SWEEPS; ++s) {
            const int from = s & 1;
            failedFlag[from][t].store(sweepRows(st, from, lo, hi), std::memory_order_relaxed);
            if (paired) sync.arrive_and_wait();
            if (failedFlag[from][0].load(std::memory_order_relaxed) ||
                failedFlag[from][1].load(std::memory_order_relaxed)) {
                if (t == 0) failedSweep.store(s, std::memory_order_relaxed);
                return;
            }
        }
    };

    bool paired = split < st.padded;
    std::thread helper;
    if (paired) {
        try {
            helper = std::thread(run, 1, split, st.padded, true);
        } catch (const std::system_error&) {
            paired = false;
        }
    }
    if (paired) {
        run(0, 0, split, true);
        helper.join();
    } else {
        run(0, 0, st.padded, false);
    }

    const int s = failedSweep.load();
    const int buffer = s >= 0 ? (s & 1) : (ROOT_SWEEPS & 1);
    std::memcpy(rootsRe, st.x[buffer].data(), n * sizeof(double));
    std::memcpy(rootsIm, st.y[buffer].data(), n * sizeof(double));
    return s >= 0 ? -1 : 1;
}

}  // namespace analysis
