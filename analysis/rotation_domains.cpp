#include "analysis/rotation_domains.h"

#include "analysis/curve_locator.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace analysis {

namespace {

struct Point {
    double x = 0, y = 0;
};

bool stopRequested(const std::atomic<bool>* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

// True when the orbit of z0 comes back within sqrt(return2) of z0 three
// times after more than maxLoop/2 steps.
bool orbitReturns(const RationalMap& map, Point z0, double return2, const AnalysisSettings& s) {
    const double far2 = 1.0 / (s.convEps * s.convEps);
    ComplexValue z{z0.x, z0.y};
    int returns = 0;
    for (int n = 1; n <= s.maxLoop; ++n) {
        const RationalValue v = evaluateRational(map, z);
        if (v.pole) return false;
        z = v.value;
        const double m2 = z.re * z.re + z.im * z.im;
        if (!(m2 <= far2)) return false;  // escaped, or not a number
        if (n > s.maxLoop / 2) {
            const double dx = z.re - z0.x, dy = z.im - z0.y;
            if (dx * dx + dy * dy < return2 && ++returns == RETURNS_NEEDED) return true;
        }
    }
    return false;
}

struct SideCandidates {
    bool any = false;
    Point inner, outer;
    double innerDistance = -1, outerDistance = -1;
};

// Marches from a along `step` (sign sgn) and returns the side's test point.
// Only curves whose octagon box meets the march can change their answer
// along it (outside its octagon a curve always answers 0), so only those
// are asked.
Point marchSide(const std::vector<CurveLocator>& all, const CurveLocator& self, Point a, Point step,
                double sgn, int firstAnswer, std::vector<const CurveLocator*>& near, std::vector<int>& other) {
    const double last = SIDE_PROBE_STEPS - 1;
    const double x0 = a.x, x1 = a.x + sgn * last * step.x, y0 = a.y, y1 = a.y + sgn * last * step.y;
    const double slack = 1e-9 * (std::fabs(x1 - x0) + std::fabs(y1 - y0)) + 1e-300;
    const double loX = std::min(x0, x1) - slack, hiX = std::max(x0, x1) + slack;
    const double loY = std::min(y0, y1) - slack, hiY = std::max(y0, y1) + slack;
    near.clear();
    other.clear();
    for (const CurveLocator& c : all) {
        if (&c == &self) continue;
        const Octagon& o = c.curve().octagon;
        if (o.maxRe < loX || o.minRe > hiX || o.maxIm < loY || o.minIm > hiY) continue;
        near.push_back(&c);
        other.push_back(c.pointIn(a.x, a.y));  // the answer at step 0
    }

    for (int j = 1; j < SIDE_PROBE_STEPS; ++j) {
        const Point p{a.x + sgn * j * step.x, a.y + sgn * j * step.y};
        bool same = self.pointIn(p.x, p.y) == firstAnswer;
        for (std::size_t k = 0; same && k < near.size(); ++k) {
            const int answer = near[k]->pointIn(p.x, p.y);
            if (answer != other[k]) same = false;
            other[k] = answer;
        }
        if (!same) {
            const double back = static_cast<double>((j + 1) / 2);
            return Point{a.x + sgn * back * step.x, a.y + sgn * back * step.y};
        }
    }
    const double reach = 0.6 * SIDE_PROBE_STEPS;
    return Point{a.x + sgn * reach * step.x, a.y + sgn * reach * step.y};
}

}  // namespace

bool classifyCurveSides(CurveSet& set, const RationalMap& map, const AnalysisSettings& settings,
                        const std::atomic<bool>* stop) {
    // Locators for every curve, in CurveSet order (the disks do not change
    // while inOut codes are written).
    std::vector<CurveLocator> all;
    for (const CurveSetEntry& e : set.entries)
        for (const ClosedCurve& c : e.curves) all.emplace_back(c);
    std::vector<const CurveLocator*> near;
    std::vector<int> other;
    std::size_t flat = 0;

    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        for (std::size_t ci = 0; ci < set.entries[e].curves.size(); ++ci) {
            const CurveLocator& locator = all[flat++];
            if (stopRequested(stop)) return false;
            ClosedCurve& curve = set.entries[e].curves[ci];
            curve.inOut = CURVE_NONE;
            const int L = curve.pointCount();
            if (L < MIN_PROBE_POINTS) continue;

            const double r = ((curve.octagon.maxRe - curve.octagon.minRe) +
                              (curve.octagon.maxIm - curve.octagon.minIm)) /
                             2.0;
            const double returnRadius = r * settings.inoutEps;
            const double return2 = returnRadius * returnRadius;
            // Completed probes advance by L/30 points (at least one, so short
            // curves cannot stall the scan).
            const int advance = std::max(1, L / 30);

            SideCandidates best;
            int i = 0;
            while (i < L - 3) {
                if (stopRequested(stop)) return false;
                const Point A{curve.re[i], curve.im[i]};
                const Point B{curve.re[i + 1], curve.im[i + 1]};
                const Point C{curve.re[i + 2], curve.im[i + 2]};
                const double abx = B.x - A.x, aby = B.y - A.y;
                const double bcx = C.x - B.x, bcy = C.y - B.y;
                const double dot = abx * bcx + aby * bcy;
                const double cross = abx * bcy - aby * bcx;
                // The true turn angle (atan2), so that reversals count as
                // sharp turns.
                if (dot == 0.0 || std::fabs(std::atan2(cross, dot)) > MAX_TURN_ANGLE) {
                    ++i;
                    continue;
                }
                const double ab = std::sqrt(abx * abx + aby * aby);
                const double scale = r / (200.0 * ab);
                const Point step{-aby * scale, abx * scale};
                if (!std::isfinite(step.x) || !std::isfinite(step.y)) {
                    ++i;
                    continue;
                }
                const int plus = locator.pointIn(A.x + step.x, A.y + step.y);
                const int minus = locator.pointIn(A.x - step.x, A.y - step.y);
                if (plus == minus) {
                    ++i;
                    continue;
                }
                const Point tp = marchSide(all, locator, A, step, +1.0, plus, near, other);
                const Point tm = marchSide(all, locator, A, step, -1.0, minus, near, other);
                const Point inner = plus == 1 ? tp : tm;
                const Point outer = plus == 1 ? tm : tp;
                const double di = distanceToCurve(inner.x, inner.y, curve.re, curve.im);
                const double dout = distanceToCurve(outer.x, outer.y, curve.re, curve.im);
                if (!best.any || di > best.innerDistance) {
                    best.inner = inner;
                    best.innerDistance = di;
                }
                if (!best.any || dout > best.outerDistance) {
                    best.outer = outer;
                    best.outerDistance = dout;
                }
                best.any = true;
                i += advance;
            }
            if (!best.any) continue;
            int code = CURVE_NONE;
            if (orbitReturns(map, best.outer, return2, settings)) code |= CURVE_IN;
            if (orbitReturns(map, best.inner, return2, settings)) code |= CURVE_OUT;
            curve.inOut = code;
        }
    }
    return true;
}

