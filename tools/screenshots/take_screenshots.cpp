// Takes the README's screenshots: run under an X server (xvfb-run, see
// scripts/screenshots.sh). The front end's dialog, in this process and not
// shown, executes a Julia picture and a Mandelbrot picture; each real viewer
// draws its picture, and the finished viewer window is cut out of the screen.
//
//   take_screenshots <output directory>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "frontend/main_dialog.h"
#include "platform/message_port_qt.h"
#include "platform/recording_message_boxes.h"
#include "platform/shared_memory.h"
#include "platform/termination_cleanup.h"
#include "viewer/core/control_ids.h"
#include "platform/ui_language.h"

namespace {

constexpr int WAIT_GUARD_MS = 120000;

// The bounding box of everything that is not the black screen background.
QRect windowArea(const QImage& screen) {
    QRect box;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if ((screen.pixel(x, y) & 0xFFFFFF) != 0) box |= QRect(x, y, 1, 1);
    return box;
}

bool takePicture(MainDialog& dialog, platform::RecordingMessageBoxes& boxes, char mode, const char* re,
                 const char* im, const std::string& path) {
    auto type = [&](int field, const char* text) {
        dialog.coefficientField(field)->selectAll();
        QTest::keyClicks(dialog.coefficientField(field), QString::fromUtf8(text));
    };
    type(8, "1");
    type(0, re);
    type(1, im);
    (mode == 'J' ? dialog.juliaButton() : dialog.mandelbrotButton())->click();
    dialog.executeButton()->click();
    frontend::JobControl& job = dialog.job();
    auto frameOf = [&]() -> int {
        const auto block = platform::SharedMemory::open(job.slotBlockName(0));
        if (!block) return 0;
        return static_cast<const common::AnalysisBlockHeader*>(block->data())->viewerWindow;
    };
    if (!QTest::qWaitFor([&] { return job.slotState(0) >= frontend::SlotState::Started && frameOf() != 0; },
                         WAIT_GUARD_MS))
        return false;
    platform::postMessage(frameOf(), viewer::WM_COMMAND, viewer::ID_DRAW_BUTTON, 0);
    if (!QTest::qWaitFor([&] { return job.slotState(0) == frontend::SlotState::Drawn; }, WAIT_GUARD_MS)) return false;
    QTest::qWait(1500);  // the viewer repaints its window after the last column
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    const QRect area = windowArea(screen);
    const bool saved = !area.isEmpty() && screen.copy(area).save(QString::fromStdString(path));
    boxes.scriptAnswers({true});
    dialog.closeAllButton()->click();
    const bool closed = QTest::qWaitFor([&] { return dialog.executeButton()->isEnabled(); }, WAIT_GUARD_MS);
    QTest::qWait(500);
    return saved && closed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: take_screenshots <output directory>\n");
        return 2;
    }
    const std::string out = std::filesystem::absolute(argv[1]).string();
    char pattern[] = "/tmp/hv-shots-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 2;
    ::setenv("XDG_RUNTIME_DIR", pattern, 1);  // the viewers' sockets live in the scratch folder too
    ::setenv("XDG_CONFIG_HOME", pattern, 1);
    if (::chdir(pattern) != 0) return 2;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
    platform::setUpUiLanguage(app);  // HALVATRINE_LANG=ja|en picks the pictures' language
    platform::installTerminationCleanup();
    bool ok = false;
    {
        platform::MessagePort port;
        platform::RecordingMessageBoxes boxes;
        MainDialog::Options options;
        options.settingsPath = std::string(pattern) + "/Halvatrine.conf";
        options.viewerProgram = HV_TORVEL_PATH;
        options.selectCriticalPoints = [](common::CriticalPointList& list) {
            for (int i = 0; i < list.count; ++i) list.selected[i] = 1;
            return list.count > 0;
        };
        MainDialog dialog(boxes, options);
        ok = takePicture(dialog, boxes, 'J', "-0.12", "0.75", out + "/screenshot-julia.png") &&
             takePicture(dialog, boxes, 'M', "0", "0", out + "/screenshot-mandelbrot.png");
        dialog.close();
    }
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    std::fprintf(stderr, ok ? "screenshots written to %s\n" : "screenshots failed (%s)\n", out.c_str());
    return ok ? 0 : 1;
}
