// The front end the crash test kills (frontend_crash_driver REPORT_FILE TORVEL_PATH): its main
// dialog opens two viewers of z^2 + 0.25 (slow pictures); once the first has drawn and the second
// is drawing it writes "<own pid> <viewer pid> <viewer pid>" to REPORT_FILE and waits to be killed.
#include "../frontend/frontend_test_support.h"
#include "platform/message_port_qt.h"
#include "platform/recording_message_boxes.h"
#include "viewer/core/control_ids.h"

namespace {

bool drawInViewer(frontend::JobControl& job, int slot, frontend::SlotState until) {
    const auto frame = [&] { return frontend_test::blockHeader(job, slot).viewerWindow; };
    if (!frontend_test::waitUntil([&] { return job.slotState(slot) >= frontend::SlotState::Started && frame(); }))
        return false;
    platform::postMessage(frame(), viewer::WM_COMMAND, viewer::ID_DRAW_BUTTON, 0);
    return frontend_test::waitUntil([&] { return job.slotState(slot) >= until; });
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
    QTest::qWait(frontend_test::WAIT_MS);
    return 4;
}
