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

// True in every lane whose value is finite.
HV_INLINE VI finiteLanes(V v) { return (v - v) == 0.0; }

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
        zr[u] = load(x + u * LANES);
        zi[u] = load(y + u * LANES);
        pr[u] = splat(c.aRe[n]);
        pi[u] = splat(c.aIm[n]);
        dr[u] = splat(c.dRe[n - 1]);
        di[u] = splat(c.dIm[n - 1]);
    }
    bool live = true;
    for (int k = n - 1; k >= 1 && live; --k) {
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
        if ((k & 31) == 0) {
            VI any = VI{0, 0, 0, 0};
            for (int u = 0; u < HORNER_VECTORS; ++u)
                any |= finiteLanes(pr[u]) & finiteLanes(pi[u]) & finiteLanes(dr[u]) & finiteLanes(di[u]);
            live = (any[0] | any[1] | any[2] | any[3]) != 0;
        }
    }
    const V ar = splat(c.aRe[0]), ai = splat(c.aIm[0]);
    for (int u = 0; u < HORNER_VECTORS; ++u) {
        const V npr = pr[u] * zr[u] - pi[u] * zi[u] + ar;
        const V npi = pr[u] * zi[u] + pi[u] * zr[u] + ai;
        store(pRe + u * LANES, live ? npr : pr[u]);
        store(pIm + u * LANES, live ? npi : pi[u]);
        store(dpRe + u * LANES, dr[u]);
        store(dpIm + u * LANES, di[u]);
    }
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
        wr[u] = load(wRe + u * LANES);
        wi[u] = load(wIm + u * LANES);
        qr[u] = splat(c.aRe[0]);
        qi[u] = splat(c.aIm[0]);
        dr[u] = splat(0.0);
        di[u] = splat(0.0);
    }
    for (int t = 1; t <= n; ++t) {
        const V ar = splat(c.aRe[t]), ai = splat(c.aIm[t]);
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
        store(qRe + u * LANES, qr[u]);
        store(qIm + u * LANES, qi[u]);
        store(dqRe + u * LANES, dr[u]);
        store(dqIm + u * LANES, di[u]);
    }
}

// Row sums S_j = sum_(k != j) 1/(z_j - z_k) for the BLOCK rows from j0, as
// (dx, -dy) * (1/w) with w = dx^2 + dy^2, over the points (x, y) of all n
// roots, each S_j summed in k order. A pair with w == 0 or w not a number
// leaves a non-finite S_j.
// Division throughput bounds this loop, so when `shared` is set two columns
// share one division: 1/w_a = w_b / (w_a w_b). The caller sets it only when
// every |x|, |y| < ROW_SHARED_LIMIT, so w_a w_b cannot overflow; an
// underflow to 0 leaves S_j non-finite like a coincidence does.
constexpr double ROW_SHARED_LIMIT = 1e76;

template <bool shared>
HV_INLINE void rowSumKernel(int n, int j0, const double* x, const double* y, double* sRe, double* sIm) {
    V xr[ROW_VECTORS], xi[ROW_VECTORS], sr[ROW_VECTORS], si[ROW_VECTORS];
    VI row[ROW_VECTORS];
    for (int u = 0; u < ROW_VECTORS; ++u) {
        xr[u] = load(x + j0 + u * LANES);
        xi[u] = load(y + j0 + u * LANES);
        sr[u] = splat(0.0);
        si[u] = splat(0.0);
        for (int l = 0; l < LANES; ++l) row[u][l] = j0 + u * LANES + l;
    }
    const V zero = splat(0.0);
    auto column = [&](int k, bool diagonal) __attribute__((always_inline)) {
        const V kr = splat(x[k]), ki = splat(y[k]);
        for (int u = 0; u < ROW_VECTORS; ++u) {
            const V dr = xr[u] - kr, di = xi[u] - ki;
            const V inv = 1.0 / (dr * dr + di * di);
            V tr = dr * inv, ti = di * inv;
            if (diagonal) {
                const VI self = row[u] == (long long)k;
                tr = self ? zero : tr;
                ti = self ? zero : ti;
            }
            sr[u] += tr;
            si[u] -= ti;
        }
    };
    auto columnPair = [&](int k) __attribute__((always_inline)) {
        const V ar = splat(x[k]), ai = splat(y[k]), br = splat(x[k + 1]), bi = splat(y[k + 1]);
        for (int u = 0; u < ROW_VECTORS; ++u) {
            const V dar = xr[u] - ar, dai = xi[u] - ai, dbr = xr[u] - br, dbi = xi[u] - bi;
            const V wa = dar * dar + dai * dai, wb = dbr * dbr + dbi * dbi;
            const V inv = 1.0 / (wa * wb);
            const V ia = wb * inv, ib = wa * inv;
            sr[u] += dar * ia;
            si[u] -= dai * ia;
            sr[u] += dbr * ib;
            si[u] -= dbi * ib;
        }
    };
    auto span = [&](int k0, int k1) __attribute__((always_inline)) {
        int k = k0;
        if (shared)
            for (; k + 1 < k1; k += 2) columnPair(k);
        for (; k < k1; ++k) column(k, false);
    };
    const int d0 = j0 < n ? j0 : n, d1 = j0 + BLOCK < n ? j0 + BLOCK : n;
    span(0, d0);
    for (int k = d0; k < d1; ++k) column(k, true);
    span(d1, n);
    for (int u = 0; u < ROW_VECTORS; ++u) {
        store(sRe + u * LANES, sr[u]);
        store(sIm + u * LANES, si[u]);
    }
}

