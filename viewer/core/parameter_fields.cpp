#include "viewer/core/parameter_fields.h"

#include <charconv>
#include <climits>
#include <cstdio>

#include "common/number_text.h"
#include "common/ui_text.h"
#include "viewer/core/control_ids.h"

namespace viewer {

std::size_t numericValidLength(std::string_view text) {
    bool pointSeen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') continue;
        if (c == '.' && !pointSeen) {
            pointSeen = true;
            continue;
        }
        if (c == '-' && i == 0) continue;
        return i;
    }
    return text.size();
}

std::string formatBarReal(double value) {
    // std::to_chars is locale-independent, unlike printf under a Qt program
    // that has called setlocale.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return "0";
    std::string text(buffer, result.ptr);
    const auto point = text.find('.');
    if (point != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

std::string formatBarInt(int value) { return std::to_string(value); }

std::optional<double> readBarReal(std::string_view text) { return common::parseDouble(text); }

std::optional<int> readBarInt(std::string_view text) {
    const auto value = common::parseIntSaturating(text);
    if (!value) return std::nullopt;
    if (*value > INT_MAX) return INT_MAX;
    if (*value < INT_MIN) return INT_MIN;
    return static_cast<int>(*value);
}

LimitedValue limitPictureSize(int value) {
    if (value < 0) return {1, true};
    if (value > MAX_PICTURE_SIZE) return {MAX_PICTURE_SIZE, true};
    return {value, false};
}

LimitedValue limitLoopCount(int value) {
    if (value < 0) return {0, true};
    if (value > MAX_LOOP_COUNT) return {MAX_LOOP_COUNT, true};
    return {value, false};
}

namespace {
std::string withLimit(const char* format, int limit) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, common::translate("Texts", format).c_str(), limit);
    return buffer;
}
}  // namespace

std::optional<std::string> drawStartProblem(const common::ViewRecord& view) {
    if (view.pictureWidth <= 0 || view.pictureWidth > MAX_PICTURE_SIZE)
        return withLimit(QT_TRANSLATE_NOOP("Texts", "画面サイズ横が０です。1以上%d以下にしてください。"),
                         MAX_PICTURE_SIZE);
    if (view.pictureHeight <= 0 || view.pictureHeight > MAX_PICTURE_SIZE)
        return withLimit(QT_TRANSLATE_NOOP("Texts", "画面サイズ縦が０です。1以上%d以下にしてください。"),
                         MAX_PICTURE_SIZE);
    if (view.loopCount <= 0)
        return withLimit(QT_TRANSLATE_NOOP("Texts", "ループ回数が０です。1以上%d以下にしてください。"), MAX_LOOP_COUNT);
    // Written as a negated comparison so that a NaN radius is refused too.
    if (!(view.convergenceRadius > 0.0))
        return common::translate("Texts", "収束半径が０です。0より大きくしてください。");
    return std::nullopt;
}

}  // namespace viewer
