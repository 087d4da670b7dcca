#include "frontend/version_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

VersionDialog::VersionDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Halvatrineのﾊﾞｰｼﾞｮﾝ情報"));
    auto* icon = new QLabel(this);
    QIcon programIcon = QApplication::windowIcon();
    if (programIcon.isNull()) programIcon = style()->standardIcon(QStyle::SP_ComputerIcon);
    icon->setPixmap(programIcon.pixmap(32, 32));
    auto* text = new QLabel(QString::fromUtf8(VERSION_TEXT), this);
    text->setObjectName(QStringLiteral("versionText"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    row->addWidget(ok);
    setLayout(row);
}
