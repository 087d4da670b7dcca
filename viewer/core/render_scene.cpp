#include "viewer/core/render_scene.h"

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
    s.width = view.pictureWidth;
    s.height = view.pictureHeight;
    if (s.width < 1 || s.width > MAX_PICTURE_SIZE) return SceneStatus::BadWidth;
    if (s.height < 1 || s.height > MAX_PICTURE_SIZE) return SceneStatus::BadHeight;
    s.halfWidth = s.width / 2;
    s.halfHeight = s.height / 2;
    s.loopCount = view.loopCount;
    s.rr = view.convergenceRadius * view.convergenceRadius;
    s.escapeRadiusSquared = 1.0 / s.rr;
    s.scale = static_cast<double>(s.width) * view.magnification;
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
    out = std::move(s);
    return SceneStatus::Ready;
}

}  // namespace render
