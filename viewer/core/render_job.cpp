#include "viewer/core/render_job.h"

#include <system_error>

#include "common/messages.h"
#include "platform/message_port.h"
#include "platform/thread_priority.h"

namespace viewer {

RenderJob::RenderJob(render::PixelMaps& maps, colour::ColourTable& colours, colour::RenderStatistics& statistics,
                     const std::atomic<std::int32_t>& paintTarget)
    : engine_(maps, colours, statistics), paintTarget_(paintTarget) {
    engine_.setPaintColumns([this](int wParam, int lParam) { onColumn(wParam, lParam); });
}

RenderJob::~RenderJob() { stop(); }

bool RenderJob::start() {
    if (running() || !engine_.prepared()) return false;
    engine_.renderAbort.store(false);
    idleRequested_.store(false);
    runningIdle_.store(false);
    try {
        thread_ = std::thread([this] { engine_.renderThread(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void RenderJob::stop() {
    if (!running()) return;
    engine_.renderAbort.store(true);
    thread_.join();
    engine_.renderAbort.store(false);
}

void RenderJob::join() {
    if (running()) thread_.join();
}

void RenderJob::onColumn(int wParam, int lParam) {
    // On a worker thread: apply a priority change the user asked for to it.
    const bool wantIdle = idleRequested_.load();
    const bool isIdle = platform::currentThreadPriority() == platform::ThreadPriority::Idle;
    if (wantIdle != isIdle)
        platform::setCurrentThreadPriority(wantIdle ? platform::ThreadPriority::Idle : platform::ThreadPriority::Normal);
    runningIdle_.store(platform::currentThreadPriority() == platform::ThreadPriority::Idle);
    platform::postMessage(paintTarget_.load(), common::MSG_PAINT_COLUMNS, wParam, lParam);
}

}  // namespace viewer
