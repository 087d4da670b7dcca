// A stand-in for the viewer in tests of the front end and the platform layer.
// Started as the viewer is: viewer_standin -<FData name> -<PData name> -<size>.
// It maps both blocks, writes its frame handle (pid * 256 + 1) into the
// AnalysisBlock, then follows the steps of HV_STANDIN_POSTS (comma separated,
// default "1025,1026,wait"), or of the line "title<TAB>steps" of the file
// HV_STANDIN_SCRIPTS whose title is its block's:
//   1025, 1026       post to the front end window: wParam = own pid,
//                    lParam = own view handle (pid * 256 + 2)
//   1027:M, 1027:J   copy the current ViewRecord into the drawn one, post 1027 with that mode
//   wait             wait for WM_CLOSE (to pid * 256 or pid * 256 + 1)
//   size:WxH         write W and H as the picture size of the current ViewRecord
//   crash            end at once with exit code 3, posting nothing
// WM_CLOSE during any step, or the end of the steps, closes it: it unmaps
// both blocks, posts 1028 and exits 0. HV_STANDIN_TIMEOUT_MS bounds every
// wait (default 30000; on time-out it exits 4). Bad command lines and blocks
// that cannot be opened end it with code 2.
#include "common/block_layout.h"
#include "common/block_reader.h"
#include "common/messages.h"
#include "platform/message_port.h"
#include "platform/shared_memory.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int EXIT_BAD_START = 2;
constexpr int EXIT_CRASH = 3;
constexpr int EXIT_TIMEOUT = 4;

struct Standin {
    pid_t pid = ::getpid();
    platform::WindowHandle frontEnd = 0;
    std::optional<platform::SharedMemory> frontEndBlock, analysisBlock;
    std::unique_ptr<platform::MessageEndpoint> endpoint;
    int timeoutMs = 30000;

    [[noreturn]] void close() {
        frontEndBlock.reset();
        analysisBlock.reset();
        platform::postMessage(frontEnd, common::MSG_VIEWER_CLOSING, pid, 0);
        platform::flushPostedMessages(timeoutMs);
        endpoint.reset();
        std::exit(0);
    }

    // Handles the messages waiting; with `wait`, waits for WM_CLOSE (exit on time-out).
    void pump(bool wait) {
        do {
            while (auto m = endpoint->receive()) {
                const int index = platform::indexOfHandle(m->message.target);
                if (m->message.msg == common::WM_CLOSE && (index == 0 || index == 1)) close();
            }
        } while (wait && endpoint->waitReadable(timeoutMs));
        if (wait) std::exit(EXIT_TIMEOUT);
    }
};

}  // namespace

int main(int argc, char** argv) {
    Standin s;
    if (const char* t = std::getenv("HV_STANDIN_TIMEOUT_MS")) s.timeoutMs = std::atoi(t);

    std::string tokens[3];
    for (int i = 1; i <= 3; ++i) {
        if (i >= argc || argv[i][0] != '-' || argv[i][1] == 0) return EXIT_BAD_START;
        tokens[i - 1] = argv[i] + 1;
    }
    const auto size = static_cast<std::size_t>(std::strtoull(tokens[2].c_str(), nullptr, 10));
    s.frontEndBlock = platform::SharedMemory::open(tokens[0], common::FRONT_END_BLOCK_SIZE);
    s.analysisBlock = platform::SharedMemory::open(tokens[1], size);  // refused beyond the object's end
    if (!s.frontEndBlock || !s.analysisBlock || size < common::ANALYSIS_BLOCK_FIXED_SIZE) {
        std::fprintf(stderr, "viewer_standin: the blocks cannot be opened\n");
        return EXIT_BAD_START;
    }

    auto frontEnd = common::readFrontEndBlock(s.frontEndBlock->data(), s.frontEndBlock->size());
    auto analysis = common::readAnalysisBlock(s.analysisBlock->data(), s.analysisBlock->size());
    if (!frontEnd || !analysis) return EXIT_BAD_START;
    s.frontEnd = frontEnd->mainWindow;
    s.endpoint = platform::MessageEndpoint::open();
    if (!s.endpoint) return EXIT_BAD_START;
    analysis->header->viewerWindow = platform::makeWindowHandle(s.pid, 1);

    const char* posts = std::getenv("HV_STANDIN_POSTS");
    std::string script = posts ? posts : "1025,1026,wait";
    if (const char* scripts = std::getenv("HV_STANDIN_SCRIPTS")) {
        std::ifstream lines(scripts);
        std::string line;
        const std::string title = std::string(analysis->title) + '\t';
        while (std::getline(lines, line))
            if (line.rfind(title, 0) == 0) script = line.substr(title.size());
    }
    const platform::WindowHandle view = platform::makeWindowHandle(s.pid, 2);
    std::stringstream steps(script);
    for (std::string step; std::getline(steps, step, ',');) {
        s.pump(false);
        if (step == "1025" || step == "1026") {
            platform::postMessage(s.frontEnd, std::atoi(step.c_str()), s.pid, view);
        } else if (step.rfind("1027:", 0) == 0 && step.size() == 6) {
            analysis->header->drawnView = analysis->header->currentView;
            platform::postMessage(s.frontEnd, common::MSG_NEW_PICTURE, s.pid, step[5]);
        } else if (step == "wait") {
            s.pump(true);
        } else if (step.rfind("size:", 0) == 0 && step.find('x') != std::string::npos) {
            analysis->header->currentView.pictureWidth = std::atoi(step.c_str() + 5);
            analysis->header->currentView.pictureHeight = std::atoi(step.c_str() + step.find('x') + 1);
        } else if (step.empty()) {
            continue;
        } else if (step == "crash") {
            std::_Exit(EXIT_CRASH);
        } else {
            std::fprintf(stderr, "viewer_standin: unknown step %s\n", step.c_str());
            return EXIT_BAD_START;
        }
    }
    s.close();
}
