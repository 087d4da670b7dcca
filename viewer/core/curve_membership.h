// Membership of a plane point in the rotation domains of a Julia picture:
// inside a Siegel disk's closed curve, or between the two curves of a
// Herman ring.
//
// Conventions
//  - Curves come from the analysis block as checked CurveImageViews
//    (common/block_reader.h): their disk and polyline arrays are known to
//    lie inside the mapping, so nothing here checks offsets again.
//  - The octagon bounds are inclusive; a disk decides a point only when the
//    point lies strictly inside it (squared distance below the squared
//    radius). Inner disks lie wholly inside the curve, outer disks wholly
//    outside it.
//  - The crossing count and the far point are the analysis engine's own
//    (common/curve_crossing.h), so the viewer classifies every point as the
//    analysis did. A polygon with fewer than two vertices contains nothing.
//  - A Herman ring is the pair (A = inner "In" curve, B = outer "Out" curve).
//
// Failure modes: `stop` (may be null) is polled before every polygon edge; a
// stop request makes the pending crossing count answer "outside".
//
// Thread-safety: pure functions of their arguments; nothing is written.
#pragma once

#include <atomic>

#include "common/block_reader.h"
#include "common/curve_crossing.h"

namespace render {

// The closed segments a1-a2 and b1-b2 have a common point (the shared
// routine; collinear segments never cross, end points count).
using common::segmentsCross;

// The far end of an image's test ray.
common::FarPoint imageFarPoint(const common::CurveImageView& image);

// Odd number of polygon edges crossed by the segment from z to the image's
// far point; a z equal to the far point, a short polygon or a stop request
// give false.
bool rayCrossingParity(double re, double im, const common::CurveImageView& image,
                       const std::atomic<bool>* stop);

// z inside the curve: octagon, then inner disks (inside), outer disks
// (outside), then the crossing count.
bool pointInCurveImage(double re, double im, const common::CurveImageView& image,
                       const std::atomic<bool>* stop);

// z inside the outer curve B and not inside the inner curve A.
bool pointInRing(double re, double im, const common::CurveImageView& inner,
                 const common::CurveImageView& outer, const std::atomic<bool>* stop);

}  // namespace render
