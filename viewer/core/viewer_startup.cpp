#include "viewer/core/viewer_startup.h"

#include <cerrno>
#include <optional>

#include "platform/shared_memory.h"

namespace viewer {

namespace {

struct Mappings {
    std::optional<platform::SharedMemory> frontEnd;
    std::optional<platform::SharedMemory> analysis;
};

// A name the shared memory layer accepts at all; anything else is reported
// like a block that does not exist.
bool usableName(const std::string& name) {
    return !name.empty() && name.size() <= 250 && name.find('/') == std::string::npos;
}

}  // namespace

StartupResult openViewerBlocks(const ViewerCommandLine& commandLine, int processId) {
    StartupResult result;
    auto mappings = std::make_shared<Mappings>();

    if (!commandLine.frontEndName || !usableName(*commandLine.frontEndName)) {
        result.error = mappedFileOpenMessage(1, commandLine.frontEndText);
        return result;
    }
    int error = 0;
    mappings->frontEnd = platform::SharedMemory::open(*commandLine.frontEndName, common::FRONT_END_BLOCK_SIZE, &error);
    if (!mappings->frontEnd) {
        // EINVAL: the object exists but is smaller than a FrontEndBlock.
        result.error = error == EINVAL ? mappedFileMapMessage(1) : mappedFileOpenMessage(1, commandLine.frontEndText);
        return result;
    }

    if (!commandLine.analysisName || !usableName(*commandLine.analysisName)) {
        result.error = mappedFileOpenMessage(2, commandLine.analysisText);
        return result;
    }
    if (!commandLine.analysisSize) {
        // Without a usable size the block cannot be mapped; tell apart a
        // block that does not exist at all.
        result.error = platform::SharedMemory::exists(*commandLine.analysisName)
                           ? mappedFileMapMessage(2)
                           : mappedFileOpenMessage(2, commandLine.analysisText);
        return result;
    }
    mappings->analysis =
        platform::SharedMemory::open(*commandLine.analysisName, static_cast<std::size_t>(*commandLine.analysisSize),
                                     &error);
    if (!mappings->analysis) {
        result.error = error == EINVAL ? mappedFileMapMessage(2) : mappedFileOpenMessage(2, commandLine.analysisText);
        return result;
    }

    void* frontEndBase = mappings->frontEnd->data();
    const std::size_t frontEndLength = mappings->frontEnd->size();
    void* analysisBase = mappings->analysis->data();
    const std::size_t analysisLength = mappings->analysis->size();
    result.session = ViewerSession::make(frontEndBase, frontEndLength, analysisBase, analysisLength, processId,
                                         [mappings] {
                                             mappings->frontEnd.reset();
                                             mappings->analysis.reset();
                                         });
    if (!result.session) result.error = mappedFileMapMessage(2);
    return result;
}

}  // namespace viewer
