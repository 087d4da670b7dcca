#include "viewer/core/viewer_command_line.h"

#include <cstring>

#include "common/block_layout.h"
#include "common/number_text.h"
#include "common/ui_text.h"

namespace viewer {

namespace {

// The token's name without its '-', or nullopt when the token is unusable.
std::optional<std::string> nameOf(const char* token) {
    if (token == nullptr) return std::nullopt;
    const std::size_t length = std::strlen(token);
    if (length < 2 || length > MAX_TOKEN_BYTES || token[0] != '-') return std::nullopt;
    return std::string(token + 1, length - 1);
}

std::string messageText(const char* token) {
    if (token == nullptr) return {};
    const char* text = token[0] == '-' ? token + 1 : token;
    return common::cutUtf8(text, MAX_TOKEN_BYTES);
}

std::optional<std::uint64_t> sizeOf(const char* token) {
    const auto name = nameOf(token);
    if (!name || name->size() > 19) return std::nullopt;  // 19 digits cannot overflow 64 bits
    std::uint64_t value = 0;
    for (const char c : *name) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value < common::ANALYSIS_BLOCK_FIXED_SIZE) return std::nullopt;
    return value;
}

}  // namespace

ViewerCommandLine parseViewerCommandLine(int argc, const char* const* argv) {
    ViewerCommandLine result;
    const char* tokens[3] = {nullptr, nullptr, nullptr};
    for (int i = 1; i < argc && i <= 3; ++i) tokens[i - 1] = argv[i];
    result.frontEndName = nameOf(tokens[0]);
    result.analysisName = nameOf(tokens[1]);
    result.analysisSize = sizeOf(tokens[2]);
    result.frontEndText = messageText(tokens[0]);
    result.analysisText = messageText(tokens[1]);
    return result;
}

std::string mappedFileOpenMessage(int fileNumber, const std::string& name) {
    return common::formatText(QT_TRANSLATE_NOOP("Texts", "マップドファイル%d [%s] のオープンに失敗しました。"),
                              fileNumber, name.c_str());
}

std::string mappedFileMapMessage(int fileNumber) {
    return common::formatText(QT_TRANSLATE_NOOP("Texts", "マップドファイル%dのオープンに失敗しました。"), fileNumber);
}

}  // namespace viewer
