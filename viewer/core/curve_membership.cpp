#include "viewer/core/curve_membership.h"

namespace render {

namespace {

using common::CurveImageView;
using common::DiskArray;

bool inOctagon(double re, double im, const double* o) {
    const double sum = re + im;
    const double diff = re - im;
    return o[common::OCTAGON_MIN_RE] <= re && re <= o[common::OCTAGON_MAX_RE] &&
           o[common::OCTAGON_MIN_IM] <= im && im <= o[common::OCTAGON_MAX_IM] &&
           o[common::OCTAGON_MIN_SUM] <= sum && sum <= o[common::OCTAGON_MAX_SUM] &&
           o[common::OCTAGON_MIN_DIFF] <= diff && diff <= o[common::OCTAGON_MAX_DIFF];
}

bool inAnyDisk(double re, double im, const DiskArray& disks) {
    for (int i = 0; i < disks.count; ++i) {
        const double dx = re - disks.centreRe(i);
        const double dy = im - disks.centreIm(i);
        if (dx * dx + dy * dy < disks.radiusSquared(i)) return true;
    }
    return false;
}

}  // namespace

common::FarPoint imageFarPoint(const CurveImageView& image) {
    const double* o = image.octagon;
    return common::curveFarPoint(o[common::OCTAGON_MAX_RE], o[common::OCTAGON_MIN_RE],
                                 o[common::OCTAGON_MAX_IM], o[common::OCTAGON_MIN_IM]);
}

bool rayCrossingParity(double re, double im, const CurveImageView& image, const std::atomic<bool>* stop) {
    if (image.polyline.count < 2) return false;
    const common::PolygonView polygon =
        common::PolygonView::fromPairs(image.polyline.data, static_cast<std::size_t>(image.polyline.count));
    return common::rayCrossingParity(re, im, polygon, imageFarPoint(image), stop);
}

bool pointInCurveImage(double re, double im, const CurveImageView& image, const std::atomic<bool>* stop) {
    if (!inOctagon(re, im, image.octagon)) return false;
    if (inAnyDisk(re, im, image.innerDisks)) return true;
    if (inAnyDisk(re, im, image.outerDisks)) return false;
    return rayCrossingParity(re, im, image, stop);
}

bool pointInRing(double re, double im, const CurveImageView& inner, const CurveImageView& outer,
                 const std::atomic<bool>* stop) {
    if (!inOctagon(re, im, outer.octagon)) return false;
    if (inAnyDisk(re, im, inner.innerDisks)) return false;  // inside the inner curve

    if (!inOctagon(re, im, inner.octagon)) {
        if (inAnyDisk(re, im, outer.innerDisks)) return true;
        if (inAnyDisk(re, im, outer.outerDisks)) return false;
        return rayCrossingParity(re, im, outer, stop);
    }

    if (inAnyDisk(re, im, outer.outerDisks)) return false;
    if (inAnyDisk(re, im, inner.outerDisks)) {  // certainly outside the inner curve
        if (inAnyDisk(re, im, outer.innerDisks)) return true;
        return rayCrossingParity(re, im, outer, stop);
    }
    // rayCrossingParity answers false for z on the inner far point and on a
    // stop request, so both skip this test as they should.
    if (rayCrossingParity(re, im, inner, stop)) return false;
    if (inAnyDisk(re, im, outer.innerDisks)) return true;
    return rayCrossingParity(re, im, outer, stop);
}

}  // namespace render
