// Halvatrine: the front end. Starts the main dialog; the program ends when
// the dialog closes.
#include <QApplication>

#include "frontend/main_dialog.h"
#include "platform/leftover_cleanup.h"
#include "platform/message_port_qt.h"
#include "platform/qt_message_boxes.h"
#include "platform/termination_cleanup.h"
#include "platform/ui_language.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
    // Exported in the environment, so the viewers started later follow.
    platform::setUpUiLanguage(app);
    // Blocks and the socket are removed also when the program is ended by a signal.
    platform::installTerminationCleanup();
    // What crashed front ends and viewers of this user have left.
    platform::removeLeftoversOfDeadProcesses();
    platform::MessagePort port;
    platform::QtMessageBoxes messages;
    MainDialog dialog(messages);
    messages.setParent(&dialog);
    dialog.show();
    return app.exec();
}
