#include "viewer/colour/picture_info.h"

namespace colour {
namespace {

std::vector<PlanePoint> criticalPointsOf(const common::CriticalPointList& list) {
    std::vector<PlanePoint> points;
    for (int i = 0; i < list.count; ++i) points.push_back({list.re[i], list.im[i]});
    return points;
}

}  // namespace

PictureInfo pictureInfoFromBlocks(const common::AnalysisBlockView& block,
                                  const common::FrontEndBlockView* frontEnd) {
    PictureInfo info;
    info.pictureKind = block.pictureKind;
    info.map = block.map;
    info.criticalPoints = criticalPointsOf(block.criticalPoints);
    if (frontEnd) info.frontEndCriticalPoints = criticalPointsOf(frontEnd->criticalPoints);
    for (int i = 0; i < block.fixedPoints.count; ++i)
        info.fixedPoints.push_back({block.fixedPoints.re[i], block.fixedPoints.im[i]});
    info.components = block.components;
    if (block.header) {
        const common::ViewRecord& view = block.header->currentView;
        info.loopCount = view.loopCount;
        info.convergenceRadius = view.convergenceRadius;
        info.width = view.pictureWidth;
        info.height = view.pictureHeight;
        info.magnification = view.magnification;
        info.centreRe = view.centreRe;
        info.centreIm = view.centreIm;
    }
    return info;
}

}  // namespace colour
