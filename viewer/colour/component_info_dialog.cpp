#include "viewer/colour/component_info_dialog.h"

#include "viewer/colour/dialog_widgets.h"
#include "viewer/colour/info_text.h"
#include "platform/ui_language.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString fieldText(const std::string& dialogText) {
    QString text = QString::fromStdString(dialogText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);  // no empty line after the last one
    return text;
}

ComponentInfoDialog::ComponentInfoDialog(const colour::PictureInfo& info, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("コンポネント"));
    auto* layout = new QVBoxLayout(this);
    auto addField = [&](const char* label, int lines) {
        layout->addWidget(new QLabel(platform::uiText(label), this));
        auto* field = new QPlainTextEdit(this);
        field->setReadOnly(true);
        field->setLineWrapMode(QPlainTextEdit::NoWrap);
        field->setMinimumSize(420, field->fontMetrics().lineSpacing() * lines + 12);
        layout->addWidget(field);
        return field;
    };
    range_ = addField(QT_TRANSLATE_NOOP("Texts", "表示範囲"), 2);
    fixedPoints_ = addField(QT_TRANSLATE_NOOP("Texts", "不動点"), 4);
    criticalPoints_ = addField(QT_TRANSLATE_NOOP("Texts", "クリティカルポイント"), 4);
    components_ = addField(QT_TRANSLATE_NOOP("Texts", "コンポネント"), 4);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ComponentInfoDialog::accept);
    layout->addWidget(buttons);
    installHelpKey(this, HELP_COMPONENTS);

    range_->setPlainText(fieldText(colour::rangeText(info)));
    criticalPoints_->setPlainText(fieldText(colour::pointListText(colour::listedCriticalPoints(info))));
    if (info.isJulia()) {
        fixedPoints_->setPlainText(fieldText(colour::pointListText(info.fixedPoints)));
        components_->setPlainText(fieldText(colour::componentsText(info)));
    }
}
