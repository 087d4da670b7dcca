// A picture's AnalysisBlock as a viewer maps it, from arbitrary bytes:
// counts and offsets may point anywhere, inside or outside the mapping.
// The bytes are read through the checked views, every array a view offers
// is touched, the component listing is made, and a tiny picture is drawn
// from them with a short loop, as the viewer would. The first 1368 bytes
// also serve as a FrontEndBlock for the Mandelbrot kernel.
//
// The mapping is a heap buffer of exactly the input's length, so a read
// beyond it is caught.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/block_reader.h"
#include "common/component_listing.h"
#include "fuzz_check.h"
#include "viewer/colour/colour_model.h"
#include "viewer/core/curve_membership.h"
#include "viewer/core/render_engine.h"

namespace {

constexpr std::size_t MAX_BLOCK_BYTES = 1 << 20;
constexpr int PICTURE_SIDE = 6;
constexpr int PICTURE_LOOPS = 40;

double touch(const double* values, int count) {
    double sum = 0;
    for (int i = 0; i < count; ++i) sum += values[i];
    return sum;
}

double touchImage(const common::CurveImageView& image) {
    double sum = touch(image.octagon, common::OCTAGON_MIN_DIFF + 1);
    sum += touch(image.outerDisks.data, 3 * image.outerDisks.count);
    sum += touch(image.innerDisks.data, 3 * image.innerDisks.count);
    sum += touch(image.polyline.data, 2 * image.polyline.count);
    sum += render::pointInCurveImage(0.25, -0.125, image, nullptr);
    return sum;
}

void drawTinyPicture(const common::AnalysisBlockView& view, const common::FrontEndBlock* frontEnd) {
    static const std::unique_ptr<render::PixelMaps> maps = render::makePixelMaps();
    colour::ColourTable colours;
    colour::RenderStatistics statistics;
    common::ViewRecord record;
    std::memcpy(&record, &view.header->currentView, sizeof record);
    record.pictureWidth = PICTURE_SIDE;
    record.pictureHeight = PICTURE_SIDE;
    record.loopCount = std::clamp(record.loopCount, 0, PICTURE_LOOPS);
    colours.seedOnce(record);
    render::RenderEngine engine(*maps, colours, statistics);
    if (engine.prepare(view, record, frontEnd) != render::SceneStatus::Ready) return;
    engine.renderThread();
    FUZZ_CHECK(engine.renderedPixelCount.load() <= PICTURE_SIDE * PICTURE_SIDE);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_BLOCK_BYTES) return 0;
    std::vector<unsigned char> mapping(data, data + size);
    volatile double sink = 0;

    const auto frontEnd = common::readFrontEndBlock(mapping.data(), mapping.size());
    if (frontEnd) {
        FUZZ_CHECK(frontEnd->criticalPoints.count >= 0 &&
                   frontEnd->criticalPoints.count <= common::MAX_CRITICAL_POINTS);
        FUZZ_CHECK(frontEnd->startDirectory.size() < sizeof frontEnd->block->startDirectory);
    }

    const auto view = common::readAnalysisBlock(mapping.data(), mapping.size());
    FUZZ_CHECK(view.has_value() == (size >= common::ANALYSIS_BLOCK_FIXED_SIZE));
    if (!view) return 0;
    FUZZ_CHECK(view->components.size() <= static_cast<std::size_t>(common::MAX_WRITTEN_COMPONENTS));
    FUZZ_CHECK(view->title.size() < common::TITLE_SIZE);
    for (const common::ComponentView& c : view->components) {
        if (!c.valid) continue;
        sink = sink + touch(c.cyclePoints.data, 2 * c.cyclePoints.count);
        for (const common::CurveImageView& image : c.images) sink = sink + touchImage(image);
    }
    const auto lines = common::componentListing(*view);
    FUZZ_CHECK(lines.size() <= view->components.size() + 1);
    drawTinyPicture(*view, frontEnd ? frontEnd->block : nullptr);
    return 0;
}
