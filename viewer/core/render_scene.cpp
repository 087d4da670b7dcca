#include "viewer/core/render_scene.h"

#include "viewer/core/render_workers.h"

namespace render {

namespace {

Polynomial toPolynomial(int degree, const double* re, const double* im) {
    Polynomial p;
    p.degree = degree < -1 ? -1 : (degree > common::MAX_DEGREE ? common::MAX_DEGREE : degree);
    for (int k = 0; k < common::COEFFICIENT_COUNT; ++k) {
        p.re[k] = re[k];
        p.im[k] = im[k];
    }
    return p;
}

FastPath fastPathFor(int form, const Polynomial& p) {
    if (form != common::FORM_POLYNOMIAL || p.degree != 2) return FastPath::None;
    if (p.re[2] != 1.0 || p.im[2] != 0.0 || p.re[1] != 0.0 || p.im[1] != 0.0) return FastPath::None;
    return (p.re[0] == 0.0 && p.im[0] == 0.0) ? FastPath::Square : FastPath::SquarePlusConstant;
}

void addComponents(const common::AnalysisBlockView& analysis, RenderScene& s) {
    s.componentCount = static_cast<int>(analysis.components.size());
    if (s.componentCount > common::MAX_WRITTEN_COMPONENTS) s.componentCount = common::MAX_WRITTEN_COMPONENTS;
    for (int i = 0; i < s.componentCount; ++i) {
        const common::ComponentView& c = analysis.components[static_cast<std::size_t>(i)];
        SceneComponent sc;
        if (!c.valid) {
            sc.test = ComponentTest::Invalid;
        } else if (c.componentKind() == common::ComponentKind::Cycle) {
            sc.test = ComponentTest::Cycle;
            sc.first = static_cast<int>(s.cycleRe.size());
            sc.count = c.cyclePoints.count;
            for (int k = 0; k < c.cyclePoints.count; ++k) {
                s.cycleRe.push_back(c.cyclePoints.re(k));
                s.cycleIm.push_back(c.cyclePoints.im(k));
                s.cycleCode.push_back(i + 1);
            }
        } else {
            const bool ring = c.componentKind() == common::ComponentKind::HermanRing;
            sc.test = ring ? ComponentTest::HermanRing : ComponentTest::SiegelDisk;
            sc.first = static_cast<int>(s.images.size());
            sc.count = ring ? static_cast<int>(c.images.size() / 2) : static_cast<int>(c.images.size());
            s.images.insert(s.images.end(), c.images.begin(), c.images.end());
        }
        if (sc.test != ComponentTest::Cycle) s.cyclesOnly = false;
        s.components.push_back(sc);
    }
}

void addMandelbrotInputs(const common::AnalysisBlockView& analysis, const common::FrontEndBlock* frontEnd,
                         RenderScene& s) {
    s.pRe = analysis.fixedPoints.re[0];
    s.pIm = analysis.fixedPoints.im[0];
    if (frontEnd == nullptr) {
        s.numerator = Polynomial{};
        s.denominator = Polynomial{};
        s.selectedCount = 0;
        s.escapeAtInfinity = true;
        return;
    }
    const common::RationalMap map = common::checkedMap(frontEnd->currentMap);
    const common::CriticalPointList critical = common::checkedCriticalPoints(frontEnd->criticalPoints);
    s.numerator = toPolynomial(map.numeratorDegree, map.numeratorRe, map.numeratorIm);
    s.denominator = toPolynomial(map.denominatorDegree, map.denominatorRe, map.denominatorIm);
    s.escapeAtInfinity = s.form == common::FORM_POLYNOMIAL || map.numeratorDegree > map.denominatorDegree;
    s.selectedCount = 0;
    for (int i = 0; i < critical.count; ++i) {
        if (critical.selected[i] == 0) continue;
        s.criticalRe[s.selectedCount] = critical.re[i];
        s.criticalIm[s.selectedCount] = critical.im[i];
        ++s.selectedCount;
    }
}

}  // namespace

SceneStatus buildScene(const common::AnalysisBlockView& analysis, const common::ViewRecord& view,
                       const common::FrontEndBlock* frontEnd, const RenderOptions& options, RenderScene& out) {
    RenderScene s;
    const int pictureWidth = view.pictureWidth;
    const int pictureHeight = view.pictureHeight;
    const int limit = options.tile ? MAX_TILED_PICTURE_SIZE : MAX_PICTURE_SIZE;
    if (pictureWidth < 1 || pictureWidth > limit) return SceneStatus::BadWidth;
    if (pictureHeight < 1 || pictureHeight > limit) return SceneStatus::BadHeight;
    s.width = pictureWidth;
    s.height = pictureHeight;
    if (const auto& t = options.tile) {
        if (t->width < 1 || t->width > MAP_SIZE || t->x0 < 0 || t->x0 > pictureWidth - t->width)
            return SceneStatus::BadWidth;
        if (t->height < 1 || t->height > MAP_SIZE || t->y0 < 0 || t->y0 > pictureHeight - t->height)
            return SceneStatus::BadHeight;
        s.width = t->width;
        s.height = t->height;
        s.originX = t->x0;
        s.originY = t->y0;
    }
    s.halfWidth = pictureWidth / 2;
    s.halfHeight = pictureHeight / 2;
    s.loopCount = view.loopCount;
    s.rr = view.convergenceRadius * view.convergenceRadius;
    s.escapeRadiusSquared = 1.0 / s.rr;
    s.scale = static_cast<double>(pictureWidth) * view.magnification;
    s.centreRe = view.centreRe;
    s.centreIm = view.centreIm;

    s.type = analysis.pictureKind == static_cast<char>(common::PictureKind::Julia) ? PictureType::Julia
                                                                                   : PictureType::Mandelbrot;
    s.form = analysis.map.form;

    if (s.type == PictureType::Julia) {
        s.numerator = toPolynomial(analysis.map.numeratorDegree, analysis.map.numeratorRe, analysis.map.numeratorIm);
        s.denominator =
            toPolynomial(analysis.map.denominatorDegree, analysis.map.denominatorRe, analysis.map.denominatorIm);
        addComponents(analysis, s);
    } else {
        addMandelbrotInputs(analysis, frontEnd, s);
    }
    s.fastPath = options.fastPaths ? fastPathFor(s.form, s.numerator) : FastPath::None;
    s.lanes = options.lanes;
    s.threads = options.threads > 0 ? options.threads : renderThreadCount();
    out = std::move(s);
    return SceneStatus::Ready;
}

}  // namespace render
