// The About box of the viewer (dialog 100): the program icon, the version
// line and OK; modal.
#pragma once

#include <QDialog>

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};
