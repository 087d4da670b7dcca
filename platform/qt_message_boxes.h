// The MessageBoxes interface shown with QMessageBox (modal, OK / OK+Cancel).
// An empty caption shows the application's name, as the framework did.
#pragma once

#include "platform/message_box.h"

class QWidget;

namespace platform {

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const std::string& text, const std::string& caption = {},
                     MessageIcon icon = MessageIcon::Warning) override;
    bool askOkCancel(const std::string& text, const std::string& caption = {}) override;

private:
    QWidget* parent_;
};

}  // namespace platform
