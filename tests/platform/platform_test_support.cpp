#include "platform_test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace platform_test {
namespace {
std::string g_runtimeDirectory;
}

std::string useFreshRuntimeDirectory() {
    if (!g_runtimeDirectory.empty()) return g_runtimeDirectory;
    char pattern[] = "/tmp/hv-platform-test-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    g_runtimeDirectory = pattern;
    ::setenv("XDG_RUNTIME_DIR", pattern, 1);
    return g_runtimeDirectory;
}

void removeRuntimeDirectory() {
    if (g_runtimeDirectory.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(g_runtimeDirectory, ignored);
    g_runtimeDirectory.clear();
}

std::string standinPath() { return HV_VIEWER_STANDIN_PATH; }

std::string uniqueBlockName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

std::optional<platform::ReceivedMessage> receiveWithin(platform::MessageEndpoint& endpoint, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto m = endpoint.receive()) return m;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return std::nullopt;
        endpoint.waitReadable(static_cast<int>(left));
    }
}

int directoryEntryCount(const std::string& path) {
    std::error_code error;
    const auto count = std::distance(std::filesystem::directory_iterator(path, error), {});
    return error ? -1 : static_cast<int>(count);
}

std::string reportValue(const std::string& reportPath, const std::string& key) {
    std::ifstream in(reportPath);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

}  // namespace platform_test
