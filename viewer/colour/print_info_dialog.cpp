#include "viewer/colour/print_info_dialog.h"

#include "viewer/colour/dialog_widgets.h"
#include "platform/ui_language.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextCursor>
#include <QVBoxLayout>

PrintInfoDialog::PrintInfoDialog(colour::PrintOptions& options, bool julia, QWidget* parent)
    : QDialog(parent), options_(options) {
    setWindowTitle(tr("印刷情報"));
    auto* layout = new QVBoxLayout(this);
    const char* const labels[] = {QT_TRANSLATE_NOOP("Texts", "式"), QT_TRANSLATE_NOOP("Texts", "画像の範囲"),
                                  QT_TRANSLATE_NOOP("Texts", "不動点"),
                                  QT_TRANSLATE_NOOP("Texts", "クリティカルポイント"),
                                  QT_TRANSLATE_NOOP("Texts", "ループ回数")};
    for (int b = 0; b < 5; ++b) {
        boxes_[b] = new QCheckBox(platform::uiText(labels[b]), this);
        layout->addWidget(boxes_[b]);
    }
    boxes_[FixedPoints]->setEnabled(julia);

    layout->addWidget(new QLabel(tr("余白(0ミリ～50ミリ）"), this));
    margin_ = new QSlider(Qt::Horizontal, this);
    margin_->setRange(0, colour::MAX_MARGIN_MM);
    margin_->setValue(0);
    layout->addWidget(margin_);

    layout->addWidget(new QLabel(tr("コメント"), this));
    comment_ = new QPlainTextEdit(this);
    connect(comment_, &QPlainTextEdit::textChanged, this, &PrintInfoDialog::limitComment);
    layout->addWidget(comment_);

    auto* buttons = okCancelButtons(this);
    layout->addWidget(buttons);
    installHelpKey(this, HELP_PRINT_INFO);
}

void PrintInfoDialog::limitComment() {
    const QString text = comment_->toPlainText();
    if (text.size() <= colour::MAX_COMMENT_CHARACTERS) return;
    const QSignalBlocker quiet(comment_);
    comment_->setPlainText(text.left(colour::MAX_COMMENT_CHARACTERS));
    comment_->moveCursor(QTextCursor::End);
}

void PrintInfoDialog::accept() {
    options_.printFormula = boxes_[Formula]->isChecked();
    options_.printRange = boxes_[Range]->isChecked();
    options_.printFixedPoints = boxes_[FixedPoints]->isEnabled() && boxes_[FixedPoints]->isChecked();
    options_.printCriticalPoints = boxes_[CriticalPoints]->isChecked();
    options_.printLoopCount = boxes_[LoopCount]->isChecked();
    options_.marginMm = margin_->value();
    options_.comment = colour::commentFromField(comment_->toPlainText().toStdString());
    QDialog::accept();
}
