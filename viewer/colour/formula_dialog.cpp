#include "viewer/colour/formula_dialog.h"

#include "viewer/colour/component_info_dialog.h"
#include "viewer/colour/dialog_widgets.h"
#include "viewer/colour/info_text.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

FormulaDialog::FormulaDialog(const common::RationalMap& map, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("式"));
    auto* layout = new QVBoxLayout(this);
    field_ = new QPlainTextEdit(this);
    field_->setReadOnly(true);
    field_->setLineWrapMode(QPlainTextEdit::NoWrap);
    field_->setMinimumSize(460, 300);
    field_->setPlainText(fieldText(colour::formulaText(map)));
    layout->addWidget(field_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &FormulaDialog::accept);
    layout->addWidget(buttons);
    installHelpKey(this, HELP_FORMULA);
}
