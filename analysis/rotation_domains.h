// Siegel disks and Herman rings from classified closed curves.
//
// Conventions
//  - classifyCurveSides probes both sides of every curve and iterates the
//    map from the deepest point found on each side; a side whose test orbit
//    comes back near its start three times after MAX_LOOP/2 steps behaves
//    like a rotation domain. Inner side returning: CURVE_OUT; outer side
//    returning: CURVE_IN (closed_curves.h).
//  - pairRotationDomains: a curve with inOut exactly CURVE_OUT bounds a
//    rotation domain from outside. When some curve with inOut exactly
//    CURVE_IN lies within its octagon, the two bound a Herman ring (the
//    innermost-chosen "In" curve and the "Out" curve); otherwise the "Out"
//    curve bounds a Siegel disk. Curves with code 3 (In & Out) or 0 take
//    part in no domain.
//  - Records refer to curves by CurveSet entry index and curve index.
//    `period` is 0 here; groupRotationDomains gives the per-group counts
//    that the block and the reports show as the period.
//
// Failure modes: the stop request (polled per curve and per probe) leaves
// the remaining curves at inOut 0. No exception leaves these functions.
//
// Thread-safety: reentrant; the stop flag is only read.
#pragma once

#include "analysis/analysis_settings.h"
#include "analysis/closed_curves.h"
#include "analysis/polynomial.h"
#include "common/block_layout.h"

#include <atomic>
#include <vector>

namespace analysis {

inline constexpr int SIDE_PROBE_STEPS = 200;          // a side is marched up to 199 normal steps
inline constexpr double MAX_TURN_ANGLE = 1.0471975511965976;  // pi/3
inline constexpr int RETURNS_NEEDED = 3;
inline constexpr int MIN_PROBE_POINTS = 4;             // curves of 3 points or fewer stay None

struct SiegelDisk {
    int period = 0;
    int entry = 0;  // CurveSet entry index
    int curve = 0;  // curve index within the entry
};

struct HermanRing {
    int period = 0;
    int innerEntry = 0, innerCurve = 0;  // the "In" curve (inner boundary)
    int outerEntry = 0, outerCurve = 0;  // the "Out" curve (outer boundary)
};

struct RotationDomains {
    std::vector<SiegelDisk> siegelDisks;
    std::vector<HermanRing> hermanRings;
};

// Writes `inOut` of every curve of every entry (see the file comment).
// Returns false when the stop request ended it early.
bool classifyCurveSides(CurveSet& curves, const RationalMap& map, const AnalysisSettings& settings,
                        const std::atomic<bool>* stop = nullptr);

RotationDomains pairRotationDomains(const CurveSet& curves);

// Groups as the analysis block stores them: a Siegel group is the first
// unused disk and every later one on the same CurveSet entry; a Herman group
// is the first unused ring and every later one joining the same two entries,
// in either order. `members` index into the RotationDomains lists.
struct RotationDomainGroup {
    common::ComponentKind kind = common::ComponentKind::SiegelDisk;  // or HermanRing
    std::vector<int> members;     // count = members.size()
};

std::vector<RotationDomainGroup> groupRotationDomains(const RotationDomains& domains);

}  // namespace analysis