__attribute__((target_clones("avx2", "default")))
void rowSumBlock(int n, int j0, const double* x, const double* y, double* sRe, double* sIm, bool shared) {
    if (shared)
        rowSumKernel<true>(n, j0, x, y, sRe, sIm);
    else
        rowSumKernel<false>(n, j0, x, y, sRe, sIm);
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

bool allFinite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Per-thread scratch of one call.
struct ThreadScratch {
    std::vector<int> reversed;  // rows whose ratio goes through 1/z this sweep
};

// State of one call, shared by the (at most two) sweeping threads; each
// thread writes only its own rows of the per-row arrays.
struct SweepState {
    Coefficients coeff;
    int padded = 0;
    std::vector<double> x[2], y[2];  // start-of-sweep values alternate between the two buffers
    std::vector<double> sRe, sIm;    // row sums
    std::vector<double> nRe, nIm;    // Newton ratios
    ThreadScratch scratch[2];
};

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

// One sweep over the rows [lo, hi) (multiples of BLOCK) on thread t: reads
// buffer `from`, writes the updated rows into the other buffer. Returns true
// on a failed pair test; the other buffer must then not be used.
bool sweepRows(SweepState& st, int t, int from, int lo, int hi) {
    const int n = st.coeff.n;
    const double* x = st.x[from].data();
    const double* y = st.y[from].data();
    double* xNext = st.x[from ^ 1].data();
    double* yNext = st.y[from ^ 1].data();
    double* sRe = st.sRe.data();
    double* sIm = st.sIm.data();
    double* nRe = st.nRe.data();
    double* nIm = st.nIm.data();
    std::vector<int>& reversed = st.scratch[t].reversed;
    reversed.clear();
    alignas(64) double bRe[BLOCK], bIm[BLOCK], cRe[BLOCK], cIm[BLOCK], eRe[BLOCK], eIm[BLOCK];
    double extent = 0.0;
    for (int k = 0; k < n; ++k) extent = std::fmax(extent, std::fmax(std::fabs(x[k]), std::fabs(y[k])));
    const bool shared = extent < ROW_SHARED_LIMIT;  // false also when a value is not a number

    for (int j0 = lo; j0 < hi; j0 += BLOCK) {
        const int end = j0 + BLOCK < n ? j0 + BLOCK : n;
        if (n >= 2) rowSumBlock(n, j0, x, y, sRe + j0, sIm + j0, shared);
        for (int j = j0; j < end; ++j) {
            if (n < 2) {
                sRe[j] = sIm[j] = 0.0;
            } else if (!(std::isfinite(sRe[j]) && std::isfinite(sIm[j]))) {
                if (!exactRowSum(n, j, x, y, sRe[j], sIm[j])) return true;
            }
        }
        hornerBlock(st.coeff, x + j0, y + j0, bRe, bIm, cRe, cIm);
        for (int j = j0; j < end; ++j) {
            const int l = j - j0;
            if (!allFinite(bRe[l], bIm[l], cRe[l], cIm[l]) && std::isfinite(x[j]) && std::isfinite(y[j]))
                reversed.push_back(j);
            else
                divide(bRe[l], bIm[l], cRe[l], cIm[l], nRe[j], nIm[j]);
        }
    }

    // Newton ratios through w = 1/z where Horner overflowed:
    // P/P' = q / (w (n q - w q')).
    alignas(64) double wRe[BLOCK], wIm[BLOCK];
    const int count = (int)reversed.size();
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
        reversedHornerBlock(st.coeff, wRe, wIm, bRe, bIm, cRe, cIm);
        for (int l = 0; l < BLOCK && r0 + l < count; ++l) {
            const int j = reversed[r0 + l];
            const double wr = wRe[l], wi = wIm[l];
            const double er = n * bRe[l] - (wr * cRe[l] - wi * cIm[l]);
            const double ei = n * bIm[l] - (wr * cIm[l] + wi * cRe[l]);
            eRe[l] = wr * er - wi * ei;
            eIm[l] = wr * ei + wi * er;
            divide(bRe[l], bIm[l], eRe[l], eIm[l], nRe[j], nIm[j]);
        }
    }

    // corrections: delta = N / (1 - N S)
    const int last = hi < n ? hi : n;
    for (int j = lo; j < last; ++j) {
        const double nr = nRe[j], ni = nIm[j];
        const double qr = 1.0 - (nr * sRe[j] - ni * sIm[j]);
        const double qi = -(nr * sIm[j] + ni * sRe[j]);
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
    if (fujiwara > 0.0 && x > fujiwara) x = cauchyNewton(n, c, dc, fujiwara);
    return x;
}

double startingAngle(int i, int n) { return (i * FOUR_PI + 3) / (2 * n); }

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
    st.sRe.assign(st.padded, 0.0);
    st.sIm.assign(st.padded, 0.0);
    st.nRe.assign(st.padded, 0.0);
    st.nIm.assign(st.padded, 0.0);
    for (int t = 0; t < 2; ++t) st.scratch[t].reversed.reserve(st.padded);
    for (int b = 0; b < 2; ++b) {
        st.x[b].assign(st.padded, PAD_VALUE);
        st.y[b].assign(st.padded, 0.0);
    }
    for (int i = 0; i < n; ++i) {
        const double theta = startingAngle(i, n);
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
            failedFlag[from][t].store(sweepRows(st, t, from, lo, hi), std::memory_order_relaxed);
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
