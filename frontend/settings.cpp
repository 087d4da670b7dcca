#include "frontend/settings.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace frontend {
namespace {

int readInt(const std::optional<std::string>& text, int low, int high, int fallback) {
    if (!text) return fallback;
    const auto value = common::parseIntSaturating(*text);
    if (!value || *value < low || *value > high) return fallback;
    return static_cast<int>(*value);
}

double readPositive(const std::optional<std::string>& text, double fallback) {
    if (!text) return fallback;
    const auto value = common::parseDouble(*text);
    if (!value || !(*value > 0)) return fallback;
    return *value;
}

// True when the value survives its own text form as a positive number.
bool storableTolerance(double value) {
    if (!std::isfinite(value) || !(value > 0)) return false;
    const auto back = common::parseDouble(formatSettingDouble(value));
    return back && *back > 0;
}

}  // namespace

std::string formatSettingInt(int value) { return std::to_string(value); }

std::string formatSettingDouble(double value) { return common::formatFixed16Trimmed(value); }

std::array<SettingText, SETTING_COUNT> formatSettings(const Settings& s) {
    return {{{SETTING_MAX_LOOP, formatSettingInt(s.maxLoop)},
             {SETTING_SIEGELFLG, formatSettingInt(s.siegelFlag)},
             {SETTING_CONV_EPS, formatSettingDouble(s.convEps)},
             {SETTING_CONT_EPS, formatSettingDouble(s.contEps)},
             {SETTING_INOUT_EPS, formatSettingDouble(s.inoutEps)},
             {SETTING_SIZEX, formatSettingInt(s.sizeX)},
             {SETTING_SIZEY, formatSettingInt(s.sizeY)}}};
}

Settings parseSettings(const std::function<std::optional<std::string>(const char* name)>& lookup) {
    Settings s;
    s.maxLoop = readInt(lookup(SETTING_MAX_LOOP), 0, MAX_LOOP_LIMIT, DEFAULT_MAX_LOOP);
    s.siegelFlag = readInt(lookup(SETTING_SIEGELFLG), 0, 1, DEFAULT_SIEGEL_FLAG);
    s.convEps = readPositive(lookup(SETTING_CONV_EPS), DEFAULT_CONV_EPS);
    s.contEps = readPositive(lookup(SETTING_CONT_EPS), DEFAULT_CONT_EPS);
    s.inoutEps = readPositive(lookup(SETTING_INOUT_EPS), DEFAULT_INOUT_EPS);
    s.sizeX = readInt(lookup(SETTING_SIZEX), PICTURE_SIZE_MIN, PICTURE_SIZE_MAX, DEFAULT_PICTURE_SIZE);
    s.sizeY = readInt(lookup(SETTING_SIZEY), PICTURE_SIZE_MIN, PICTURE_SIZE_MAX, DEFAULT_PICTURE_SIZE);
    return s;
}

std::string filterLoopCountText(std::string_view text, int* caret) {
    std::string digits;
    int newCaret = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') continue;
        digits.push_back(c);
        if (caret && static_cast<int>(i) < *caret) ++newCaret;
    }
    if (const auto value = common::parseIntSaturating(digits); value && *value > MAX_LOOP_LIMIT) {
        digits = formatSettingInt(MAX_LOOP_LIMIT);
        newCaret = static_cast<int>(digits.size());
    }
    if (caret) *caret = std::min(newCaret, static_cast<int>(digits.size()));
    return digits;
}

double acceptTolerance(std::string_view text, std::string_view shownText, double shownValue,
                       double previous) {
    if (text == shownText) return shownValue;
    const auto value = common::parseDouble(text);
    if (!value || !storableTolerance(*value)) return previous;
    return *value;
}

int acceptLoopCount(std::string_view text, std::string_view shownText, int shownValue, int previous) {
    if (text == shownText) return shownValue;
    const auto value = common::parseIntSaturating(text);
    if (!value) return previous;
    return static_cast<int>(std::clamp<long long>(*value, 0, MAX_LOOP_LIMIT));
}

}  // namespace frontend
