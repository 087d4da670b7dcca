#include "viewer/core/render_workers.h"

#include <cstdlib>
#include <thread>

namespace render {

int parseRenderThreads(const char* text) {
    if (text == nullptr || *text == '\0') return 0;
    int value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return 0;
        value = value * 10 + (*p - '0');
        if (value > MAX_RENDER_THREADS) return 0;
    }
    return value;
}

int renderThreadCount() {
    if (const int asked = parseRenderThreads(std::getenv(RENDER_THREADS_VARIABLE)); asked > 0) return asked;
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores == 0) return 1;
    return cores > static_cast<unsigned>(MAX_RENDER_THREADS) ? MAX_RENDER_THREADS : static_cast<int>(cores);
}

}  // namespace render