RotationDomains pairRotationDomains(const CurveSet& set) {
    RotationDomains domains;
    for (std::size_t oe = 0; oe < set.entries.size(); ++oe) {
        for (std::size_t oc = 0; oc < set.entries[oe].curves.size(); ++oc) {
            const ClosedCurve& O = set.entries[oe].curves[oc];
            if (O.inOut != CURVE_OUT) continue;
            int chosenEntry = -1, chosenCurve = -1;
            for (std::size_t ie = 0; ie < set.entries.size(); ++ie) {
                for (std::size_t ic = 0; ic < set.entries[ie].curves.size(); ++ic) {
                    const ClosedCurve& I = set.entries[ie].curves[ic];
                    if (I.inOut != CURVE_IN || !O.octagon.containsOctagon(I.octagon)) continue;
                    if (chosenEntry < 0 ||
                        !set.entries[chosenEntry].curves[chosenCurve].octagon.containsOctagon(I.octagon)) {
                        chosenEntry = static_cast<int>(ie);
                        chosenCurve = static_cast<int>(ic);
                    }
                }
            }
            if (chosenEntry >= 0) {
                domains.hermanRings.push_back(HermanRing{0, chosenEntry, chosenCurve,
                                                         static_cast<int>(oe), static_cast<int>(oc)});
            } else {
                domains.siegelDisks.push_back(SiegelDisk{0, static_cast<int>(oe), static_cast<int>(oc)});
            }
        }
    }
    return domains;
}

std::vector<RotationDomainGroup> groupRotationDomains(const RotationDomains& domains) {
    std::vector<RotationDomainGroup> groups;
    std::vector<bool> used(domains.siegelDisks.size(), false);
    for (std::size_t i = 0; i < domains.siegelDisks.size(); ++i) {
        if (used[i]) continue;
        RotationDomainGroup g;
        g.kind = common::ComponentKind::SiegelDisk;
        for (std::size_t j = i; j < domains.siegelDisks.size(); ++j) {
            if (!used[j] && domains.siegelDisks[j].entry == domains.siegelDisks[i].entry) {
                used[j] = true;
                g.members.push_back(static_cast<int>(j));
            }
        }
        groups.push_back(std::move(g));
    }
    used.assign(domains.hermanRings.size(), false);
    for (std::size_t i = 0; i < domains.hermanRings.size(); ++i) {
        if (used[i]) continue;
        const HermanRing& first = domains.hermanRings[i];
        RotationDomainGroup g;
        g.kind = common::ComponentKind::HermanRing;
        for (std::size_t j = i; j < domains.hermanRings.size(); ++j) {
            const HermanRing& h = domains.hermanRings[j];
            const bool same = (h.innerEntry == first.innerEntry && h.outerEntry == first.outerEntry) ||
                              (h.innerEntry == first.outerEntry && h.outerEntry == first.innerEntry);
            if (!used[j] && same) {
                used[j] = true;
                g.members.push_back(static_cast<int>(j));
            }
        }
        groups.push_back(std::move(g));
    }
    return groups;
}

}  // namespace analysis
