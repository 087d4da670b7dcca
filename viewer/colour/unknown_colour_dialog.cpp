#include "viewer/colour/unknown_colour_dialog.h"

#include "common/colour_word.h"
#include "viewer/colour/colour_fields.h"
#include "viewer/colour/dialog_widgets.h"
#include "platform/ui_language.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

UnknownColourDialog::UnknownColourDialog(std::int32_t& unknownColour, std::function<void()> postRecolour,
                                         QWidget* parent)
    : QDialog(parent), unknownColour_(unknownColour), postRecolour_(std::move(postRecolour)) {
    setWindowTitle(tr("不明色設定"));
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    const auto word = static_cast<common::ColourWord>(unknownColour_);
    const int values[] = {common::redOf(word), common::greenOf(word), common::blueOf(word)};
    const char* const names[] = {QT_TRANSLATE_NOOP("Texts", "赤"), QT_TRANSLATE_NOOP("Texts", "緑"),
                                 QT_TRANSLATE_NOOP("Texts", "青")};
    const QColor patches[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};

    auto* grid = new QGridLayout;
    for (int c = 0; c < 3; ++c) {
        QPixmap patch(16, 16);
        patch.fill(patches[c]);
        auto* picture = new QLabel(this);
        picture->setPixmap(patch);
        fields_[c] = new QLineEdit(this);
        fields_[c]->setValidator(digits);
        fields_[c]->setMaxLength(colour::COLOUR_VALUE_MAX_CHARS);
        arrows_[c] = new SpinArrows(fields_[c], this);
        arrows_[c]->setRange(0, colour::MAX_CHANNEL_VALUE);
        arrows_[c]->setValueAndBuddy(values[c]);
        grid->addWidget(picture, c, 0);
        grid->addWidget(new QLabel(platform::uiText(names[c]), this), c, 1);
        grid->addWidget(fields_[c], c, 2);
        grid->addWidget(arrows_[c], c, 3);
        connect(fields_[c], &QLineEdit::textChanged, this, [this, c] { onEdited(c); });
    }

    auto* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    installHelpKey(this, HELP_COLOUR_SETTINGS);
    armed_ = true;
}

void UnknownColourDialog::onEdited(int channel) {
    if (!armed_) return;
    const auto v = colour::colourFieldValue(fields_[channel]->text().toStdString());
    if (!v) return;
    if (v->rewrite) {
        const QSignalBlocker quiet(fields_[channel]);
        fields_[channel]->setText(QString::fromStdString(v->text));
    }
    arrows_[channel]->setValue(v->value);
}

void UnknownColourDialog::accept() {
    int values[3];
    for (int c = 0; c < 3; ++c) {
        // An empty or unreadable field counts as 0.
        const auto v = colour::colourFieldValue(fields_[c]->text().toStdString());
        values[c] = v ? v->value : 0;
    }
    unknownColour_ = static_cast<std::int32_t>(common::colourWord(values[0], values[1], values[2]));
    if (postRecolour_) postRecolour_();
    QDialog::accept();
}
