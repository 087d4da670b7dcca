// `cmake --install` into a temporary prefix gives a working tree: every
// installed file in its place, a valid desktop entry, and the front end
// starting the installed viewer, which draws its picture.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "frontend/main_dialog.h"
#include "platform/message_port.h"
#include "platform/recording_message_boxes.h"
#include "platform/shared_memory.h"
#include "viewer/core/control_ids.h"

namespace {

using frontend::SlotState;

constexpr int WAIT_GUARD_MS = 120000;  // against hanging only

int run(const std::string& command) { return std::system((command + " > /dev/null 2>&1").c_str()); }

TEST(InstalledTree, InstallsAWorkingTree) {
    QTemporaryDir prefixDir;
    const std::string prefix = prefixDir.path().toStdString();
    ASSERT_EQ(run("'" HV_CMAKE "' --install '" HV_BUILD_DIR "' --prefix '" + prefix + "'"), 0);
    for (const char* file : {"bin/halvatrine", "bin/torvel", "bin/halvatrine-cli",
                             "share/halvatrine/translations/halvatrine_en.qm",
                             "share/halvatrine/samples/SampleData.dat", "share/applications/halvatrine.desktop",
                             "share/icons/hicolor/scalable/apps/halvatrine.svg",
                             "share/doc/halvatrine/halvatrine_help.html",
                             "share/doc/halvatrine/halvatrine_help_en.html"})
        EXPECT_TRUE(std::filesystem::is_regular_file(prefix + "/" + file)) << file;
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty()) {
        EXPECT_EQ(run(validator.toStdString() + " '" + prefix + "/share/applications/halvatrine.desktop'"), 0);
    }

    // The front end starts the viewer beside it: the installed one, here.
    platform::RecordingMessageBoxes boxes;
    MainDialog::Options options;
    options.settingsPath = std::string(std::getenv("XDG_CONFIG_HOME")) + "/installed.conf";
    options.viewerProgram = prefix + "/bin/torvel";
    MainDialog dialog(boxes, options);
    for (const auto& [field, text] : {std::pair{8, "1"}, std::pair{0, "-1"}}) {
        dialog.coefficientField(field)->selectAll();
        QTest::keyClicks(dialog.coefficientField(field), QString::fromUtf8(text));
    }
    dialog.juliaButton()->click();
    dialog.executeButton()->click();
    frontend::JobControl& job = dialog.job();
    auto viewerWindow = [&] {
        common::AnalysisBlockHeader h{};
        const auto block = platform::SharedMemory::open(job.slotBlockName(0));
        if (block && block->size() >= sizeof h) std::memcpy(&h, block->data(), sizeof h);
        return h.viewerWindow;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return job.slotState(0) >= SlotState::Started && viewerWindow() != 0; },
                                WAIT_GUARD_MS));
    platform::postMessage(viewerWindow(), viewer::WM_COMMAND, viewer::ID_DRAW_BUTTON, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return job.slotState(0) == SlotState::Drawn; }, WAIT_GUARD_MS));
    boxes.scriptAnswers({true});
    dialog.closeAllButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return job.slotState(0) == SlotState::Free; }, WAIT_GUARD_MS));
}

}  // namespace
