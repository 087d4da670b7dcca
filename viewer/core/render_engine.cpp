#include "viewer/core/render_engine.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

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

void RenderEngine::storeColumn(int x, int step, const int* ys, const PixelResult* results, int started) {
    const RenderScene& s = scene_;
    const bool julia = s.type == PictureType::Julia;
    // Neighbouring pixels often share count and code: one colour look-up
    // per run. Without block fills each pixel is stored at once; coarser
    // passes that fill keep the values for their blocks.
    const bool fill = step > 1 && fillBlocks_;
    std::array<std::int32_t, MAP_SIZE> counts;
    std::array<std::uint8_t, MAP_SIZE> codes;
    std::array<common::ColourWord, MAP_SIZE> words;
    std::int32_t* __restrict iteration = maps_.iteration[x];
    std::uint8_t* __restrict component = maps_.component[x];
    std::uint32_t* __restrict colour = maps_.colour[x];
    int lastCount = -1;
    int lastCode = -1;
    common::ColourWord lastColour = 0;
    for (int i = 0; i < started; ++i) {
        int count = results[i].count;
        const int code = julia ? results[i].code : common::COMPONENT_INFINITY;
        common::ColourWord word = 0;
        if (code == common::COMPONENT_UNKNOWN) {
            count = 0;
        } else if (count == lastCount && code == lastCode) {
            word = lastColour;
        } else {
            word = lookup_(code, count);
            lastCount = count;
            lastCode = code;
            lastColour = word;
        }
        if (!fill) {
            const int y = ys[i];
            iteration[y] = count;
            component[y] = static_cast<std::uint8_t>(code);
            colour[y] = word;
        } else {
            const auto k = static_cast<std::size_t>(i);
            counts[k] = count;
            codes[k] = static_cast<std::uint8_t>(code);
            words[k] = word;
        }
    }
    if (!fill) return;
    // The s x s blocks of the stored pixels, filled column by column: only
    // the rows this pass computed (rows skipped hold the coarser pass's
    // blocks, which span these columns already), and no map is read back.
    const int xEnd = std::min(x + step, s.width);
    for (int cx = x; cx < xEnd; ++cx) {
        std::int32_t* __restrict iteration = maps_.iteration[cx];
        std::uint8_t* __restrict component = maps_.component[cx];
        std::uint32_t* __restrict colour = maps_.colour[cx];
        // Whole blocks with the step known to the compiler (one or two
        // vector stores each), the cut block at the top by row.
        const auto fillRows = [&]<int S>() {
            for (int i = 0; i < started; ++i) {
                const auto k = static_cast<std::size_t>(i);
                const int y = ys[i];
                if (y + S <= s.height) {
                    std::fill_n(iteration + y, S, counts[k]);
                    std::fill_n(component + y, S, codes[k]);
                    std::fill_n(colour + y, S, words[k]);
                } else {
                    for (int cy = y; cy < s.height; ++cy) {
                        iteration[cy] = counts[k];
                        component[cy] = codes[k];
                        colour[cy] = words[k];
                    }
                }
            }
        };
        switch (step) {
        case 16: fillRows.template operator()<16>(); break;
        case 8: fillRows.template operator()<8>(); break;
        case 4: fillRows.template operator()<4>(); break;
        default: fillRows.template operator()<2>(); break;
        }
    }
}

void RenderEngine::endOfRender() {
    const int k = scene_.type == PictureType::Julia ? scene_.componentCount : 0;
    colour::updateColourRanges(colours_, statistics_, k);
    renderEnded.store(true, std::memory_order_release);
}

namespace {

constexpr int PASS_COUNT = 5;  // steps 16, 8, 4, 2, 1
// Bands per worker and pass: fewer hand-outs for cheap pictures, and a last
// band small enough to keep the workers' shares even.
constexpr int BANDS_PER_WORKER = 32;

// One worker's statistics on cache lines of their own.
struct alignas(64) WorkerStatistics {
    colour::RenderStatistics statistics;
};

void mergeStatistics(colour::RenderStatistics& into, const colour::RenderStatistics& from) {
    for (std::size_t k = 0; k < into.stats.size(); ++k) {
        colour::ComponentStats& a = into.stats[k];
        const colour::ComponentStats& b = from.stats[k];
        a.pixelCount += b.pixelCount;
        a.highCount = std::max(a.highCount, b.highCount);
        a.lowCount = std::min(a.lowCount, b.lowCount);
    }
    into.unknownPixelCount += from.unknownPixelCount;
}

}  // namespace

// The columns of every pass still to hand out, and the barrier between passes.
// The waits at a pass end are short (the workers take the last bands about
// together), so a waiting worker spins, yielding its core between checks:
// waking a sleeping thread costs a good part of a small picture's pass.
struct RenderEngine::PassQueue {
    explicit PassQueue(int workerCount) : workers(workerCount), members(workerCount) {}
    const int workers;
    std::array<std::atomic<int>, PASS_COUNT> nextColumn{};

