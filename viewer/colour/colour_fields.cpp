#include "viewer/colour/colour_fields.h"

#include "common/number_text.h"
#include "common/ui_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace colour {
namespace {

std::string rowMessage(const char* format, int row, long long n, long long limit) {
    return common::formatText(format, row, n, limit);
}

int toInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

}  // namespace

int cycleRangeTop(const common::ComponentColour& record) {
    const long long range = static_cast<long long>(record.highCount) - record.lowCount;
    return toInt(std::max<long long>(1, range));
}

std::optional<FieldValue> cycleFieldValue(const std::string& text,
                                          const common::ComponentColour& record) {
    const auto parsed = common::parseIntSaturating(text);
    if (!parsed) return std::nullopt;
    const long long range = static_cast<long long>(record.highCount) - record.lowCount;
    if (*parsed > range) {
        const int top = cycleRangeTop(record);
        return FieldValue{top, true, std::to_string(top)};
    }
    if (*parsed <= 0) return FieldValue{1, true, "1"};
    return FieldValue{toInt(*parsed), false, {}};
}

std::optional<FieldValue> distortionFieldValue(const std::string& text) {
    const auto parsed = common::parseIntSaturating(text);
    if (!parsed) return std::nullopt;
    if (*parsed > MAX_DISTORTION) return FieldValue{MAX_DISTORTION, true, std::to_string(MAX_DISTORTION)};
    if (*parsed < MIN_DISTORTION) return FieldValue{MIN_DISTORTION, true, std::to_string(MIN_DISTORTION)};
    return FieldValue{static_cast<int>(*parsed), false, {}};
}

std::optional<FieldValue> colourFieldValue(const std::string& text) {
    const auto parsed = common::parseIntSaturating(text);
    if (!parsed) return std::nullopt;
    if (*parsed > MAX_CHANNEL_VALUE) return FieldValue{MAX_CHANNEL_VALUE, true, "255"};
    if (*parsed < 0) return FieldValue{0, true, "0"};
    return FieldValue{static_cast<int>(*parsed), false, {}};
}

std::optional<std::string> exceptionNumberCorrection(const std::string& text,
                                                     const common::ComponentColour& record) {
    if (text.empty()) return std::nullopt;
    const auto parsed = common::parseIntSaturating(text);
    if (!parsed) return std::nullopt;
    if (*parsed > record.highCount) return std::to_string(record.highCount);
    return std::nullopt;
}

ExceptionRowTexts exceptionRowTexts(const common::ComponentColour& record) {
    ExceptionRowTexts texts;
    for (int i = 0; i < common::EXCEPTION_ROW_COUNT; ++i) {
        const common::ExceptionColour& row = record.exceptions[i];
        texts[i].number = row.number >= 0 ? std::to_string(row.number) : std::string();
        texts[i].red = std::to_string(row.red & 0xFF);
        texts[i].green = std::to_string(row.green & 0xFF);
        texts[i].blue = std::to_string(row.blue & 0xFF);
    }
    return texts;
}

ExceptionRowsResult storeExceptionRows(const ExceptionRowTexts& rows,
                                       common::ComponentColour& record) {
    std::array<long long, common::EXCEPTION_ROW_COUNT> accepted{};
    int acceptedCount = 0;
    std::array<int, common::EXCEPTION_ROW_COUNT> acceptedRow{};
    for (int i = 0; i < common::EXCEPTION_ROW_COUNT; ++i) {
        const int rowNumber = i + 1;
        common::ExceptionColour& row = record.exceptions[i];
        const auto n = common::parseIntSaturating(rows[i].number);
        if (rows[i].number.empty() || !n) {
            row = {-1, 0, 0, 0};
            continue;
        }
        if (*n < record.lowCount)
            return {false,
                    rowMessage(QT_TRANSLATE_NOOP("Texts", "%d番目の番号 %lld は小さすぎます。%lld以上にしてください。"),
                               rowNumber, *n, record.lowCount)};
        if (*n > record.highCount)
            return {false,
                    rowMessage(QT_TRANSLATE_NOOP("Texts", "%d番目の番号 %lld は大きすぎます。%lld以下にしてください。"),
                               rowNumber, *n, record.highCount)};
        for (int j = 0; j < acceptedCount; ++j) {
            if (accepted[j] == *n)
                return {false, common::formatText(QT_TRANSLATE_NOOP("Texts",
                                                                    "%d番目のと%d番目の番号 %lld が重なっています。"
                                                                    "同じ番号は指定できません。"),
                                                  acceptedRow[j], rowNumber, *n)};
        }
        accepted[acceptedCount] = *n;
        acceptedRow[acceptedCount] = rowNumber;
        ++acceptedCount;
        const auto channel = [](const std::string& t) {
            const auto v = common::parseIntSaturating(t);
            return v ? static_cast<std::int32_t>(std::clamp<long long>(*v, 0, MAX_CHANNEL_VALUE)) : 0;
        };
        row = {static_cast<std::int32_t>(*n), channel(rows[i].red), channel(rows[i].green),
               channel(rows[i].blue)};
    }
    return {};
}

std::string exceptionHeaderText(const common::ComponentColour& record) {
    return common::formatText(QT_TRANSLATE_NOOP("Texts", "番号%d～%d"), record.lowCount, record.highCount);
}

}  // namespace colour
