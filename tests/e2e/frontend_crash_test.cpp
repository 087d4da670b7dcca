// Processes killed (SIGKILL) while pictures are drawn.
//  - A viewer: the front end frees its slot, removes its block and socket,
//    and works on as before.
//  - The front end: the viewers keep working on their own, the next front
//    end to start removes the dead one's blocks and socket (and nothing
//    else), and once the viewers are closed nothing of either is left.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "common/block_names.h"
#include "common/messages.h"
#include "frontend/main_dialog.h"
#include "platform/recording_message_boxes.h"
#include "platform/message_port.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "viewer/core/control_ids.h"

namespace {

namespace fs = std::filesystem;

constexpr int WAIT_GUARD_MS = 120000;  // against hanging only

bool alive(pid_t pid) { return ::kill(pid, 0) == 0; }
bool hasSocket(pid_t pid) { return fs::exists(platform::socketPathFor(pid)); }

// The front end's block and its pictures' blocks that exist.
int blocksOf(pid_t pid) {
    const auto id = static_cast<std::uint32_t>(pid);
    int n = platform::SharedMemory::exists(common::frontEndBlockName(id));
    for (int slot = 0; slot < frontend::VIEWER_SLOT_COUNT; ++slot)
        n += platform::SharedMemory::exists(common::analysisBlockName(slot, id));
    return n;
}

struct Processes {
    std::vector<pid_t> pids;
    ~Processes() {
        for (pid_t pid : pids)
            if (!platform::waitForExit(pid, 0)) {
                ::kill(pid, SIGKILL);
                platform::waitForExit(pid, -1);
            }
    }
};

}  // namespace

TEST(ViewerCrash, AViewerKilledWhileItDrawsFreesItsSlotAndLeavesNothing) {
    platform::RecordingMessageBoxes boxes;
    MainDialog dialog(boxes, {std::string(std::getenv("XDG_CONFIG_HOME")) + "/Halvatrine.conf", HV_TORVEL_PATH, {}});
    for (const auto& [field, text] : {std::pair{8, "1"}, std::pair{0, "0.25"}}) dialog.coefficientField(field)->setText(text);
    dialog.juliaButton()->click();
    frontend::JobControl& job = dialog.job();
    const auto frameOf = [&](int slot) {
        const auto block = platform::SharedMemory::open(job.slotBlockName(slot));
        return block ? static_cast<const common::AnalysisBlockHeader*>(block->data())->viewerWindow : 0;
    };
    const auto draw = [&](frontend::SlotState until) {
        dialog.executeButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return job.slotState(0) >= frontend::SlotState::Started && frameOf(0); },
                                    WAIT_GUARD_MS));
        platform::postMessage(frameOf(0), viewer::WM_COMMAND, viewer::ID_DRAW_BUTTON, 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return job.slotState(0) >= until; }, WAIT_GUARD_MS));
    };
    draw(frontend::SlotState::Drawing);
    const pid_t viewer = job.slotProcess(0);
    ASSERT_EQ(::kill(viewer, SIGKILL), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return job.slotState(0) == frontend::SlotState::Free; }, WAIT_GUARD_MS));
    EXPECT_FALSE(alive(viewer) || hasSocket(viewer));
    EXPECT_EQ(blocksOf(::getpid()), 1);
    // Nothing is stuck: the next picture opens and draws.
    draw(frontend::SlotState::Drawn);
    const pid_t next = job.slotProcess(0);
    boxes.scriptAnswers({true});
    dialog.closeAllButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !alive(next); }, WAIT_GUARD_MS));
    EXPECT_EQ(boxes.texts().size(), 1u);
}

TEST(FrontEndCrash, ViewersOutliveItAndTheNextFrontEndRemovesWhatItLeft) {
    // Orphaned viewers become children of this process, so that they are
    // reaped here and not counted as alive as zombies.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    Processes guard;
    const std::string report = fs::current_path().string() + "/crash-driver-report";
    const auto driver = platform::startProcess(HV_CRASH_DRIVER_PATH, {report, HV_TORVEL_PATH}, "");
    ASSERT_TRUE(driver);
    guard.pids.push_back(*driver);
    pid_t frontEnd = 0, first = 0, second = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(std::ifstream(report) >> frontEnd >> first >> second); }, WAIT_GUARD_MS));
    guard.pids.insert(guard.pids.end(), {first, second});
    ASSERT_EQ(frontEnd, *driver);
    ASSERT_EQ(blocksOf(frontEnd), 3);

    ASSERT_EQ(::kill(frontEnd, SIGKILL), 0);
    // Reaped as its parent (a shell, the desktop) would, unaware of sockets.
    ASSERT_EQ(::waitpid(frontEnd, nullptr, 0), frontEnd);
    // What a kill leaves. (Its blocks are in the system-wide folder, where a
    // program of another test run starting now may already remove them.)
    EXPECT_TRUE(hasSocket(frontEnd));

    // The next front end: its start removes the dead one's objects.
    const auto next = platform::startProcess(HV_HALVATRINE_PATH, {}, "");
    ASSERT_TRUE(next);
    guard.pids.push_back(*next);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasSocket(*next); }, WAIT_GUARD_MS));
    EXPECT_EQ(blocksOf(frontEnd) + hasSocket(frontEnd), 0);
    EXPECT_EQ(blocksOf(*next), 1);
    for (pid_t viewer : {first, second}) {
        EXPECT_TRUE(alive(viewer) && hasSocket(viewer)) << viewer;
        // A pick on the picture asks the dead front end for a new one: nothing happens.
        platform::postMessage(platform::makeWindowHandle(viewer, 2), viewer::WM_LBUTTONUP, viewer::MK_SHIFT,
                              (20 << 16) | 20);
    }
    QTest::qWait(500);

    // Closed, each viewer ends normally and takes its socket along.
    for (pid_t viewer : {first, second}) platform::postMessage(platform::makeWindowHandle(viewer, 0), common::WM_CLOSE, 0, 0);
    for (pid_t viewer : {first, second}) {
        int status = -1;
        ASSERT_TRUE(QTest::qWaitFor([&] { return platform::waitForExit(viewer, 0, &status); }, WAIT_GUARD_MS));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_FALSE(hasSocket(viewer));
    }
    ::kill(*next, SIGTERM);
    ASSERT_TRUE(platform::waitForExit(*next, WAIT_GUARD_MS));
    EXPECT_EQ(blocksOf(*next) + hasSocket(*next), 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}