    void arriveAndWait() {
        const unsigned phase = passPhase.load(std::memory_order_acquire);
        if (arrived.fetch_add(1, std::memory_order_acq_rel) + 1 == members.load(std::memory_order_acquire)) {
            arrived.store(0, std::memory_order_relaxed);
            passPhase.store(phase + 1, std::memory_order_release);
            return;
        }
        for (int spin = 0; passPhase.load(std::memory_order_acquire) == phase; ++spin)
            if (spin >= SPINS_BEFORE_YIELD) std::this_thread::yield();
    }
    // A worker that never started; called by the first worker before its
    // first arrival, so that arrival sees the final count.
    void drop() { members.fetch_sub(1, std::memory_order_acq_rel); }

private:
    static constexpr int SPINS_BEFORE_YIELD = 256;
    std::atomic<int> members;
    std::atomic<int> arrived{0};
    std::atomic<unsigned> passPhase{0};
};

int RenderEngine::renderPassColumn(int a, int step, bool firstPass, colour::RenderStatistics& statistics,
                                   bool& stopped) {
    const RenderScene& s = scene_;
    const int x = a * step;
    const bool evenColumn = !firstPass && a % 2 == 0;
    std::array<int, MAP_SIZE> ys;
    std::array<PixelResult, MAP_SIZE> results;
    int count = 0;
    for (int b = 0, y = 0; y < s.height; ++b, y += step)
        if (!(evenColumn && b % 2 == 0)) ys[static_cast<std::size_t>(count++)] = y;
    const int started = renderColumn(s, x, ys.data(), count, results.data(), statistics, renderAbort);
    storeColumn(x, step, ys.data(), results.data(), started);
    stopped = started < count;
    if (stopped) return started;  // the render ends without painting the rest
    if (paintColumns_) {
        const int extra = std::min(step - 1, s.width - 1 - x);
        const std::lock_guard lock(paintMutex_);
        paintColumns_(common::packHalves(x, x + extra), common::packHalves(0, s.height - 1));
    }
    return started;
}

void RenderEngine::runWorker(colour::RenderStatistics& statistics, PassQueue& queue) {
    int pass = 0;
    for (int step = FIRST_PASS_STEP; step >= 1; step /= 2, ++pass) {
        const int columns = (scene_.width + step - 1) / step;
        const int band = std::max(1, columns / (queue.workers * BANDS_PER_WORKER));
        bool stopped = false;
        while (!stopped && !renderAbort.load(std::memory_order_relaxed)) {
            const int first = queue.nextColumn[static_cast<std::size_t>(pass)].fetch_add(band, std::memory_order_relaxed);
            if (first >= columns) break;
            const int end = std::min(first + band, columns);
            int started = 0;
            for (int a = first; a < end && !stopped && !renderAbort.load(std::memory_order_relaxed); ++a)
                started += renderPassColumn(a, step, step == FIRST_PASS_STEP, statistics, stopped);
            renderedPixelCount.fetch_add(started, std::memory_order_acq_rel);
        }
        queue.arriveAndWait();
    }
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
    // The s x s blocks of the coarse passes are only there to be seen while
    // the picture refines; every pixel is still computed and stored exactly
    // once, so a render nobody paints from (a batch render) skips them.
    fillBlocks_ = static_cast<bool>(paintColumns_);

    // Colours are memoised per count; a Mandelbrot count is a sum over the
    // selected orbits.
    const long long perOrbit = std::max(s.loopCount, 0);
    const long long maxCount = julia ? perOrbit : perOrbit * std::max(s.selectedCount, 1);
    lookup_.prepare(colours_, unknownColour_, julia ? s.componentCount : 0,
                    static_cast<int>(std::min<long long>(maxCount, INT_MAX)));

    // No worker needs more threads than the first pass has columns.
    const int firstColumns = (s.width + FIRST_PASS_STEP - 1) / FIRST_PASS_STEP;
    const int workers = std::clamp(s.threads, 1, std::max(firstColumns, 1));
    std::vector<WorkerStatistics> partial(static_cast<std::size_t>(workers));
    for (WorkerStatistics& p : partial) p.statistics.reset();
    PassQueue queue(workers);
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(workers - 1));
    for (int w = 1; w < workers; ++w) {
        try {
            helpers.emplace_back([this, &partial, &queue, w] {
                runWorker(partial[static_cast<std::size_t>(w)].statistics, queue);
            });
        } catch (const std::system_error&) {
            // Fewer workers: the missing ones leave the barrier.
            for (int missing = w; missing < workers; ++missing) queue.drop();
            break;
        }
    }
    runWorker(partial[0].statistics, queue);
    for (std::thread& t : helpers) t.join();
    for (const WorkerStatistics& p : partial) mergeStatistics(statistics_, p.statistics);
    endOfRender();
    return 0;
}

}  // namespace render
