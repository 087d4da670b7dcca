// Colour model of a viewer: how a pixel's component code and iteration
// count become a colour word, and how the per-component count ranges are
// narrowed after every render.
//
// Conventions
//  - A ComponentColour record (common/block_layout.h) holds the colour
//    settings of one component; the ColourTable holds 21 of them, indexed by
//    component code 0..20 (0 = infinity, or the whole Mandelbrot picture).
//  - Each channel runs between two envelopes (frame 1 and frame 2) that go
//    from their start value at count lowCount to their end value at count
//    highCount along the power curve distort(); a sinusoid with half period
//    `cycle` and offset `phase` swings the channel between them.
//  - Exception rows give fixed colours to single counts of one component;
//    a negative component code takes the unknown colour.
//  - Colour words are red | green << 8 | blue << 16.
//
// Every function here accepts any values a block may hold: a range of 0, a
// cycle of 0 or huge settings give colour 0, never a trap or overflow.
//
// Thread-safety: the render thread reads the table while it colours and
// calls updateColourRanges() at its end; the interface thread edits the
// table only while no render runs, so nothing here locks.
#pragma once

#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <vector>

#include "common/block_layout.h"
#include "common/colour_word.h"
#include "viewer/maps/pixel_maps.h"

namespace colour {

using common::ColourWord;

inline constexpr int COMPONENT_CODE_COUNT = common::COLOUR_RECORD_COUNT;  // codes 0..20
inline constexpr int EMPTY_EXCEPTION = -1;       // number of an unused exception row
inline constexpr long double COLOUR_PI = 3.141592653589793L;

// x raised along the distortion curve d, for x >= 0:
//   d > 0: x^(1 + d/4) (x times d fourth roots); d = 0 or d < -16: x;
//   -16 <= d < 0: x^((17 + d)/16) (the product of 17 + d sixteenth roots).
// Roots are taken as successive square roots, in extended precision.
long double distort(long double x, int d);

// The value 0..255 of one channel at iteration count m. Not finite or
// outside the int32 range (range 0, cycle 0, ...) gives 0.
int channelValue(const common::ChannelCurve& curve, int m, int lowCount, int highCount);

// The colour settings of every component code, seeded from the block's
// current ViewRecord at the first draw start of the viewer process.
struct ColourTable {
    std::array<common::ComponentColour, COMPONENT_CODE_COUNT> records{};
    bool seeded = false;

    // Copies the 21 records of the view; later calls do nothing.
    void seedOnce(const common::ViewRecord& view);
};

// The record settings the front end writes for a new picture.
common::ComponentColour defaultComponentColour(int loopCount);

// The colour of a pixel. `code` is the signed reading of the component map
// (see render::signedComponentCode): negative codes take unknownColour; a
// code without a record (above 20) is treated the same way.
ColourWord pixelColour(const ColourTable& table, ColourWord unknownColour, int code, int m);

// Count statistics of one component over the latest render.
struct ComponentStats {
    int pixelCount = 0;
    int highCount = 0;
    int lowCount = INT_MAX;
};

// Statistics kept by the kernels while a picture renders.
struct RenderStatistics {
    std::array<ComponentStats, COMPONENT_CODE_COUNT> stats{};
    int unknownPixelCount = 0;

    // Back to {0, 0, INT_MAX} everywhere; done at every draw start.
    void reset();
    // Count j reached for component code (0..20; others are ignored).
    void record(int code, int j) {
        if (code < 0 || code >= COMPONENT_CODE_COUNT) return;
        ComponentStats& s = stats[static_cast<std::size_t>(code)];
        if (j > s.highCount) s.highCount = j;
        if (j < s.lowCount) s.lowCount = j;
        ++s.pixelCount;
    }
};

// Empties every exception row whose number (0 or more) lies outside the
// record's lowCount..highCount. The colour values stay.
void cleanExceptionRows(common::ComponentColour& record);

// End of a render: for codes 0..componentCount (clamped to 0..20) the
// record's range becomes the measured one (0..0 for a component without
// pixels), then its exception rows are cleaned. Other records keep theirs.
void updateColourRanges(ColourTable& table, const RenderStatistics& statistics, int componentCount);

// pixelColour() with a memo per (code, count), for whole pictures: the sine
// and roots of a colour are computed once per distinct count. Prepare it
// before a render or recolouring (that allocates); lookups then allocate
// nothing. The table must not change between prepare() and the last
// lookup. Lookups may run on several render workers at once: a memo slot
// is filled by whichever gets there first, and all compute the same word.
class ColourLookup {
public:
    // Codes 0..maxCode and counts 0..maxCount are memoised (within a cap on
    // the memory); other pairs are computed each time.
    void prepare(const ColourTable& table, ColourWord unknownColour, int maxCode, int maxCount);

    ColourWord operator()(int code, int m) {
        if (code >= 0 && code < codes_ && m >= 0 && m < counts_) {
            std::atomic_ref<std::uint32_t> slot(memo_[static_cast<std::size_t>(code) *
                                                          static_cast<std::size_t>(counts_) +
                                                      static_cast<std::size_t>(m)]);
            std::uint32_t word = slot.load(std::memory_order_relaxed);
            if (word == NOT_YET) {
                word = pixelColour(*table_, unknown_, code, m);
                slot.store(word, std::memory_order_relaxed);
            }
            return word;
        }
        return pixelColour(*table_, unknown_, code, m);
    }

private:
    static constexpr std::uint32_t NOT_YET = 0xFFFFFFFFu;  // no colour word has a top byte
    static constexpr std::size_t MEMO_CAP = std::size_t{1} << 22;
    const ColourTable* table_ = nullptr;
    ColourWord unknown_ = 0;
    int codes_ = 0;
    int counts_ = 0;
    std::vector<std::uint32_t> memo_;
};

// Recolours the width x height corner of the maps from their component
// codes and counts (after a colour dialog's OK). width and height are
// clamped to the maps.
void recolourPicture(render::PixelMaps& maps, int width, int height, const ColourTable& table,
                     ColourWord unknownColour);

}  // namespace colour
