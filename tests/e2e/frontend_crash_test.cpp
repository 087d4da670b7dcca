// A front end killed (SIGKILL) while its viewers draw: the viewers keep
// working on their own, the next front end to start removes the dead one's
// blocks and socket (and nothing else), and once the viewers are closed
// nothing of the dead front end or its viewers is left.
#include <QTest>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/block_names.h"
#include "common/messages.h"
#include "platform/message_port.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "viewer/core/control_ids.h"

namespace {

namespace fs = std::filesystem;

constexpr int WAIT_GUARD_MS = 120000;  // against hanging only

bool alive(pid_t pid) { return ::kill(pid, 0) == 0; }
bool hasSocket(pid_t pid) { return fs::exists(platform::socketPathFor(pid)); }

// Blocks in /dev/shm whose names end with "_<pid>" or are "FData<pid>".
std::vector<std::string> blocksOf(pid_t pid) {
    std::vector<std::string> names;
    const std::string id = std::to_string(pid);
    for (const auto& e : fs::directory_iterator(platform::SHARED_MEMORY_DIRECTORY)) {
        const std::string name = e.path().filename().string();
        if (name == common::frontEndBlockName(static_cast<std::uint32_t>(pid)) ||
            (name.rfind("PData", 0) == 0 && name.size() > id.size() + 1 &&
             name.compare(name.size() - id.size() - 1, std::string::npos, "_" + id) == 0))
            names.push_back(name);
    }
    return names;
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

TEST(FrontEndCrash, ViewersOutliveItAndTheNextFrontEndRemovesWhatItLeft) {
    // Orphaned viewers become children of this process, so that they are
    // reaped here and not counted as alive as zombies.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    Processes guard;
    const std::string report = fs::current_path().string() + "/crash-driver-report";
    const auto driver = platform::startProcess(HV_CRASH_DRIVER_PATH, {report, HV_TORVEL_PATH}, "");
    ASSERT_TRUE(driver.has_value());
    guard.pids.push_back(*driver);
    pid_t frontEnd = 0, first = 0, second = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(std::ifstream(report) >> frontEnd >> first >> second); }, WAIT_GUARD_MS));
    guard.pids.insert(guard.pids.end(), {first, second});
    ASSERT_EQ(frontEnd, *driver);
    ASSERT_EQ(blocksOf(frontEnd).size(), 3u);

    ASSERT_EQ(::kill(frontEnd, SIGKILL), 0);
    // Reaped as its parent (a shell, the desktop) would, unaware of sockets.
    ASSERT_EQ(::waitpid(frontEnd, nullptr, 0), frontEnd);
    EXPECT_TRUE(hasSocket(frontEnd));  // what a kill leaves
    EXPECT_EQ(blocksOf(frontEnd).size(), 3u);

    // The next front end: its start removes the dead one's objects.
    const auto next = platform::startProcess(HV_HALVATRINE_PATH, {}, "");
    ASSERT_TRUE(next.has_value());
    guard.pids.push_back(*next);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasSocket(*next); }, WAIT_GUARD_MS));
    EXPECT_TRUE(blocksOf(frontEnd).empty());
    EXPECT_FALSE(hasSocket(frontEnd));
    EXPECT_EQ(blocksOf(*next).size(), 1u);
    for (pid_t viewer : {first, second}) {
        EXPECT_TRUE(alive(viewer) && hasSocket(viewer)) << viewer;
        // A pick on the picture asks the dead front end for a new one: nothing happens.
        platform::postMessage(platform::makeWindowHandle(viewer, 2), viewer::WM_LBUTTONUP, viewer::MK_SHIFT,
                              (20 << 16) | 20);
    }
    QTest::qWait(500);

    // Closed, each viewer ends normally and takes its socket along.
    for (pid_t viewer : {first, second}) {
        ASSERT_TRUE(alive(viewer)) << viewer;
        platform::postMessage(platform::makeWindowHandle(viewer, 0), common::WM_CLOSE, 0, 0);
    }
    for (pid_t viewer : {first, second}) {
        int status = -1;
        ASSERT_TRUE(QTest::qWaitFor([&] { return platform::waitForExit(viewer, 0, &status); }, WAIT_GUARD_MS));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_FALSE(hasSocket(viewer));
    }
    ::kill(*next, SIGTERM);
    ASSERT_TRUE(platform::waitForExit(*next, WAIT_GUARD_MS));
    EXPECT_TRUE(blocksOf(*next).empty());
    EXPECT_FALSE(hasSocket(*next));
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}
