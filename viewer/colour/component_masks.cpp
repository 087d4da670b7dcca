#include "viewer/colour/component_masks.h"

#include <algorithm>

namespace colour {

ThumbnailSize thumbnailSize(int width, int height) {
    ThumbnailSize size;
    if (width <= 0 || height <= 0) return size;
    if (width >= height) {
        size.width = THUMBNAIL_LONG_SIDE;
        size.height = std::max(1, height * THUMBNAIL_LONG_SIDE / width);
    } else {
        size.height = THUMBNAIL_LONG_SIDE;
        size.width = std::max(1, width * THUMBNAIL_LONG_SIDE / height);
    }
    size.rowBytes = (size.width + 15) / 16 * 2;
    return size;
}

ComponentMasks buildComponentMasks(const render::ComponentMap& map, int width, int height) {
    ComponentMasks masks;
    if (width < 1 || width > render::MAP_SIZE || height < 1 || height > render::MAP_SIZE)
        return masks;
    masks.size = thumbnailSize(width, height);
    const ThumbnailSize& t = masks.size;
    for (auto& mask : masks.bits)
        mask.assign(static_cast<std::size_t>(t.rowBytes) * t.height, 0);
    for (int e = 0; e < t.width; ++e) {
        const int x = width * e / t.width;
        for (int i = 0; i < t.height; ++i) {
            const int y = i * height / t.height;
            const int code = render::signedComponentCode(map[x][y]);
            int mask = UNKNOWN_MASK;
            if (code >= 0) {
                if (code >= UNKNOWN_MASK) continue;  // no component has this code
                mask = code;
            }
            const int rowFromTop = t.height - 1 - i;
            masks.bits[static_cast<std::size_t>(mask)]
                      [static_cast<std::size_t>(rowFromTop) * t.rowBytes + e / 8] |=
                static_cast<std::uint8_t>(0x80 >> (e % 8));
        }
    }
    return masks;
}

}  // namespace colour
