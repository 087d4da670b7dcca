#include "viewer/core/error_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ErrorDialog::ErrorDialog(const QString& message, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ErrorDialog"));
    setWindowTitle(tr("エラーメッセージ"));
    setModal(true);
    text_ = new QLineEdit(message, this);
    text_->setObjectName(QStringLiteral("message"));
    text_->setReadOnly(true);
    text_->setMinimumWidth(420);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
}

QString ErrorDialog::message() const { return text_->text(); }
