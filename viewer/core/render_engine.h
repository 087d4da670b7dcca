// The render of one picture: progressive passes over the pixels, colouring
// and storing every result, and the end-of-render step.
//
// Use (the viewer's draw start, in this order):
//   1. statistics.reset(); colourTable.seedOnce(view) (first draw only);
//   2. engine.prepare(analysisView, header.currentView, frontEndBlock);
//      a size outside 1..1000 is refused here and nothing may start;
//   3. engine.renderAbort = false; start a std::thread running
//      engine.renderThread();
//   4. to stop: renderAbort = true, then join. Completion: join once
//      renderedPixelCount reaches width * height (or renderEnded is true).
// The CLI and the tests call renderThread() directly.
//
// Passes: steps s = 16, 8, 4, 2, 1. A pass visits x = a * s (columns) and
// within each column y = b * s; after the first pass pixels with a and b
// both even are skipped (the coarser pass computed them), so every pixel is
// computed exactly once and renderedPixelCount ends at width * height. In a
// pass with s > 1 each result fills the s x s block from (x, y), clipped to
// the picture. After each column the paint callback receives the
// MSG_PAINT_COLUMNS parameters: wParam = x << 16 | (x + extra) where extra
// is the number of further columns the blocks covered (0 in the last pass),
// lParam = 0 << 16 | (height - 1).
//
// A Julia pixel of code 255 is stored with count 0 and colour 0 (black);
// every other pixel gets pixelColour(code, count). At the end, completed or
// stopped, the colour ranges of codes 0..K (K = 0 for a Mandelbrot picture)
// are narrowed to the measured ones and their exception rows cleaned.
//
// Workers: renderThread() runs the passes on scene().threads threads (itself
// and threads - 1 helpers it starts and joins before it returns). Within a
// pass the columns are handed out in bands (one column at a time in the
// first passes, more in the finer ones: a band is about 1/32 of a worker's
// share of the pass), each column painted when done; the next pass starts when
// every column of this one is done, so the picture still refines coarse to
// fine. Each worker keeps its own statistics, merged into the engine's at
// the end: counts add up and ranges are min/max, so a completed render gives
// exactly the single-thread statistics. Every worker polls renderAbort (the
// kernels at every iteration, or every lane step), so all stop together.
//
// Thread-safety: it reads the scene, the colour table and the blocks the
// scene points into, and writes the maps (each column by one worker), the
// statistics and the colour table's ranges (at its end). The interface
// thread may read renderedPixelCount, renderEnded and the maps at any time,
// sets renderAbort, and touches the statistics and the colour table only
// after joining. The paint callback is called on the worker that finished
// the column, one call at a time, and must not block (the viewer posts a
// message).
#pragma once

#include <atomic>
#include <functional>
#include <mutex>

#include "common/block_layout.h"
#include "common/block_reader.h"
#include "viewer/colour/colour_model.h"
#include "viewer/maps/pixel_maps.h"
#include "viewer/core/render_kernels.h"
#include "viewer/core/render_scene.h"

namespace render {

inline constexpr int FIRST_PASS_STEP = 16;

// wParam, lParam of MSG_PAINT_COLUMNS.
using PaintColumnsCallback = std::function<void(int wParam, int lParam)>;

class RenderEngine {
public:
    RenderEngine(PixelMaps& maps, colour::ColourTable& colours, colour::RenderStatistics& statistics);

    // Takes the picture for the next render. BadWidth / BadHeight: refused,
    // the engine keeps no picture and renderThread would do nothing.
    SceneStatus prepare(const common::AnalysisBlockView& analysis, const common::ViewRecord& view,
                        const common::FrontEndBlock* frontEnd, const RenderOptions& options = {});

    void setPaintColumns(PaintColumnsCallback callback) { paintColumns_ = std::move(callback); }

    // The body of the render thread; returns 0.
    int renderThread();

    const RenderScene& scene() const { return scene_; }
    bool prepared() const { return prepared_; }

    // Each on its own cache line: the kernels poll renderAbort at every
    // step while the workers add to renderedPixelCount.
    alignas(64) std::atomic<bool> renderAbort{false};
    alignas(64) std::atomic<int> renderedPixelCount{0};
    std::atomic<bool> renderEnded{false};  // set after the end-of-render step

private:
    struct PassQueue;
    void runWorker(colour::RenderStatistics& statistics, PassQueue& queue);
    // Returns the pixels started; fewer than the column's after a stop.
    int renderPassColumn(int a, int step, bool firstPass, colour::RenderStatistics& statistics, bool& stopped);
    // Colours and stores the started pixels of column x, filling their blocks.
    void storeColumn(int x, int step, const int* ys, const PixelResult* results, int started);
    void endOfRender();

    PixelMaps& maps_;
    colour::ColourTable& colours_;
    colour::RenderStatistics& statistics_;
    RenderScene scene_;
    bool prepared_ = false;
    common::ColourWord unknownColour_ = 0;
    colour::ColourLookup lookup_;
    PaintColumnsCallback paintColumns_;
    bool fillBlocks_ = true;  // coarse passes fill their blocks (someone paints)
    std::mutex paintMutex_;
};

}  // namespace render
