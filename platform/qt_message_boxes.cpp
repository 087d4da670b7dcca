#include "platform/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/ui_language.h"

namespace platform {
namespace {

// A text of the catalogue is shown in the interface's language; texts already
// composed in it pass unchanged.

QString captionOrName(const std::string& caption) {
    return caption.empty() ? QApplication::applicationName() : QString::fromStdString(caption);
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtMessageBoxes::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    QMessageBox box(qtIcon(icon), captionOrName(caption), uiText(text.c_str()), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtMessageBoxes::askOkCancel(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, captionOrName(caption), uiText(text.c_str()),
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace platform
