// What one viewer process holds for its whole life: its process id, the
// front end's window, the two mapped blocks with their checked views, the
// pixel maps, the colour table and the render statistics.
//
// A session is made by the start-up from the blocks named on the command
// line (viewer_startup.h) or, in tests, from blocks in ordinary memory. The
// windows (CMainFrame, CTorvelDoc, CTorvelView) and the colour dialogs work
// on it by reference; nothing here is global.
//
// The checked views (analysis(), frontEndView()) are read once when the
// session is made: counts, degrees and offsets in them are bounded (see
// common/block_reader.h). Fields the viewer writes or that change while it
// runs (viewerWindow, the two ViewRecords, busyState) are reached through
// header() and frontEnd() directly.
//
// releaseBlocks() unmaps both blocks (the last step of the shutdown before
// the closing message). Afterwards blocksAvailable() is false and header()
// and frontEnd() must not be used.
//
// Thread-safety: made and released on the interface thread. The render
// thread reads the blocks, the maps and the colour table and writes the maps
// and statistics while it runs; the interface thread joins it before
// releasing anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "common/block_layout.h"
#include "common/block_reader.h"
#include "viewer/colour/colour_model.h"
#include "viewer/maps/pixel_maps.h"

namespace viewer {

class ViewerSession {
public:
    // Blocks at the given addresses; `release` (may be empty) unmaps them.
    // Returns null when either block is unusable (null, misaligned or too
    // short); see common::readAnalysisBlock / readFrontEndBlock.
    static std::unique_ptr<ViewerSession> make(void* frontEndBase, std::size_t frontEndLength, void* analysisBase,
                                               std::size_t analysisLength, int processId,
                                               std::function<void()> release);
    ~ViewerSession();
    ViewerSession(const ViewerSession&) = delete;
    ViewerSession& operator=(const ViewerSession&) = delete;

    int processId() const { return processId_; }
    // The front end's main window, copied once from its block at start.
    std::int32_t frontEndWindow() const { return frontEndWindow_; }

    bool blocksAvailable() const { return header_ != nullptr; }
    common::AnalysisBlockHeader& header() { return *header_; }
    common::FrontEndBlock& frontEnd() { return *frontEnd_; }
    const common::AnalysisBlockView& analysis() const { return analysis_; }
    const common::FrontEndBlockView& frontEndView() const { return frontEndView_; }
    std::size_t analysisLength() const { return analysis_.mappedLength; }

    bool isJulia() const { return analysis_.pictureKind == 'J'; }
    // The picture's kind as a character code for MSG_NEW_PICTURE.
    int pictureKindCode() const { return static_cast<unsigned char>(analysis_.pictureKind); }
    // Number of component table entries after the bound (0..20).
    int componentCount() const { return static_cast<int>(analysis_.components.size()); }

    // The front end's busy state as it is now.
    int busyState() const;

    render::PixelMaps& maps() { return *maps_; }
    colour::ColourTable& colourTable() { return colourTable_; }
    colour::RenderStatistics& statistics() { return statistics_; }

    // Unmaps both blocks; idempotent.
    void releaseBlocks();

private:
    struct Token {
        explicit Token() = default;
    };

public:
    explicit ViewerSession(Token) {}

private:

    int processId_ = 0;
    std::int32_t frontEndWindow_ = 0;
    common::AnalysisBlockHeader* header_ = nullptr;
    common::FrontEndBlock* frontEnd_ = nullptr;
    common::AnalysisBlockView analysis_;
    common::FrontEndBlockView frontEndView_;
    std::function<void()> release_;
    std::unique_ptr<render::PixelMaps> maps_;
    colour::ColourTable colourTable_;
    colour::RenderStatistics statistics_;
};

}  // namespace viewer
