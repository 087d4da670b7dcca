#include "viewer/core/viewer_session.h"

namespace viewer {

std::unique_ptr<ViewerSession> ViewerSession::make(void* frontEndBase, std::size_t frontEndLength,
                                                   void* analysisBase, std::size_t analysisLength, int processId,
                                                   std::function<void()> release) {
    auto frontEnd = common::readFrontEndBlock(frontEndBase, frontEndLength);
    auto analysis = common::readAnalysisBlock(analysisBase, analysisLength);
    if (!frontEnd || !analysis) return nullptr;
    auto session = std::make_unique<ViewerSession>(Token{});
    session->processId_ = processId;
    session->frontEndWindow_ = frontEnd->mainWindow;
    session->header_ = analysis->header;
    session->frontEnd_ = frontEnd->block;
    session->analysis_ = std::move(*analysis);
    session->frontEndView_ = std::move(*frontEnd);
    session->release_ = std::move(release);
    session->maps_ = render::makePixelMaps();
    return session;
}

ViewerSession::~ViewerSession() { releaseBlocks(); }

int ViewerSession::busyState() const {
    if (frontEnd_ == nullptr) return common::BUSY_NEVER_RUN;
    return common::readBusyState(*frontEnd_);
}

void ViewerSession::releaseBlocks() {
    if (header_ == nullptr && frontEnd_ == nullptr) return;
    header_ = nullptr;
    frontEnd_ = nullptr;
    analysis_.header = nullptr;
    frontEndView_.block = nullptr;
    // The component views point into the mapping; drop them with it.
    analysis_.components.clear();
    if (release_) release_();
    release_ = nullptr;
}

}  // namespace viewer
