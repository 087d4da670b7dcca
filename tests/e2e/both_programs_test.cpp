// Both programs together: the front end (its main dialog, in this process) starts real torvel
// processes, driven through the message port as a window is (posted WM_COMMAND and mouse
// messages); the pictures' blocks are read by name.
#include "common/block_names.h"
#include "common/messages.h"
#include "../frontend/frontend_test_support.h"
#include "platform/message_port.h"
#include "platform/process.h"
#include "platform/recording_message_boxes.h"
#include "viewer/core/control_ids.h"

#include <sys/prctl.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using frontend::SlotState;
using frontend_test::waitUntil;

bool hasSocket(pid_t pid) { return fs::exists(platform::socketPathFor(pid)); }

// The front end's block and its pictures' blocks that exist.
int blocksOf(pid_t pid) {
    const auto id = static_cast<std::uint32_t>(pid);
    int n = platform::SharedMemory::exists(common::frontEndBlockName(id));
    for (int slot = 0; slot < frontend::VIEWER_SLOT_COUNT; ++slot)
        n += platform::SharedMemory::exists(common::analysisBlockName(slot, id));
    return n;
}

class BothPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        MainDialog::Options options;
        options.settingsPath = std::string(std::getenv("XDG_CONFIG_HOME")) + "/Halvatrine.conf";
        options.viewerProgram = HV_TORVEL_PATH;
        // Every critical point takes part in a Mandelbrot picture.
        options.selectCriticalPoints = [](common::CriticalPointList& list) {
            for (int i = 0; i < list.count; ++i) list.selected[i] = 1;
            return list.count > 0;
        };
        dialog_ = std::make_unique<MainDialog>(boxes_, options);
    }

    void TearDown() override {
        if (slotsInUse() > 0) {
            boxes_.scriptAnswers({true});
            dialog_->closeAllButton()->click();
            EXPECT_TRUE(waitUntil([&] { return slotsInUse() == 0 && dialog_->executeButton()->isEnabled(); }));
        }
        for (pid_t pid : viewers_) {
            EXPECT_TRUE(waitUntil([pid] { return frontend_test::processGone(pid); })) << pid;
            EXPECT_FALSE(hasSocket(pid)) << pid;  // its socket went with it
        }
        dialog_->close();
        dialog_.reset();
        EXPECT_TRUE(frontend_test::ownSharedObjects().empty());
    }

    frontend::JobControl& job() { return dialog_->job(); }

    void type(int field, const char* text) {
        QLineEdit* edit = dialog_->coefficientField(field);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }

    common::AnalysisBlockHeader header(int slot) { return frontend_test::blockHeader(job(), slot); }

    std::string title(int slot) { return frontend_test::blockTitle(job(), slot); }

    // Waits for the slot's viewer to show its frame; `draw` presses its draw
    // button and waits until the front end has heard that the picture is done.
    void drawInViewer(int slot, bool draw = true) {
        ASSERT_TRUE(waitUntil([&] { return job().slotState(slot) >= SlotState::Started && header(slot).viewerWindow != 0; }))
            << "slot " << slot;
        viewers_.push_back(job().slotProcess(slot));
        const int frame = header(slot).viewerWindow;
        EXPECT_EQ(frame, platform::makeWindowHandle(job().slotProcess(slot), 1));
        if (!draw) return;
        platform::postMessage(frame, viewer::WM_COMMAND, viewer::ID_DRAW_BUTTON, 0);
        ASSERT_TRUE(waitUntil([&] { return job().slotState(slot) == SlotState::Drawn; })) << "slot " << slot;
    }

    // A left-button release with the given MK_* flags at a position of the slot's first view.
    void pick(int slot, int flags, int x, int y) {
        platform::postMessage(platform::makeWindowHandle(job().slotProcess(slot), 2), viewer::WM_LBUTTONUP, flags, (y << 16) | x);
    }

    int slotsInUse() { return frontend_test::slotsInUse(job()); }

    platform::RecordingMessageBoxes boxes_;
    std::unique_ptr<MainDialog> dialog_;
    std::vector<pid_t> viewers_;
};

}  // namespace

