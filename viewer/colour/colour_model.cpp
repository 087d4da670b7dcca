#include "viewer/colour/colour_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace colour {

namespace {

constexpr int MAX_DISTORTION = 16;
constexpr int MIN_DISTORTION = -16;
constexpr int CHANNEL_MAX = 255;

int clampCode(int componentCount) {
    return std::clamp(componentCount, 0, COMPONENT_CODE_COUNT - 1);
}

}  // namespace

long double distort(long double x, int d) {
    if (d > 0 && d <= MAX_DISTORTION) {
        const long double fourthRoot = std::sqrt(std::sqrt(x));
        long double y = x;
        for (int i = 0; i < d; ++i) y *= fourthRoot;
        return y;
    }
    // 16 sixteenth roots would only approximate x: d = -1 is the plain curve.
    if (d < -1 && d >= MIN_DISTORTION) {
        const long double sixteenthRoot = std::sqrt(std::sqrt(std::sqrt(std::sqrt(x))));
        long double y = 1.0L;
        for (int i = 0; i < 17 + d; ++i) y *= sixteenthRoot;
        return y;
    }
    return x;  // d = 0, d = -1, and distortions outside -16..16
}

int channelValue(const common::ChannelCurve& curve, int m, int lowCount, int highCount) {
    // All in extended precision: no int expression here can overflow.
    const long double range = static_cast<long double>(highCount) - static_cast<long double>(lowCount);
    const long double x = static_cast<long double>(m) / range;
    const long double d = distort(x, curve.distortion);
    const long double g =
        curve.frame1Start + d * (static_cast<long double>(curve.frame1End) - curve.frame1Start);
    const long double h =
        curve.frame2Start + d * (static_cast<long double>(curve.frame2End) - curve.frame2Start);
    const long double angle =
        (static_cast<long double>(curve.phase) + static_cast<long double>(m)) * COLOUR_PI / curve.cycle;
    const long double k = (g + h) / 2 + std::sin(angle) * (g - h) / 2;
    if (!std::isfinite(k) || k < static_cast<long double>(INT32_MIN) || k > static_cast<long double>(INT32_MAX))
        return 0;
    const int v = static_cast<int>(k);  // truncation towards zero
    return std::clamp(v, 0, CHANNEL_MAX);
}

void ColourTable::seedOnce(const common::ViewRecord& view) {
    if (seeded) return;
    static_assert(sizeof(records) == sizeof(view.colours));
    std::memcpy(records.data(), view.colours, sizeof(records));
    seeded = true;
}

common::ComponentColour defaultComponentColour(int loopCount) {
    common::ComponentColour c{};
    c.lowCount = 0;
    c.highCount = loopCount;
    c.redCurve = {255, 255, 0, 0, 5, 0, 0};
    c.greenCurve = {255, 255, 0, 0, 3, 0, 0};
    c.blueCurve = {255, 255, 0, 0, 2, 1, 0};
    for (common::ExceptionColour& row : c.exceptions) row = {EMPTY_EXCEPTION, 0, 0, 0};
    return c;
}

ColourWord pixelColour(const ColourTable& table, ColourWord unknownColour, int code, int m) {
    if (code < 0 || code >= COMPONENT_CODE_COUNT)
        return common::colourWord(common::redOf(unknownColour), common::greenOf(unknownColour),
                                  common::blueOf(unknownColour));
    const common::ComponentColour& rec = table.records[static_cast<std::size_t>(code)];
    for (const common::ExceptionColour& row : rec.exceptions) {
        if (row.number >= 0 && row.number == m) return common::colourWord(row.red, row.green, row.blue);
    }
    const int red = channelValue(rec.redCurve, m, rec.lowCount, rec.highCount);
    const int green = channelValue(rec.greenCurve, m, rec.lowCount, rec.highCount);
    const int blue = channelValue(rec.blueCurve, m, rec.lowCount, rec.highCount);
    return common::colourWord(red, green, blue);
}

void RenderStatistics::reset() {
    for (ComponentStats& s : stats) s = ComponentStats{};
    unknownPixelCount = 0;
}

void cleanExceptionRows(common::ComponentColour& record) {
    for (common::ExceptionColour& row : record.exceptions) {
        if (row.number >= 0 && (row.number < record.lowCount || row.number > record.highCount))
            row.number = EMPTY_EXCEPTION;
    }
}

void updateColourRanges(ColourTable& table, const RenderStatistics& statistics, int componentCount) {
    const int last = clampCode(componentCount);
    for (int code = 0; code <= last; ++code) {
        const ComponentStats& s = statistics.stats[static_cast<std::size_t>(code)];
        common::ComponentColour& rec = table.records[static_cast<std::size_t>(code)];
        if (s.lowCount > s.highCount) {  // no pixel of this component
            rec.lowCount = 0;
            rec.highCount = 0;
        } else {
            rec.lowCount = s.lowCount;
            rec.highCount = s.highCount;
        }
        cleanExceptionRows(rec);
    }
}

void ColourLookup::prepare(const ColourTable& table, ColourWord unknownColour, int maxCode, int maxCount) {
    table_ = &table;
    unknown_ = unknownColour;
    codes_ = std::clamp(maxCode, 0, COMPONENT_CODE_COUNT - 1) + 1;
    const std::size_t perCode = MEMO_CAP / static_cast<std::size_t>(codes_);
    const long long wanted = static_cast<long long>(std::max(maxCount, 0)) + 1;
    counts_ = static_cast<int>(std::min<long long>(wanted, static_cast<long long>(perCode)));
    memo_.assign(static_cast<std::size_t>(codes_) * static_cast<std::size_t>(counts_), NOT_YET);
}

void recolourPicture(render::PixelMaps& maps, int width, int height, const ColourTable& table,
                     ColourWord unknownColour) {
    const int w = std::clamp(width, 0, render::MAP_SIZE);
    const int h = std::clamp(height, 0, render::MAP_SIZE);
    int maxCount = 0;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) maxCount = std::max(maxCount, maps.iteration[x][y]);
    ColourLookup lookup;
    lookup.prepare(table, unknownColour, COMPONENT_CODE_COUNT - 1, maxCount);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            maps.colour[x][y] =
                lookup(render::signedComponentCode(maps.component[x][y]), maps.iteration[x][y]);
}

}  // namespace colour
