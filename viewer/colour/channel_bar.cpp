#include "viewer/colour/channel_bar.h"

#include "viewer/colour/colour_model.h"

#include <cmath>

namespace colour {

int channelBarLength(const common::ChannelCurve& curve, int lowCount, int highCount, int row) {
    // Extended precision and wide operands: block values may be anything.
    const long double range = static_cast<long double>(highCount) - lowCount;
    const long double s = static_cast<long double>(row) / CHANNEL_BAR_HEIGHT;
    const long double d = distort(s, curve.distortion);
    const long double g = curve.frame1Start + d * (static_cast<long double>(curve.frame1End) - curve.frame1Start);
    const long double h = curve.frame2Start + d * (static_cast<long double>(curve.frame2End) - curve.frame2Start);
    const long double angle = (static_cast<long double>(curve.phase) + row) * range * COLOUR_PI /
                              (static_cast<long double>(curve.cycle) * CHANNEL_BAR_HEIGHT);
    const long double k = (g + h) / 2 + std::sin(angle) * (g - h) / 2;
    if (!std::isfinite(k)) return 0;
    const long double half = std::trunc(k / 2);
    if (half >= CHANNEL_BAR_WIDTH - 1) return CHANNEL_BAR_WIDTH - 1;
    if (half < 1) return 0;
    return static_cast<int>(half);
}

ChannelBarBits buildChannelBar(const common::ChannelCurve& curve, int lowCount, int highCount) {
    ChannelBarBits bits{};
    for (int row = 0; row < CHANNEL_BAR_HEIGHT; ++row) {
        const int length = channelBarLength(curve, lowCount, highCount, row);
        std::uint8_t* line = bits.data() + row * CHANNEL_BAR_ROW_BYTES;
        for (int b = 0; b < length / 8; ++b) line[b] = 0xFF;
        if (length % 8 != 0) line[length / 8] = static_cast<std::uint8_t>(0xFF00 >> (length % 8));
    }
    return bits;
}

}  // namespace colour
