// The render thread of a viewer window: at most one, started by the draw
// button and stopped by it, by completion or by closing the window.
//
// The job owns the render engine (render_engine.h), whose renderAbort asks
// the running render to stop and whose renderedPixelCount the progress timer
// reads. stop() sets renderAbort, waits for the thread without a time-out
// and clears renderAbort again; join() waits for a thread that is ending by
// itself. The destructor stops a thread that still runs, so the thread never
// outlives what it uses when the owner goes first.
//
// After each column the worker that computed it posts MSG_PAINT_COLUMNS to
// the handle in `paintTarget` (read at every column, so a view made by
// splitting during the render takes over at once).
//
// Idle priority (the "バックグラウンド" switch): a thread can only change its
// own scheduling class here, so requestIdle() records the wish and every
// worker thread of the render applies it to itself after its next column:
// SCHED_IDLE for idle, SCHED_OTHER for normal. Going back to normal may be
// refused by the system; the render then goes on at idle priority.
//
// Thread-safety: start, stop, join and requestIdle belong to one (the
// interface) thread. The counters may be read from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "viewer/core/render_engine.h"

namespace viewer {

class RenderJob {
public:
    RenderJob(render::PixelMaps& maps, colour::ColourTable& colours, colour::RenderStatistics& statistics,
              const std::atomic<std::int32_t>& paintTarget);
    ~RenderJob();
    RenderJob(const RenderJob&) = delete;
    RenderJob& operator=(const RenderJob&) = delete;

    render::RenderEngine& engine() { return engine_; }

    // Runs the prepared engine on a new thread at normal priority. False
    // when the engine has no picture or the thread could not be created
    // (nothing runs then).
    bool start();
    bool running() const { return thread_.joinable(); }
    void stop();
    void join();

    int renderedPixelCount() const { return engine_.renderedPixelCount.load(std::memory_order_acquire); }

    // The priority the user asked for; applied by every worker thread.
    void requestIdle(bool idle) { idleRequested_.store(idle); }
    // The priority the worker that finished the latest column runs at.
    bool runningIdle() const { return runningIdle_.load(); }

private:
    void onColumn(int wParam, int lParam);

    render::RenderEngine engine_;
    const std::atomic<std::int32_t>& paintTarget_;
    std::thread thread_;
    std::atomic<bool> idleRequested_{false};
    std::atomic<bool> runningIdle_{false};
};

}  // namespace viewer
