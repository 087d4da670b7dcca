// torvel: the viewer of one picture, started by the front end with
// "-<FrontEndBlock name> -<AnalysisBlock name> -<AnalysisBlock size>".
#include <QApplication>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/messages.h"
#include "platform/leftover_cleanup.h"
#include "platform/message_port_qt.h"
#include "platform/qt_message_boxes.h"
#include "platform/ui_language.h"
#include "viewer/colour/viewer_dialogs.h"
#include "viewer/core/error_dialog.h"
#include "viewer/core/main_frame.h"
#include "viewer/core/viewer_command_line.h"
#include "viewer/core/viewer_startup.h"

int main(int argc, char** argv) {
    // Our tokens are read before Qt looks at the command line.
    const std::vector<std::string> arguments(argv, argv + argc);
    std::vector<const char*> tokens;
    for (const std::string& a : arguments) tokens.push_back(a.c_str());
    const viewer::ViewerCommandLine commandLine =
        viewer::parseViewerCommandLine(static_cast<int>(tokens.size()), tokens.data());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
    platform::setUpUiLanguage(app);
    const int processId = static_cast<int>(getpid());
    // What crashed front ends and viewers of this user have left.
    platform::removeLeftoversOfDeadProcesses();
    platform::MessagePort port;

    // WM_CLOSE to the process handle closes the viewer, whatever it shows.
    CMainFrame* frame = nullptr;
    ErrorDialog* errorDialog = nullptr;
    port.registerWindow(0, [&](int message, int, int) {
        if (message != common::WM_CLOSE) return;
        if (frame != nullptr) frame->requestClose();
        else if (errorDialog != nullptr) errorDialog->reject();
        else QApplication::exit(1);
    });

    viewer::StartupResult startup = viewer::openViewerBlocks(commandLine, processId);
    if (!startup.session) {
        ErrorDialog dialog(QString::fromStdString(startup.error));
        errorDialog = &dialog;
        dialog.exec();
        errorDialog = nullptr;
        return 1;
    }

    platform::QtMessageBoxes boxes;
    CMainFrame mainFrame(*startup.session, port, boxes);
    boxes.setParent(&mainFrame);
    if (!mainFrame.create()) return 1;
    mainFrame.setDialogHooks(makeViewerDialogHooks());
    QObject::connect(&mainFrame, &CMainFrame::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    frame = &mainFrame;
    mainFrame.show();
    mainFrame.raise();
    mainFrame.activateWindow();
    const int result = app.exec();
    frame = nullptr;
    return result;
}
