#include "analysis/periodic_points.h"

#include "analysis/cycle_refinement.h"
#include "analysis/iterated_period_roots.h"
#include "analysis/root_finder.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace analysis {

namespace {

// Marks of the roots of an exact-period polynomial.
enum class RootMark : unsigned char { None = 0, SuperAttracting = 1, Attracting = 2, Indifferent = 3 };

PointKind kindOfMark(RootMark m) {
    switch (m) {
    case RootMark::SuperAttracting: return PointKind::SuperAttracting;
    case RootMark::Attracting: return PointKind::Attracting;
    default: return PointKind::Indifferent;
    }
}

// The k-th iterate of the map.
struct Iterate {
    ComplexPolynomial num;  // P_k (form 1) or N_k (form 2)
    ComplexPolynomial den;  // D_k (form 2 only)
};

// Period polynomial G_k whose roots are the points of period dividing k.
ComplexPolynomial periodPolynomial(int form, const Iterate& it) {
    if (form == 1) {
        // P_k(z) - z. Stripping changes nothing for a true degree-d map; it
        // only keeps a cancelled leading term away from the root finder.
        ComplexPolynomial g = it.num;
        if (g.degree < 1) {
            g.re.resize(2, 0.0);
            g.im.resize(2, 0.0);
            g.degree = 1;
        }
        g.re[1] -= 1.0;
        stripPolynomial(g);
        return g;
    }
    ComplexPolynomial g = makePolynomial(std::max(it.num.degree, it.den.degree + 1));
    for (int i = 0; i <= it.num.degree; ++i) {
        g.re[i] += it.num.re[i];
        g.im[i] += it.num.im[i];
    }
    for (int i = 0; i <= it.den.degree; ++i) {
        g.re[i + 1] -= it.den.re[i];
        g.im[i + 1] -= it.den.im[i];
    }
    stripPolynomial(g);
    return g;
}

double squaredDistance(double ar, double ai, double br, double bi) {
    double dr = ar - br, di = ai - bi;
    return dr * dr + di * di;
}

// Grouping tolerance: two computed roots, or a root and the image of
// another, are the same point when this close. The roots of high-degree
// period polynomials are accurate to far less than ZERO_TOL, so the
// capture distance of the analysis is used (never below ZERO_TOL^2).
double groupingToleranceSquared(double convEps) {
    return std::max(ZERO_TOL * ZERO_TOL, convEps * convEps);
}

// Roots whose unpolished multiplier exceeds this are repelling beyond doubt.
constexpr double CANDIDATE_MULTIPLIER_SQUARED = 1.1;

RootMark markOfKind(PointKind kind) {
    switch (kind) {
    case PointKind::SuperAttracting: return RootMark::SuperAttracting;
    case PointKind::Attracting: return RootMark::Attracting;
    case PointKind::Indifferent: return RootMark::Indifferent;
    default: return RootMark::None;
    }
}

// Marks the non-repelling roots of the exact-period-k polynomial; returns
// how many. A candidate is polished in extended precision (kept roots are
// overwritten with their polished points) and classified by its chain-rule
// multiplier. A root that polishes onto a point of lower period, or onto a
// root marked before (a cluster around a multiple root), is not marked.
// Attraction is confirmed by an orbit, except at parabolic points, whose
// orbits creep in too slowly for that test.
int markRoots(const RationalMap& map, int k, double convEps, std::vector<double>& rr,
              std::vector<double>& ri, std::vector<RootMark>& mark) {
    const double tol2 = groupingToleranceSquared(convEps);
    const int n = static_cast<int>(rr.size());
    int marked = 0;
    for (int r = 0; r < n; ++r) {
        const ComplexValue z{rr[r], ri[r]};
        const RefinedPoint rough = cycleMultiplier(map, z, k);
        if (!rough.valid || !(rough.lambdaSquared() <= CANDIDATE_MULTIPLIER_SQUARED)) continue;
        const RefinedPoint p = refineCyclePoint(map, z, k);
        if (!p.valid) continue;
        const ComplexValue zp{static_cast<double>(p.re), static_cast<double>(p.im)};
        const PointKind kind = classifyMultiplier(p.lambdaSquared());
        if (kind == PointKind::Repelling) continue;
        if (k > 1 && lowerPeriod(map, zp, k, tol2) < k) continue;
        bool duplicate = false;
        for (int e = 0; e < r && !duplicate; ++e)
            duplicate = mark[e] != RootMark::None && squaredDistance(rr[e], ri[e], zp.re, zp.im) <= tol2;
        if (duplicate) continue;
        const bool parabolic = kind == PointKind::Indifferent && isParabolic(p);
        if (!parabolic && confirmAttracting(map, zp, k, convEps) == 0) continue;
        rr[r] = zp.re;
        ri[r] = zp.im;
        mark[r] = markOfKind(kind);
        ++marked;
    }
    return marked;
}

// The next point of a cycle being followed. Form 2 at a pole: 0 when
// deg P < deg Q, P_dP / Q_dQ when the degrees are equal; false (stop
// following) when deg P > deg Q, where the pole maps to infinity.
bool followCyclePoint(const RationalMap& map, ComplexValue z, ComplexValue& next) {
    RationalValue v = evaluateRational(map, z);
    if (!v.pole) {
        next = v.value;
        return true;
    }
    const ComplexPolynomial& P = map.numerator;
    const ComplexPolynomial& Q = map.denominator;
    if (P.degree < Q.degree) {
        next = ComplexValue{0.0, 0.0};
        return true;
    }
    if (P.degree == Q.degree) {
        const double pr = P.re[P.degree], pi = P.im[P.degree];
        const double qr = Q.re[Q.degree], qi = Q.im[Q.degree];
        const double qq = qr * qr + qi * qi;
        next = ComplexValue{(pr * qr + pi * qi) / qq, (pi * qr - pr * qi) / qq};
        return true;
    }
    return false;
}

// Completes a cycle of fewer than `period` points by following the map from
// its last point. Where the map leaves the finite plane the last point is
// repeated, so no entry stays unset.
void completeByFollowing(const RationalMap& map, Cycle& c) {
    while (static_cast<int>(c.re.size()) < c.period) {
        ComplexValue z{c.re.back(), c.im.back()};
        ComplexValue next;
        if (!followCyclePoint(map, z, next) || !std::isfinite(next.re) || !std::isfinite(next.im))
            next = z;
        c.re.push_back(next.re);
        c.im.push_back(next.im);
    }
}

bool allFinite(const ComplexPolynomial& p) {
    for (int i = 0; i <= p.degree; ++i)
        if (!std::isfinite(p.re[i]) || !std::isfinite(p.im[i])) return false;
    return true;
}

bool polynomialShapeValid(const ComplexPolynomial& p) {
    return p.degree >= 0 && static_cast<int>(p.re.size()) >= p.degree + 1 &&
           static_cast<int>(p.im.size()) >= p.degree + 1;
}

}  // namespace

