// How many worker threads a render uses.
//
// By default every core: std::thread::hardware_concurrency() (1 when the
// system does not tell). The environment variable HV_RENDER_THREADS, a
// whole number 1..MAX_RENDER_THREADS, overrides it (tests, benchmarks, a
// user who wants cores left free); any other value is ignored.
//
// Thread-safety: reads the environment; call before starting threads.
#pragma once

namespace render {

inline constexpr int MAX_RENDER_THREADS = 256;
inline constexpr const char* RENDER_THREADS_VARIABLE = "HV_RENDER_THREADS";

int renderThreadCount();

// The count a HV_RENDER_THREADS text asks for, 0 when it is not a whole
// number 1..MAX_RENDER_THREADS (null: not set).
int parseRenderThreads(const char* text);

}  // namespace render
