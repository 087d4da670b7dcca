// The start-up error dialog (dialog 105, "エラーメッセージ"): a text field
// with the message, OK and "ｷｬﾝｾﾙ"; both buttons just close it.
#pragma once

#include <QDialog>

class QLineEdit;

class ErrorDialog : public QDialog {
    Q_OBJECT
public:
    explicit ErrorDialog(const QString& message, QWidget* parent = nullptr);
    QString message() const;

private:
    QLineEdit* text_ = nullptr;
};
