// The front end that the crash test kills: its main dialog, in this
// process, opens two viewers of z^2 + 0.25 (whose pictures take long), waits
// until the first has drawn and the second has started drawing, writes
// "<own pid> <viewer pid> <viewer pid>" to the file named by argv[1] and
// waits to be killed. It gives up after two minutes.
// Usage: frontend_crash_driver REPORT_FILE TORVEL_PATH
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <unistd.h>

#include <fstream>
#include <string>

#include "common/block_layout.h"
#include "frontend/main_dialog.h"
#include "platform/message_port_qt.h"
#include "platform/recording_message_boxes.h"
#include "platform/shared_memory.h"
#include "viewer/core/control_ids.h"

namespace {

constexpr int WAIT_GUARD_MS = 120000;

int viewerWindow(frontend::JobControl& job, int slot) {
    const auto block = platform::SharedMemory::open(job.slotBlockName(slot));
    return block ? static_cast<const common::AnalysisBlockHeader*>(block->data())->viewerWindow : 0;
}

bool drawInViewer(frontend::JobControl& job, int slot, frontend::SlotState until) {
    if (!QTest::qWaitFor([&] { return job.slotState(slot) >= frontend::SlotState::Started && viewerWindow(job, slot); },
                         WAIT_GUARD_MS))
        return false;
    platform::postMessage(viewerWindow(job, slot), viewer::WM_COMMAND, viewer::ID_DRAW_BUTTON, 0);
    return QTest::qWaitFor([&] { return job.slotState(slot) >= until; }, WAIT_GUARD_MS);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    QApplication app(argc, argv);
    platform::MessagePort port;
    platform::RecordingMessageBoxes boxes;
    MainDialog dialog(boxes, {std::string(argv[1]) + ".conf", argv[2], {}});
    for (const auto& [field, text] : {std::pair{8, "1"}, std::pair{0, "0.25"}}) dialog.coefficientField(field)->setText(text);
    dialog.juliaButton()->click();
    dialog.executeButton()->click();
    frontend::JobControl& job = dialog.job();
    if (!drawInViewer(job, 0, frontend::SlotState::Drawn)) return 3;
    // A zoom opens the second viewer.
    platform::postMessage(platform::makeWindowHandle(job.slotProcess(0), 2), viewer::WM_LBUTTONUP, viewer::MK_SHIFT,
                          (300 << 16) | 300);
    if (!drawInViewer(job, 1, frontend::SlotState::Drawing)) return 3;
    std::ofstream(argv[1]) << ::getpid() << ' ' << job.slotProcess(0) << ' ' << job.slotProcess(1) << '\n';
    QTest::qWait(WAIT_GUARD_MS);
    return 4;
}
