// The viewer's command line and every parser of number texts: the shared
// readers and writers, the front end's grid and settings fields, the
// viewer's parameter bar and colour dialog fields. The input split at its
// NUL bytes gives the command line's tokens; the whole input is the text.
#include <cmath>
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/number_text.h"
#include "frontend/formula_grid.h"
#include "frontend/settings.h"
#include "fuzz_check.h"
#include "viewer/colour/colour_fields.h"
#include "viewer/core/parameter_fields.h"
#include "viewer/core/viewer_command_line.h"

namespace {

constexpr std::size_t MAX_TEXT_BYTES = 512;

void commandLine(std::string_view bytes) {
    std::vector<std::string> tokens{"torvel"};
    std::size_t start = 0;
    while (start <= bytes.size() && tokens.size() < 5) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        tokens.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& t : tokens) argv.push_back(t.c_str());
    const viewer::ViewerCommandLine line = viewer::parseViewerCommandLine(static_cast<int>(argv.size()), argv.data());
    for (const auto* name : {&line.frontEndName, &line.analysisName})
        if (*name) FUZZ_CHECK(!(*name)->empty() && (*name)->size() < viewer::MAX_TOKEN_BYTES);
    if (line.analysisSize) FUZZ_CHECK(*line.analysisSize >= common::ANALYSIS_BLOCK_FIXED_SIZE);
    FUZZ_CHECK(line.frontEndText.size() <= viewer::MAX_TOKEN_BYTES);
    FUZZ_CHECK(line.analysisText.size() <= viewer::MAX_TOKEN_BYTES);
}

void sharedTexts(std::string_view text) {
    const std::string cut = common::cutUtf8(text, text.size() / 2);
    FUZZ_CHECK(cut.size() <= text.size() / 2 && text.substr(0, cut.size()) == cut);
    FUZZ_CHECK(common::withoutLineBreaks(text).find_first_of("\r\n") == std::string::npos);
    (void)common::parseIntSaturating(text);
    const auto value = common::parseDouble(text);
    if (!value) return;
    FUZZ_CHECK(std::isfinite(*value));
    // What is shown reads back as the value, to the digits shown.
    const auto shown = common::parseDouble(common::formatG16(*value));
    FUZZ_CHECK(shown && (std::fabs(*value) < DBL_MIN || std::fabs(*shown - *value) <= 1e-15 * std::fabs(*value)));
    const auto stored = common::parseDouble(common::formatFixed16Trimmed(*value));
    FUZZ_CHECK(stored && std::fabs(*stored - *value) <= 1e-16 + 1e-15 * std::fabs(*value));
    (void)common::formatFixed30(*value);
    (void)viewer::formatBarReal(*value);
}

void frontEndFields(std::string_view text) {
    FUZZ_CHECK(frontend::validNumberPrefix(text) <= text.size());
    int caret = static_cast<int>(text.size());
    const std::string loop = frontend::filterLoopCountText(text, &caret);
    FUZZ_CHECK(caret >= 0 && static_cast<std::size_t>(caret) <= loop.size());
    FUZZ_CHECK(frontend::acceptTolerance(text, "0.01", 0.01, 0.05) > 0);
    const int loops = frontend::acceptLoopCount(text, "10000", 10000, 500);
    FUZZ_CHECK(loops >= 0 && loops <= frontend::MAX_LOOP_LIMIT);
    const std::string owned(text);
    const frontend::Settings s = frontend::parseSettings([&](const char*) { return owned; });
    FUZZ_CHECK(s.maxLoop >= 0 && s.maxLoop <= frontend::MAX_LOOP_LIMIT && (s.siegelFlag == 0 || s.siegelFlag == 1));
    FUZZ_CHECK(s.convEps > 0 && s.contEps > 0 && s.inoutEps > 0);
    FUZZ_CHECK(s.sizeX >= frontend::PICTURE_SIZE_MIN && s.sizeX <= frontend::PICTURE_SIZE_MAX);
}

void viewerFields(std::string_view text) {
    FUZZ_CHECK(viewer::numericValidLength(text) <= text.size());
    if (const auto v = viewer::readBarReal(text)) FUZZ_CHECK(std::isfinite(*v));
    if (const auto v = viewer::readBarInt(text)) {
        const int size = viewer::limitPictureSize(*v).value;
        FUZZ_CHECK(size >= 0 && size <= 1000);
    }
    const std::string owned(text);
    common::ComponentColour record{};
    record.highCount = 1000;
    if (const auto v = colour::cycleFieldValue(owned, record)) FUZZ_CHECK(v->value >= 1 && v->value <= 1000);
    if (const auto v = colour::distortionFieldValue(owned)) FUZZ_CHECK(v->value >= -16 && v->value <= 16);
    if (const auto v = colour::colourFieldValue(owned)) FUZZ_CHECK(v->value >= 0 && v->value <= 255);
    (void)colour::exceptionNumberCorrection(owned, record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_TEXT_BYTES) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    commandLine(bytes);
    sharedTexts(bytes);
    frontEndFields(bytes);
    viewerFields(bytes);
    return 0;
}
