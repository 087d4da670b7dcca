// Opening the two blocks named on the viewer's command line.
//
// Order and messages (the process shows the message in the error dialog and
// ends when opening fails):
//  1. FrontEndBlock by the name of token 1; missing, bad or not openable:
//     "マップドファイル1 [%s] のオープンに失敗しました。"
//  2. map 1368 bytes of it; the object is smaller or cannot be mapped:
//     "マップドファイル1のオープンに失敗しました。"
//  3. AnalysisBlock by the name of token 2: "マップドファイル2 [%s] …"
//  4. map the size of token 3 (at least 12936, at most the object's size):
//     "マップドファイル2のオープンに失敗しました。"
// On success the session owns both mappings; releasing the session's blocks
// unmaps them.
#pragma once

#include <memory>
#include <string>

#include "viewer/core/viewer_command_line.h"
#include "viewer/core/viewer_session.h"

namespace viewer {

struct StartupResult {
    std::unique_ptr<ViewerSession> session;  // null on failure
    std::string error;                       // the message on failure
};

StartupResult openViewerBlocks(const ViewerCommandLine& commandLine, int processId);

}  // namespace viewer
