#include "viewer/core/render_engine.h"

#include <algorithm>
#include <climits>

#include "common/messages.h"

namespace render {

RenderEngine::RenderEngine(PixelMaps& maps, colour::ColourTable& colours, colour::RenderStatistics& statistics)
    : maps_(maps), colours_(colours), statistics_(statistics) {}

SceneStatus RenderEngine::prepare(const common::AnalysisBlockView& analysis, const common::ViewRecord& view,
                                  const common::FrontEndBlock* frontEnd, const RenderOptions& options) {
    prepared_ = false;
    const SceneStatus status = buildScene(analysis, view, frontEnd, options, scene_);
    if (status != SceneStatus::Ready) return status;
    unknownColour_ = static_cast<common::ColourWord>(view.unknownColour);
    prepared_ = true;
    return status;
}

void RenderEngine::storePixel(int x, int y, int step, int count, int code) {
    common::ColourWord colour = 0;
    if (code == common::COMPONENT_UNKNOWN)
        count = 0;
    else
        colour = lookup_(code, count);
    const auto storedCode = static_cast<std::uint8_t>(code);
    if (step == 1) {
        maps_.iteration[x][y] = count;
        maps_.component[x][y] = storedCode;
        maps_.colour[x][y] = colour;
        return;
    }
    const int xEnd = std::min(x + step, scene_.width);
    const int yEnd = std::min(y + step, scene_.height);
    for (int cx = x; cx < xEnd; ++cx) {
        std::fill(&maps_.iteration[cx][y], &maps_.iteration[cx][yEnd], count);
        std::fill(&maps_.component[cx][y], &maps_.component[cx][yEnd], storedCode);
        std::fill(&maps_.colour[cx][y], &maps_.colour[cx][yEnd], colour);
    }
}

void RenderEngine::endOfRender() {
    const int k = scene_.type == PictureType::Julia ? scene_.componentCount : 0;
    colour::updateColourRanges(colours_, statistics_, k);
    renderEnded.store(true, std::memory_order_release);
}

int RenderEngine::renderThread() {
    renderEnded.store(false, std::memory_order_relaxed);
    renderedPixelCount.store(0, std::memory_order_relaxed);
    if (!prepared_) {
        renderEnded.store(true, std::memory_order_release);
        return 0;
    }
    const RenderScene& s = scene_;
    const bool julia = s.type == PictureType::Julia;

    // Colours are memoised per count; a Mandelbrot count is a sum over the
    // selected orbits.
    const long long perOrbit = std::max(s.loopCount, 0);
    const long long maxCount = julia ? perOrbit : perOrbit * std::max(s.selectedCount, 1);
    lookup_.prepare(colours_, unknownColour_, julia ? s.componentCount : 0,
                    static_cast<int>(std::min<long long>(maxCount, INT_MAX)));

    int rendered = 0;
    for (int step = FIRST_PASS_STEP; step >= 1; step /= 2) {
        const bool firstPass = step == FIRST_PASS_STEP;
        for (int a = 0, x = 0; x < s.width; ++a, x += step) {
            for (int b = 0, y = 0; y < s.height; ++b, y += step) {
                if (renderAbort.load(std::memory_order_relaxed)) {
                    endOfRender();
                    return 0;
                }
                if (!firstPass && a % 2 == 0 && b % 2 == 0) continue;
                if (julia) {
                    const PixelResult r = juliaPixel(s, x, y, statistics_, renderAbort);
                    storePixel(x, y, step, r.count, r.code);
                } else {
                    const int count = mandelbrotPixel(s, x, y, statistics_, renderAbort);
                    storePixel(x, y, step, count, common::COMPONENT_INFINITY);
                }
                renderedPixelCount.store(++rendered, std::memory_order_release);
            }
            if (paintColumns_) {
                const int extra = std::min(step - 1, s.width - 1 - x);
                paintColumns_(common::packHalves(x, x + extra), common::packHalves(0, s.height - 1));
            }
        }
    }
    endOfRender();
    return 0;
}

}  // namespace render
