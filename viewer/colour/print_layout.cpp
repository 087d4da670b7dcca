#include "viewer/colour/print_layout.h"

#include "common/number_text.h"
#include "common/ui_text.h"
#include "viewer/colour/info_text.h"

#include <algorithm>
#include <cmath>

namespace colour {
namespace {

constexpr double MM_PER_INCH = 25.4;

std::string pointLine(const PlanePoint& p) {
    return common::translate("Texts", "  実部 ") + common::formatG16(p.re) + common::translate("Texts", " 虚部 ") +
           common::formatG16(p.im) + "\n";
}

// Lines for the coefficients that are not exactly zero, degree 0 upwards.
void appendNonZeroCoefficients(std::string& text, const std::string& prefix, int degree,
                               const double* re, const double* im) {
    degree = std::clamp(degree, -1, common::MAX_DEGREE);
    for (int k = 0; k <= degree; ++k) {
        if (re[k] == 0.0 && im[k] == 0.0) continue;
        text += prefix + common::translate("Texts", "次数") + std::to_string(k) + common::translate("Texts", " 実部 ") +
                common::formatG16(re[k]) + common::translate("Texts", " 虚部") + common::formatG16(im[k]) + "\n";
    }
}

void appendFormula(std::string& text, const common::RationalMap& map) {
    text += common::translate("Texts", "式\n");
    if (map.form == common::FORM_POLYNOMIAL) {
        appendNonZeroCoefficients(text, "  ", map.numeratorDegree, map.numeratorRe,
                                  map.numeratorIm);
    } else if (map.form == common::FORM_RATIONAL) {
        appendNonZeroCoefficients(text, common::translate("Texts", "  分子　"), map.numeratorDegree, map.numeratorRe,
                                  map.numeratorIm);
        appendNonZeroCoefficients(text, common::translate("Texts", "  分母　"), map.denominatorDegree,
                                  map.denominatorRe, map.denominatorIm);
    } else {
        text += common::translate("Texts", "  不正種別") + std::to_string(map.form) + "\n";
    }
}

// Keeps whole lines only, so a cut never leaves half a number on the page.
std::string cutAtLastWholeLine(const std::string& text) {
    if (text.size() <= MAX_PRINT_TEXT_BYTES) return text;
    const std::size_t lastBreak = text.rfind('\n', MAX_PRINT_TEXT_BYTES - 1);
    if (lastBreak != std::string::npos) return text.substr(0, lastBreak + 1);
    return common::cutUtf8(text, MAX_PRINT_TEXT_BYTES);
}

}  // namespace

std::string commentFromField(const std::string& fieldText) {
    if (fieldText.empty()) return {};
    std::string comment;
    comment.reserve(fieldText.size() + 1);
    for (std::size_t i = 0; i < fieldText.size(); ++i) {
        const char c = fieldText[i];
        if (c == '\r') {
            if (i + 1 < fieldText.size() && fieldText[i + 1] == '\n') ++i;
            comment += '\n';
        } else {
            comment += c;
        }
    }
    comment += '\n';  // the last line ends like the others
    return comment;
}

std::string assemblePrintText(const PictureInfo& info, const PrintOptions& options) {
    std::string text;
    if (options.printFormula) appendFormula(text, info.map);
    if (options.printRange) {
        const PlaneRange r =
            pictureRange(info.width, info.height, info.magnification, info.centreRe, info.centreIm);
        text += common::translate("Texts", "表示範囲\n  実部 ") + common::formatG16(r.reMin) +
                common::translate("Texts", " ～ ") + common::formatG16(r.reMax) +
                common::translate("Texts", "\n  虚部 ") + common::formatG16(r.imMin) +
                common::translate("Texts", " ～ ") + common::formatG16(r.imMax) + "\n";
    }
    if (options.printLoopCount)
        text += common::translate("Texts", "ループ回数 ") + std::to_string(info.loopCount) + "\n";
    if (options.printFixedPoints) {
        text += common::translate("Texts", "不動点\n");
        for (const PlanePoint& p : info.fixedPoints) text += pointLine(p);
    }
    if (options.printCriticalPoints) {
        text += common::translate("Texts", "クリティカルポイント\n");
        for (const PlanePoint& p : info.criticalPoints) text += pointLine(p);
    }
    text += options.comment;
    return cutAtLastWholeLine(text);
}

int marginToDevice(int marginMm, double dotsPerInchX) {
    marginMm = std::clamp(marginMm, 0, MAX_MARGIN_MM);
    if (!(dotsPerInchX > 0) || !std::isfinite(dotsPerInchX)) return 0;
    return static_cast<int>(std::lround(marginMm * dotsPerInchX / MM_PER_INCH));
}

PageLayout computePageLayout(const DeviceRect& page, int margin, int pictureWidth,
                             int pictureHeight, int textWidth, int textHeight) {
    PageLayout layout;
    const int x0 = page.left + margin;
    const int y0 = page.top + margin;
    const int x1 = page.right - margin;
    const int y1 = page.bottom - margin;
    layout.printable = {x0, y0, x1, y1};
    const int aw = x1 - x0;
    const int ah = y1 - y0;
    const int tw = std::max(textWidth, 0);
    const int th = std::max(textHeight, 0);
    const bool hasText = tw > 0 || th > 0;

    if (aw <= 0 || ah <= 0) {  // the margins eat the page
        layout.textClipped = hasText;
        return layout;
    }

    // The scale factors of the layout are ratios of whole numbers; working
    // with the products keeps "fills the width" exact (no 4959 for 4960).
    const long long W = pictureWidth;
    const long long H = pictureHeight;
    long long pw = 0;
    long long ph = 0;
    const bool pictureHasSize = W > 0 && H > 0;
    if (pictureHasSize) {
        if (static_cast<long long>(aw) * H > W * ah) {  // aw / ah > W / H
            layout.placement = TextPlacement::Beside;
            pw = W * ah / H;
            ph = ah;
        } else {
            layout.placement = TextPlacement::Below;
            pw = aw;
            ph = H * aw / W;
        }
    }

    if (layout.placement == TextPlacement::Beside) {
        if (tw + pw > aw) {
            pw = static_cast<long long>(aw) - tw;
            ph = pw * H / W;
        }
    } else if (pictureHasSize && th + ph > ah) {
        ph = static_cast<long long>(ah) - th;
        pw = ph * W / H;
    }

    layout.drawPicture = pictureHasSize && pw > 0 && ph > 0;
    // A picture squeezed out by the text leaves the whole area to the text.
    pw = std::max(pw, 0LL);
    ph = std::max(ph, 0LL);
    if (layout.drawPicture)
        layout.picture = {x0, y0, x0 + static_cast<int>(pw), y0 + static_cast<int>(ph)};

    if (!hasText) return layout;
    layout.drawText = true;
    if (layout.placement == TextPlacement::Beside) {
        const int left = x0 + static_cast<int>(pw);
        if (th < ah) {
            layout.text = {left, y0, left + tw, y0 + th};
        } else {
            layout.text = {left, y0, x1, y1};
            layout.textClipped = true;
        }
    } else {
        const int top = y0 + static_cast<int>(ph);
        if (tw < aw) {
            layout.text = {x0, top, x0 + tw, top + th};
        } else {
            layout.text = {x0, top, x1, y1};
            layout.textClipped = true;
        }
    }
    // Only a text that leaves no room for the picture reaches past the area.
    if (layout.text.right > x1) {
        layout.text.right = x1;
        layout.textClipped = true;
    }
    if (layout.text.bottom > y1) {
        layout.text.bottom = y1;
        layout.textClipped = true;
    }
    return layout;
}

}  // namespace colour
