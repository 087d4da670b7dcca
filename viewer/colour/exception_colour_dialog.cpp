#include "viewer/colour/exception_colour_dialog.h"

#include "platform/message_box.h"
#include "viewer/colour/colour_fields.h"
#include "viewer/colour/dialog_widgets.h"
#include "platform/ui_language.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

ExceptionColourDialog::ExceptionColourDialog(common::ComponentColour& record, platform::MessageBoxes& boxes,
                                             QWidget* parent)
    : QDialog(parent), record_(record), boxes_(boxes) {
    setWindowTitle(tr("例外色設定"));
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

    auto* grid = new QGridLayout;
    header_ = new QLabel(QString::fromStdString(colour::exceptionHeaderText(record_)), this);
    grid->addWidget(header_, 0, 1);
    const char* const channelNames[] = {QT_TRANSLATE_NOOP("Texts", "赤"), QT_TRANSLATE_NOOP("Texts", "緑"),
                                        QT_TRANSLATE_NOOP("Texts", "青")};
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(platform::uiText(channelNames[c]), this), 0, 2 + 2 * c);

    const colour::ExceptionRowTexts texts = colour::exceptionRowTexts(record_);
    for (int r = 0; r < common::EXCEPTION_ROW_COUNT; ++r) {
        Row& row = rows_[r];
        grid->addWidget(new QLabel(QString::number(r + 1), this), r + 1, 0);
        row.number = new QLineEdit(QString::fromStdString(texts[r].number), this);
        row.number->setValidator(digits);
        row.number->setMaxLength(colour::EXCEPTION_NUMBER_MAX_CHARS);
        grid->addWidget(row.number, r + 1, 1);
        connect(row.number, &QLineEdit::textChanged, this, [this, r] { onNumberEdited(r); });
        const std::string* values[] = {&texts[r].red, &texts[r].green, &texts[r].blue};
        for (int c = 0; c < 3; ++c) {
            row.colour[c] = new QLineEdit(this);
            row.colour[c]->setValidator(digits);
            row.colour[c]->setMaxLength(colour::COLOUR_VALUE_MAX_CHARS);
            row.colour[c]->setMaximumWidth(48);
            row.arrows[c] = new SpinArrows(row.colour[c], this);
            row.arrows[c]->setRange(0, colour::MAX_CHANNEL_VALUE);
            row.arrows[c]->setValueAndBuddy(std::stoi(*values[c]));
            grid->addWidget(row.colour[c], r + 1, 2 + 2 * c);
            grid->addWidget(row.arrows[c], r + 1, 3 + 2 * c);
            connect(row.colour[c], &QLineEdit::textChanged, this, [this, r, c] { onColourEdited(r, c); });
        }
    }

    auto* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(tr("指定を解除する場合は番号を空欄にしてください"), this));
    layout->addWidget(buttons);
    armed_ = true;
}

void ExceptionColourDialog::onNumberEdited(int row) {
    if (!armed_) return;
    QLineEdit* field = rows_[row].number;
    if (const auto corrected = colour::exceptionNumberCorrection(field->text().toStdString(), record_)) {
        const QSignalBlocker quiet(field);
        field->setText(QString::fromStdString(*corrected));
    }
}

void ExceptionColourDialog::onColourEdited(int row, int channel) {
    if (!armed_) return;
    QLineEdit* field = rows_[row].colour[channel];
    const auto v = colour::colourFieldValue(field->text().toStdString());
    if (!v) return;
    if (v->rewrite) {
        const QSignalBlocker quiet(field);
        field->setText(QString::fromStdString(v->text));
    }
    rows_[row].arrows[channel]->setValue(v->value);
}

void ExceptionColourDialog::accept() {
    colour::ExceptionRowTexts texts;
    for (int r = 0; r < common::EXCEPTION_ROW_COUNT; ++r) {
        texts[r].number = rows_[r].number->text().toStdString();
        texts[r].red = rows_[r].colour[0]->text().toStdString();
        texts[r].green = rows_[r].colour[1]->text().toStdString();
        texts[r].blue = rows_[r].colour[2]->text().toStdString();
    }
    const colour::ExceptionRowsResult result = colour::storeExceptionRows(texts, record_);
    if (!result.accepted) {
        boxes_.showMessage(result.message);
        return;  // the dialog stays open
    }
    QDialog::accept();
}
