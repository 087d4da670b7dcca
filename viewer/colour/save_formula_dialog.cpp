#include "viewer/colour/save_formula_dialog.h"

#include "common/number_text.h"
#include "platform/message_box.h"
#include "viewer/colour/dialog_widgets.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

SaveFormulaDialog::SaveFormulaDialog(const common::RationalMap& map, const std::string& startDirectory,
                                     platform::MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), map_(map), path_(common::samplePath(startDirectory)), boxes_(boxes) {
    setWindowTitle(tr("式の保存"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("現在の式をサンプルに追加します"), this));
    layout->addWidget(new QLabel(tr("サンプル一覧"), this));
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(list_);
    layout->addWidget(new QLabel(tr("名前を入力してください"), this));
    name_ = new QLineEdit(this);
    connect(name_, &QLineEdit::textChanged, this, &SaveFormulaDialog::limitName);
    layout->addWidget(name_);
    auto* buttons = okCancelButtons(this);
    layout->addWidget(buttons);
    installHelpKey(this, HELP_SAVE_FORMULA);
}

bool SaveFormulaDialog::load() {
    list_->clear();
    // A missing or locked file leaves the list empty; OK then reports or creates.
    file_.readSamples(path_, common::SampleAccess::ReadWrite);
    const common::SampleTable& table = file_.table();
    for (int index : table.presentIndices())
        list_->addItem(QString::fromStdString(table.records[static_cast<std::size_t>(index)].name));
    if (table.presentCount() >= common::SAMPLE_CAPACITY) {
        boxes_.showMessage(TOO_MANY_MESSAGE);
        file_.close();
        return false;
    }
    return true;
}

int SaveFormulaDialog::run() {
    if (!load()) return QDialog::Rejected;
    return exec();
}

void SaveFormulaDialog::limitName() {
    // Names are at most 60 bytes; never half a character.
    const std::string text = name_->text().toStdString();
    const std::string name = common::sampleName(text);
    if (name == text) return;
    const QSignalBlocker quiet(name_);
    name_->setText(QString::fromStdString(name));
}

void SaveFormulaDialog::accept() {
    const std::string name = common::sampleName(name_->text().toStdString());
    if (name.empty()) {
        boxes_.showMessage(NO_NAME_MESSAGE);
        return;
    }
    if (file_.table().hasName(name)) {
        boxes_.showMessage(NAME_USED_MESSAGE);
        return;
    }
    const auto texts = common::formatSample(map_, common::SampleTextStyle::Shortened);
    if (!texts) {
        boxes_.showMessage(OVERFLOW_MESSAGE);
        reject();
        return;
    }
    common::SampleWriteResult result = common::SampleWriteResult::NotOpen;
    if (file_.isWritable())
        result = file_.appendSample(*texts, name);
    else if (file_.wasMissing())
        result = file_.createWithSample(path_, *texts, name);
    if (result != common::SampleWriteResult::Written) {
        boxes_.showMessage(SAVE_FAILED_MESSAGE);
        reject();
        return;
    }
    QDialog::accept();
}

void SaveFormulaDialog::done(int result) {
    file_.close();  // the lock goes with the dialog, however it closes
    QDialog::done(result);
}
