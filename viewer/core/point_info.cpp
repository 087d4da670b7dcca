#include "viewer/core/point_info.h"

#include <cstdio>

#include "common/number_text.h"
#include "common/ui_text.h"

namespace viewer {

PlanePoint windowToPlane(int x, int y, int width, int height, double magnification, double centreRe,
                         double centreIm) {
    const double scale = static_cast<double>(width) * magnification;
    return {static_cast<double>(x - width / 2) / scale + centreRe,
            static_cast<double>(height / 2 - y) / scale + centreIm};
}

std::string mousePositionText(PlanePoint p) {
    return common::formatG16(p.re) + "  " + common::formatG16(p.im);
}

namespace {

std::string format1(const char* format, int a) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, common::translate("Texts", format).c_str(), a);
    return buffer;
}

std::string format2(const char* format, int a, int b) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, common::translate("Texts", format).c_str(), a, b);
    return buffer;
}

std::string cycleText(const common::ComponentView& entry) {
    static const char* const fixedTexts[] = {
        QT_TRANSLATE_NOOP("Texts", "不動点 S_ATTRACTING  "), QT_TRANSLATE_NOOP("Texts", "不動点 ATTRACTING  "),
        QT_TRANSLATE_NOOP("Texts", "不動点 INDIFFERENT  "), QT_TRANSLATE_NOOP("Texts", "不動点 REPELLING")};
    static const char* const periodicTexts[] = {QT_TRANSLATE_NOOP("Texts", "周期点 周期%d S_ATTRACTING  "),
                                                QT_TRANSLATE_NOOP("Texts", "周期点 周期%d ATTRACTING  "),
                                                QT_TRANSLATE_NOOP("Texts", "周期点 周期%d INDIFFERENT  "),
                                                QT_TRANSLATE_NOOP("Texts", "周期点 周期%d REPELLING  ")};
    if (entry.pointKind < 0 || entry.pointKind > 3)
        return format1(QT_TRANSLATE_NOOP("Texts", "周期点 周期%d 不正種別  "), entry.count);
    if (entry.count == 1) return common::translate("Texts", fixedTexts[entry.pointKind]);
    return format1(periodicTexts[entry.pointKind], entry.count);
}

}  // namespace

std::string componentText(int code, const std::vector<common::ComponentView>& entries) {
    if (code == common::COMPONENT_INFINITY) return common::translate("Texts", "無限遠  ");
    if (code < 0 || code > static_cast<int>(entries.size())) return common::translate("Texts", "不明  ");
    const common::ComponentView& entry = entries[static_cast<std::size_t>(code - 1)];
    switch (entry.kind) {
        case static_cast<int>(common::ComponentKind::Cycle): return cycleText(entry);
        case static_cast<int>(common::ComponentKind::SiegelDisk):
            return format1(QT_TRANSLATE_NOOP("Texts", "SiegelDisk 周期%d "), entry.count);
        case static_cast<int>(common::ComponentKind::HermanRing):
            return format1(QT_TRANSLATE_NOOP("Texts", "HermanRing 周期%d "), entry.count);
        default: return format2(QT_TRANSLATE_NOOP("Texts", "データ不正 不正種別%d 周期%d"), entry.kind, entry.count);
    }
}

std::string pointInfoText(bool juliaPicture, int iterationCount, int code,
                          const std::vector<common::ComponentView>& entries) {
    const std::string number = format1(QT_TRANSLATE_NOOP("Texts", "番号 %d"), iterationCount);
    if (!juliaPicture) return number;
    return componentText(code, entries) + number;
}

}  // namespace viewer