TEST_F(BothPrograms, MandelbrotPictureOpensItsJuliaPictureAndAZoom) {
    type(8, "1");  // z^2: field 4 d is the numerator's real part of degree d
    type(0, "0");
    dialog_->mandelbrotButton()->click();
    dialog_->executeButton()->click();
    drawInViewer(0);
    EXPECT_EQ(title(0), "M1");
    const common::ViewRecord v = header(0).currentView;
    const double scale = v.pictureWidth * v.magnification;

    // Ctrl+pick: the Julia picture of the parameter under the mouse.
    pick(0, viewer::MK_CONTROL, v.pictureWidth / 2 - 45, v.pictureHeight / 2 - 30);
    ASSERT_TRUE(waitUntil([&] { return job().slotState(1) >= SlotState::Started && !job().busy(); }));
    EXPECT_EQ(title(1), "J1←M1");
    const common::AnalysisBlockHeader julia = header(1);
    EXPECT_EQ(julia.pictureKind, 'J');
    // z^2 + c with c the picked parameter.
    EXPECT_DOUBLE_EQ(julia.map.numeratorRe[0], v.centreRe - 45 / scale);
    EXPECT_DOUBLE_EQ(julia.map.numeratorIm[0], v.centreIm + 30 / scale);
    EXPECT_EQ(julia.map.numeratorRe[2], 1.0);
    drawInViewer(1);

    // Shift+pick at the centre: a second request of M1, centred there.
    pick(0, viewer::MK_SHIFT, v.pictureWidth / 2, v.pictureHeight / 2);
    ASSERT_TRUE(waitUntil([&] { return job().slotState(2) >= SlotState::Started; }));
    EXPECT_EQ(title(2), "M2←M1");
    EXPECT_EQ(header(2).pictureKind, 'M');
    EXPECT_EQ(header(2).currentView.centreRe, v.centreRe);
    // Close-all (at the end) reaches this viewer before it ever draws.
    drawInViewer(2, false);
}

// A viewer killed while it draws, then the front end: the viewer left works on alone, the next
// front end to start removes the dead one's blocks and socket (and nothing else), and once the
// viewer is closed nothing of either is left.
TEST(FrontEndCrash, ViewersOutliveItAndTheNextFrontEndRemovesWhatItLeft) {
    // Orphaned viewers become children of this process, so that they are
    // reaped here and not counted as alive as zombies.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::vector<pid_t> started;
    const auto guard = std::shared_ptr<void>(nullptr, [&started](void*) {
        for (pid_t pid : started) {
            if (!platform::waitForExit(pid, 0)) ::kill(pid, SIGKILL);
            platform::waitForExit(pid, -1);
        }
        ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    });
    const std::string report = fs::current_path().string() + "/crash-driver-report";
    const auto driver = platform::startProcess(HV_CRASH_DRIVER_PATH, {report, HV_TORVEL_PATH}, "");
    ASSERT_TRUE(driver);
    started.push_back(*driver);
    pid_t frontEnd = 0, first = 0, second = 0;
    ASSERT_TRUE(waitUntil([&] { return static_cast<bool>(std::ifstream(report) >> frontEnd >> first >> second); }));
    started.insert(started.end(), {first, second});
    ASSERT_EQ(blocksOf(frontEnd), 3);
    // A viewer killed while it draws: its front end removes its block and socket.
    ASSERT_EQ(::kill(second, SIGKILL), 0);
    EXPECT_TRUE(waitUntil([&] { return blocksOf(frontEnd) == 2 && !hasSocket(second); }));

    ASSERT_EQ(::kill(frontEnd, SIGKILL), 0);
    // Reaped as its parent (a shell, the desktop) would, unaware of sockets.
    ASSERT_EQ(::waitpid(frontEnd, nullptr, 0), frontEnd);
    // What a kill leaves (its blocks another test run's program may already have removed).
    EXPECT_TRUE(hasSocket(frontEnd));

    // The next front end: its start removes the dead one's objects.
    const auto next = platform::startProcess(HV_HALVATRINE_PATH, {}, "");
    ASSERT_TRUE(next);
    started.push_back(*next);
    ASSERT_TRUE(waitUntil([&] { return hasSocket(*next); }));
    EXPECT_EQ(blocksOf(frontEnd) + hasSocket(frontEnd), 0);
    EXPECT_EQ(blocksOf(*next), 1);
    EXPECT_TRUE(!frontend_test::processGone(first) && hasSocket(first));
    // A pick on the picture asks the dead front end for a new one: nothing happens.
    platform::postMessage(platform::makeWindowHandle(first, 2), viewer::WM_LBUTTONUP, viewer::MK_SHIFT, (20 << 16) | 20);

    // Closed, the viewer ends normally and takes its socket along.
    platform::postMessage(platform::makeWindowHandle(first, 0), common::WM_CLOSE, 0, 0);
    int status = -1;
    ASSERT_TRUE(waitUntil([&] { return platform::waitForExit(first, 0, &status); }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(hasSocket(first));
    ::kill(*next, SIGTERM);
    ASSERT_TRUE(platform::waitForExit(*next, frontend_test::WAIT_MS));
    EXPECT_EQ(blocksOf(*next) + hasSocket(*next), 0);
}
