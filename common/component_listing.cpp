#include "common/component_listing.h"
#include "common/ui_text.h"

#include <algorithm>

namespace common {

const char* pointKindWord(int pointKind) {
    switch (pointKind) {
    case static_cast<int>(PointKind::SuperAttracting): return "S_ATTRACTING";
    case static_cast<int>(PointKind::Attracting): return "ATTRACTING";
    case static_cast<int>(PointKind::Indifferent): return "INDIFFERENT";
    case static_cast<int>(PointKind::Repelling): return "REPELLING";
    default: return nullptr;
    }
}

std::optional<std::string> infinityListingLine(const RationalMap& map) {
    const std::string SUPER = common::translate("Texts", "無限遠 S_ATTRACTING");
    if (map.form == FORM_POLYNOMIAL) return SUPER;
    if (map.form != FORM_RATIONAL) return std::nullopt;
    const int p = std::clamp(map.numeratorDegree, -1, MAX_DEGREE);
    const int q = std::clamp(map.denominatorDegree, -1, MAX_DEGREE);
    if (p > q + 1) return SUPER;
    if (p != q + 1 || q < 0) return std::nullopt;
    // Multiplier at infinity: (denominator's top coefficient) / (numerator's).
    const double qq = map.denominatorRe[q] * map.denominatorRe[q] + map.denominatorIm[q] * map.denominatorIm[q];
    const double pp = map.numeratorRe[p] * map.numeratorRe[p] + map.numeratorIm[p] * map.numeratorIm[p];
    const double modulusSquared = qq / pp;
    if (modulusSquared < 1.0) return std::string(common::translate("Texts", "無限遠 ATTRACTING"));
    if (modulusSquared == 1.0) return std::string(common::translate("Texts", "無限遠 INDIFFERENT"));
    return std::nullopt;
}

std::string componentListingLine(const ComponentView& c) {
    const std::string count = std::to_string(c.count);
    if (!c.valid)
        return common::translate("Texts", "データ不正 不正種別") + std::to_string(c.kind) +
               common::translate("Texts", " 周期") + count;
    switch (c.componentKind()) {
    case ComponentKind::Cycle: {
        const char* word = pointKindWord(c.pointKind);
        if (!word) return common::translate("Texts", "周期点 周期") + count + common::translate("Texts", " 不正種別");
        if (c.count == 1) return std::string(common::translate("Texts", "不動点 ")) + word;
        return common::translate("Texts", "周期点 周期") + count + " " + word;
    }
    case ComponentKind::SiegelDisk: return common::translate("Texts", "SiegelDisk 周期") + count;
    case ComponentKind::HermanRing: return common::translate("Texts", "HermanRing 周期") + count;
    }
    return common::translate("Texts", "データ不正 不正種別") + std::to_string(c.kind) +
           common::translate("Texts", " 周期") + count;
}

std::vector<std::string> componentListing(const AnalysisBlockView& block) {
    std::vector<std::string> lines;
    if (auto infinity = infinityListingLine(block.map)) lines.push_back(*infinity);
    for (const ComponentView& c : block.components) lines.push_back(componentListingLine(c));
    return lines;
}

}  // namespace common
