// The viewer's command line: "-<FrontEndBlock name> -<AnalysisBlock name>
// -<AnalysisBlock size>", as the front end builds it.
//
// Each token must be present, start with '-', hold at most 127 bytes and name
// something after the '-'; the size must be plain decimal digits with a value
// of at least 12936 (the fixed part of an AnalysisBlock). Whether the size
// fits the block is checked when the block is opened (it may not exceed the
// object's size). A missing or bad token leaves its field empty; the start-up
// then shows the matching "マップドファイル…" message.
//
// Pure and thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace viewer {

inline constexpr std::size_t MAX_TOKEN_BYTES = 127;

struct ViewerCommandLine {
    std::optional<std::string> frontEndName;   // token 1 without its '-'
    std::optional<std::string> analysisName;   // token 2 without its '-'
    std::optional<std::uint64_t> analysisSize;  // token 3
    // The text of tokens 1 and 2 as given (without '-', cut to 127 bytes),
    // for the messages; empty when the token is missing.
    std::string frontEndText;
    std::string analysisText;
};

ViewerCommandLine parseViewerCommandLine(int argc, const char* const* argv);

// The four start-up messages.
std::string mappedFileOpenMessage(int fileNumber, const std::string& name);  // "マップドファイル%d [%s] …"
std::string mappedFileMapMessage(int fileNumber);                           // "マップドファイル%dの…"

}  // namespace viewer
