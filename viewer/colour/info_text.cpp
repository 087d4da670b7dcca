#include "viewer/colour/info_text.h"

#include "common/component_listing.h"
#include "common/ui_text.h"
#include "common/number_text.h"

#include <algorithm>

namespace colour {
namespace {

std::string pointLine(const PlanePoint& p) {
    return common::translate("Texts", "実部 ") + common::formatG16(p.re) + common::translate("Texts", " 虚部 ") +
           common::formatG16(p.im) + "\r\n";
}

std::string coefficientLine(const std::string& prefix, int degree, double re, double im) {
    return prefix + common::translate("Texts", "次数") + std::to_string(degree) + common::translate("Texts", " 実部 ") +
           common::formatG16(re) + common::translate("Texts", " 虚部") + common::formatG16(im) + "\r\n";
}

int boundedDegree(int degree) { return std::clamp(degree, -1, common::MAX_DEGREE); }

}  // namespace

std::string selectionListLabel(const common::ComponentView& component) {
    std::string label = common::componentListingLine(component);
    const bool domain = component.kind == static_cast<int>(common::ComponentKind::SiegelDisk) ||
                        component.kind == static_cast<int>(common::ComponentKind::HermanRing);
    if (component.valid && domain) label += ' ';
    return label;
}

PlaneRange pictureRange(int width, int height, double magnification, double centreRe,
                        double centreIm) {
    const double scale = static_cast<double>(width) * magnification;
    const int a = width / 2;
    const int b = height / 2;
    PlaneRange r;
    r.reMin = -a / scale + centreRe;
    r.reMax = a / scale + centreRe;
    r.imMin = -b / scale + centreIm;
    r.imMax = b / scale + centreIm;
    return r;
}

std::string rangeText(const PictureInfo& info) {
    const PlaneRange r =
        pictureRange(info.width, info.height, info.magnification, info.centreRe, info.centreIm);
    return common::translate("Texts", "実部 ") + common::formatG16(r.reMin) + common::translate("Texts", " ～ ") +
           common::formatG16(r.reMax) + "\r\n" + common::translate("Texts", "虚部 ") + common::formatG16(r.imMin) +
           common::translate("Texts", " ～ ") + common::formatG16(r.imMax);
}

std::string pointListText(const std::vector<PlanePoint>& points) {
    std::string text;
    for (const PlanePoint& p : points) text += pointLine(p);
    return text;
}

const std::vector<PlanePoint>& listedCriticalPoints(const PictureInfo& info) {
    return info.isJulia() ? info.criticalPoints : info.frontEndCriticalPoints;
}

std::string componentsText(const PictureInfo& info) {
    std::string text;
    if (!info.isJulia()) return text;
    if (const auto infinity = common::infinityListingLine(info.map)) text += *infinity + "\r\n";
    for (const common::ComponentView& component : info.components)
        text += common::componentListingLine(component) + "\r\n";
    return text;
}

std::string formulaText(const common::RationalMap& map) {
    std::string text;
    if (map.form == common::FORM_POLYNOMIAL) {
        for (int k = 0; k <= boundedDegree(map.numeratorDegree); ++k)
            text += coefficientLine("", k, map.numeratorRe[k], map.numeratorIm[k]);
    } else if (map.form == common::FORM_RATIONAL) {
        const std::string numerator = common::translate("Texts", "分子　");  // ideographic space
        const std::string denominator = common::translate("Texts", "分母　");
        for (int k = 0; k <= boundedDegree(map.numeratorDegree); ++k)
            text += coefficientLine(numerator, k, map.numeratorRe[k], map.numeratorIm[k]);
        for (int k = 0; k <= boundedDegree(map.denominatorDegree); ++k)
            text += coefficientLine(denominator, k, map.denominatorRe[k], map.denominatorIm[k]);
    } else {
        text += common::translate("Texts", "不正種別") + std::to_string(map.form) + "\r\n";
    }
    return text;
}

}  // namespace colour