int mapDegree(const RationalMap& map) {
    if (map.form == 1) return polynomialShapeValid(map.numerator) ? map.numerator.degree : -1;
    if (map.form == 2) {
        if (!polynomialShapeValid(map.numerator) || !polynomialShapeValid(map.denominator)) return -1;
        return std::max(map.numerator.degree, map.denominator.degree);
    }
    return -1;
}

int cycleCapacity(const RationalMap& map) {
    int d = mapDegree(map);
    return d < 1 ? 0 : 2 * d - 2;
}

int confirmAttracting(const RationalMap& map, ComplexValue z0, int period, double convEps) {
    if (period < 1 || period > CONFIRM_STEPS / 11) return 0;
    const double eps2 = convEps * convEps;
    const double far2 = 1.0 / eps2;
    std::vector<double> wr(CONFIRM_STEPS + 1), wi(CONFIRM_STEPS + 1);
    ComplexValue w{CONFIRM_PERTURBATION * z0.re, CONFIRM_PERTURBATION * z0.im};
    wr[0] = w.re;
    wi[0] = w.im;
    for (int m = 0; m < CONFIRM_STEPS; ++m) {
        RationalValue v = evaluateRational(map, w);
        if (v.pole) return 0;
        w = v.value;
        if (w.re * w.re + w.im * w.im > far2) return 0;
        wr[m + 1] = w.re;
        wi[m + 1] = w.im;
    }
    int found = -1;
    for (int i = CONFIRM_STEPS; i >= CONFIRM_STEPS + 1 - period; --i) {
        if (squaredDistance(wr[i], wi[i], z0.re, z0.im) < eps2) {
            found = i;
            break;
        }
    }
    if (found < 0) return 0;
    for (int r = 0; r <= 10; ++r) {
        int j = found - r * period;
        // A NaN distance is no return either.
        if (!(squaredDistance(wr[j], wi[j], z0.re, z0.im) <= eps2)) return 0;
    }
    return 1;
}

