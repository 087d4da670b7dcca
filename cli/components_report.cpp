#include "cli/components_report.h"

#include "common/block_reader.h"
#include "common/component_listing.h"
#include "frontend/block_writer.h"
#include "frontend/settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {
namespace {

common::CriticalPointList toBlockList(const analysis::CriticalPointList& list) {
    common::CriticalPointList out{};
    const int available = static_cast<int>(std::min(list.re.size(), list.im.size()));
    out.count = std::clamp(std::min(list.count, available), 0, common::MAX_CRITICAL_POINTS);
    out.infinityIsCritical = list.infinityIsCritical;
    for (int i = 0; i < out.count; ++i) {
        out.re[i] = list.re[static_cast<std::size_t>(i)];
        out.im[i] = list.im[static_cast<std::size_t>(i)];
    }
    return out;
}

}  // namespace

PictureBlock buildJuliaBlock(const common::RationalMap& blockMap, const analysis::JuliaAnalysis& a,
                             const analysis::AnalysisSettings& settings) {
    frontend::PictureContent content;
    content.kind = static_cast<char>(common::PictureKind::Julia);
    content.title = "J1";
    content.map = blockMap;
    content.criticalPoints = toBlockList(a.criticalPoints);
    content.fixedPoints = a.fixedPoints;
    content.convergenceRadius = settings.convEps;
    content.continuityDistance = settings.contEps;
    content.pictureWidth = frontend::DEFAULT_PICTURE_SIZE;
    content.pictureHeight = frontend::DEFAULT_PICTURE_SIZE;
    content.julia = &a;

    PictureBlock block;
    block.size = frontend::pictureBlockSize(content);
    block.storage.assign((block.size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t), 0);
    frontend::writePictureBlock(block.data(), block.size, content);
    return block;
}

std::vector<std::string> componentLines(PictureBlock& block) {
    const auto view = common::readAnalysisBlock(block.data(), block.size);
    if (!view) return {};
    return common::componentListing(*view);
}

bool writeBlockFile(const std::string& path, const PictureBlock& block, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(block.data(), 1, block.size, file) == block.size;
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (error) *error = std::strerror(written ? errno : writeErrno);
        std::remove(path.c_str());  // no truncated block is left behind
        return false;
    }
    return true;
}

bool takeBlockOption(Arguments& args, std::optional<std::string>& path) {
    Arguments rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--block") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                std::fprintf(stderr, "analyse: --block needs a file name\n");
                return false;
            }
            path = args[++i];
        } else if (a.rfind("--block=", 0) == 0) {
            if (a.size() == 8) {
                std::fprintf(stderr, "analyse: --block needs a file name\n");
                return false;
            }
            path = a.substr(8);
        } else {
            rest.push_back(a);
        }
    }
    args = std::move(rest);
    return true;
}

}  // namespace cli
