// The picture's components in the analysis report, as the viewer's
// components information lists them ("無限遠 S_ATTRACTING",
// "周期点 周期2 ATTRACTING", "SiegelDisk 周期1", ...). They are read back from
// the Julia block the front end would write for the analysis (title "J1",
// the default picture size), through the viewer's checked reader, so the
// report shows what a viewer would see. `--block FILE` writes that block's
// bytes to FILE.
//
// Thread-safety: no shared state; writeBlockFile touches only its file.
#pragma once

#include "analysis/analysis_settings.h"
#include "analysis/julia_analysis.h"
#include "cli/commands.h"
#include "common/block_layout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct PictureBlock {
    std::vector<std::uint64_t> storage;  // 8-byte aligned, as a mapping is
    std::size_t size = 0;                // block size in bytes
    const void* data() const { return storage.data(); }
    void* data() { return storage.data(); }
};

// The Julia picture's block for this analysis.
PictureBlock buildJuliaBlock(const common::RationalMap& blockMap, const analysis::JuliaAnalysis& a,
                             const analysis::AnalysisSettings& settings);

// The listing lines, read back from the block (infinity first, if any).
std::vector<std::string> componentLines(PictureBlock& block);

// Writes the block's bytes to path; false with *error set on failure.
bool writeBlockFile(const std::string& path, const PictureBlock& block, std::string* error);

// Takes "--block FILE" or "--block=FILE" out of args. False after a message
// when the file name is missing.
bool takeBlockOption(Arguments& args, std::optional<std::string>& path);

}  // namespace cli