CycleList findPeriodicPoints(const RationalMap& map, const PeriodicSearchOptions& options) {
    PeriodicSearchReport localReport;
    PeriodicSearchReport& report = options.report != nullptr ? *options.report : localReport;
    report = PeriodicSearchReport{};
    const RootFinderFunction roots = options.rootFinder != nullptr ? options.rootFinder : &findRoots;

    CycleList list;
    const int d = mapDegree(map);
    if (d < 1) {
        report.end = PeriodicSearchEnd::InvalidMap;
        return list;
    }
    list.capacity = cycleCapacity(map);
    const int form = map.form;
    const double tol2 = groupingToleranceSquared(options.convEps);

    try {
        Iterate it;
        RationalMap current;  // form 2: N_k / D_k
        std::vector<ComplexPolynomial> exact(MAX_ALGEBRAIC_PERIOD + 1);  // Phi_j
        std::vector<std::vector<ComplexValue>> rootsOf(MAX_ALGEBRAIC_PERIOD + 1);  // of Phi_j, polished where kept
        bool iterated = false;
        long long iterateDegree = 1;

        const int maxPeriod = std::min(options.maxPeriod, MAX_ALGEBRAIC_PERIOD);
        for (int k = 1; k <= maxPeriod; ++k) {
            if (list.full()) {
                report.end = PeriodicSearchEnd::CapacityFull;
                break;
            }
            if (options.stop != nullptr && options.stop->load(std::memory_order_relaxed)) {
                report.end = PeriodicSearchEnd::Stopped;
                report.lastPeriod = k;
                break;
            }
            iterateDegree *= d;
            if (iterateDegree > MAX_ITERATE_DEGREE) break;  // Completed: degree limit
            report.lastPeriod = k;

            // 1. Iterate.
            if (form == 1) {
                it.num = k == 1 ? map.numerator : composePolynomials(it.num, map.numerator);
            } else {
                if (k == 1) {
                    current = map;
                    current.form = 2;
                } else {
                    current = composeRationalMaps(current, map);
                }
                it.num = current.numerator;
                it.den = current.denominator;
            }

            // 2. Period polynomial, 3. reduction to exact period k.
            ComplexPolynomial g = periodPolynomial(form, it);
            // The nominal degree of G_k: d^k for a polynomial, whatever underflowed.
            const int periodDegree = form == 1 ? static_cast<int>(iterateDegree) : g.degree;
            bool representable = !iterated && allFinite(g) && g.degree == periodDegree;
            bool degreeFailure = false;
            for (int j = 1; j < k && representable && !degreeFailure; ++j) {
                if (k % j != 0) continue;
                if (exact[j].degree > g.degree || exact[j].degree < 1) {
                    degreeFailure = true;
                    break;
                }
                ComplexPolynomial q;
                dividePolynomials(g, exact[j], q);
                g = std::move(q);
                stripPolynomial(g);
            }
            representable = representable && allFinite(g);
            if (representable && (degreeFailure || g.degree < 1)) {
                report.end = PeriodicSearchEnd::DegreeFailure;
                break;
            }

            // 4. Roots: from Phi_k's coefficients where they are finite,
            // else by iterating the map (and so for every later period).
            std::vector<double> rr, ri;
            if (representable) {
                rr.resize(g.degree);
                ri.resize(g.degree);
                if (roots(g.degree, g.re.data(), g.im.data(), rr.data(), ri.data()) == -1) {
                    report.end = PeriodicSearchEnd::RootFinderFailed;
                    break;
                }
                exact[k] = std::move(g);
            } else {
                if (!iterated) report.firstIteratedPeriod = k;
                iterated = true;
                std::vector<ComplexValue> lower;
                for (int j = 1; j < k; ++j)
                    if (k % j == 0) lower.insert(lower.end(), rootsOf[j].begin(), rootsOf[j].end());
                if (findPeriodRootsByIteration(map, k, periodDegree, lower, rr, ri) == -1) {
                    report.end = PeriodicSearchEnd::RootFinderFailed;
                    break;
                }
            }
            const int n = static_cast<int>(rr.size());
            ++report.periodsSearched;

            // 5. Multipliers, 6. marks.
            std::vector<RootMark> mark(n, RootMark::None);
            const int marked = markRoots(map, k, options.convEps, rr, ri, mark);
            for (int r = 0; r < n; ++r) rootsOf[k].push_back({rr[r], ri[r]});
            if (marked == 0) continue;

            // 7. Recording.
            if (marked <= k) {
                if (list.full()) continue;
                Cycle c;
                c.period = k;
                for (int r = 0; r < n; ++r) {
                    if (mark[r] == RootMark::None) continue;
                    c.re.push_back(rr[r]);
                    c.im.push_back(ri[r]);
                    c.kind = kindOfMark(mark[r]);
                }
                completeByFollowing(map, c);
                list.cycles.push_back(std::move(c));
                continue;
            }
            for (int i = 0; i < n && !list.full(); ++i) {
                if (mark[i] == RootMark::None) continue;
                Cycle c;
                c.period = k;
                c.kind = kindOfMark(mark[i]);
                c.re.push_back(rr[i]);
                c.im.push_back(ri[i]);
                mark[i] = RootMark::None;
                for (int j = i + 1; j < n; ++j) {
                    if (mark[j] != RootMark::None &&
                        squaredDistance(rr[j], ri[j], rr[i], ri[i]) <= tol2)
                        mark[j] = RootMark::None;
                }
                ComplexValue z{rr[i], ri[i]};
                for (int step = 1; step < k; ++step) {
                    ComplexValue next;
                    if (!followCyclePoint(map, z, next)) break;
                    z = next;
                    int first = -1;
                    for (int j = i + 1; j < n; ++j) {
                        if (mark[j] == RootMark::None) continue;
                        if (squaredDistance(rr[j], ri[j], z.re, z.im) <= tol2) {
                            mark[j] = RootMark::None;
                            if (first < 0) first = j;
                        }
                    }
                    // Without a matching root the image itself stands in, so
                    // the points stay in orbit order.
                    c.re.push_back(first >= 0 ? rr[first] : z.re);
                    c.im.push_back(first >= 0 ? ri[first] : z.im);
                }
                completeByFollowing(map, c);
                list.cycles.push_back(std::move(c));
            }
        }
    } catch (const std::bad_alloc&) {
        list.cycles.clear();
        list.cycles.shrink_to_fit();
        report.end = PeriodicSearchEnd::OutOfMemory;
    }
    return list;
}

}  // namespace analysis
