// Takes the README's picture of the main dialog (docs/main_dialog.png): run
// under an X server, for example
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/main_dialog_screenshot docs
// The dialog is shown with a formula typed in as a user types it, and its
// window is cut out of the screen.

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "frontend/main_dialog.h"
#include "platform/message_port_qt.h"
#include "platform/recording_message_boxes.h"
#include "platform/termination_cleanup.h"
#include "platform/ui_language.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: main_dialog_screenshot <output directory>\n");
        return 2;
    }
    const std::string output = std::filesystem::absolute(argv[1]).string() + "/main_dialog.png";
    // Private settings and working directory: the user's own stay untouched.
    char pattern[] = "/tmp/hv-main-dialog-shot-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 2;
    const std::string scratch = pattern;
    ::setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
    std::filesystem::current_path(scratch);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvatrine"));
    platform::setUpUiLanguage(app);  // HALVATRINE_LANG=ja|en picks the pictures' language
    platform::installTerminationCleanup();
    platform::MessagePort port;
    platform::RecordingMessageBoxes boxes;
    bool saved = false;
    {
        MainDialog dialog(boxes);
        dialog.show();
        dialog.move(0, 0);
        if (!QTest::qWaitForWindowExposed(&dialog)) return 1;
        auto type = [&](int field, const char* text) {
            QLineEdit* edit = dialog.coefficientField(field);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromUtf8(text));
        };
        // z^2 - 0.12 + 0.75i, the "rabbit".
        type(8, "1");
        type(0, "-0.12");
        type(1, "0.75");
        dialog.juliaButton()->click();
        dialog.nameField()->setText(platform::uiLanguage() == platform::UiLanguage::English
                                         ? QStringLiteral("Douady rabbit")
                                         : QStringLiteral("ドゥアディのウサギ"));
        dialog.nameField()->setFocus();
        QTest::qWait(500);
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        const QRect area = dialog.frameGeometry().intersected(screen.rect());
        saved = !area.isEmpty() && screen.copy(area).save(QString::fromStdString(output));
        dialog.close();
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    if (!saved) {
        std::fprintf(stderr, "main_dialog_screenshot: could not save %s\n", output.c_str());
        return 1;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
