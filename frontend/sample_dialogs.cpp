#include "frontend/sample_dialogs.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "frontend/help_topics.h"
#include "platform/help_window.h"
#include "platform/ui_language.h"

namespace {

void fillNames(QListWidget* list, const common::SampleTable& table) {
    for (int index : table.presentIndices())
        list->addItem(QString::fromStdString(table.records[static_cast<std::size_t>(index)].name));
}

void addHelp(QDialog* dialog, int topic) {
    auto* help = new QShortcut(QKeySequence::HelpContents, dialog);
    QObject::connect(help, &QShortcut::activated, dialog, [topic] { platform::showHelpTopic(topic); });
}

QPushButton* button(const char* text, QWidget* parent) {
    auto* b = new QPushButton(platform::uiText(text), parent);
    b->setAutoDefault(false);
    return b;
}

// The load and delete dialogs: the prompt above the list, the action button
// and a cancel button that rejects the dialog in a column beside the list.
void layOutListWithButtons(QDialog* dialog, const QString& prompt, QListWidget* list, QPushButton* action) {
    auto* cancel = button(QT_TRANSLATE_NOOP("Texts", "ｷｬﾝｾﾙ"), dialog);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(action);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(list, 1);
    row->addLayout(buttons);
    auto* column = new QVBoxLayout(dialog);
    column->addWidget(new QLabel(prompt, dialog));
    column->addLayout(row);
    dialog->resize(420, 360);
}

}  // namespace

void limitNameField(QLineEdit* field) {
    QObject::connect(field, &QLineEdit::textChanged, field, [field](const QString& text) {
        const std::string utf8 = text.toStdString();
        const std::string limited = common::sampleName(utf8);
        if (limited == utf8) return;
        const int caret = field->cursorPosition();
        const QString cut = QString::fromStdString(limited);
        field->setText(cut);
        field->setCursorPosition(std::min(caret, static_cast<int>(cut.size())));
    });
}

SampleLoadDialog::SampleLoadDialog(const std::string& path, platform::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), list_(new QListWidget(this)), ok_(button("OK", this)) {
    setWindowTitle(tr("Halvatrine　サンプル"));
    list_->setObjectName(QStringLiteral("sampleList"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    file_.readSamples(path, common::SampleAccess::ReadOnly);
    fillNames(list_, file_.table());

    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &SampleLoadDialog::confirm);
    connect(list_, &QListWidget::itemDoubleClicked, this, &SampleLoadDialog::confirm);
    layOutListWithButtons(this, tr("サンプルを選んでOKを押してください"), list_, ok_);
    addHelp(this, frontend::HELP_SAMPLE_LOAD);
}

void SampleLoadDialog::confirm() {
    const int row = list_->currentRow();
    const std::vector<int> present = file_.table().presentIndices();
    if (row < 0 || !list_->item(row)->isSelected() || row >= static_cast<int>(present.size())) {
        messages_.showMessage(MSG_NO_SAMPLE_SELECTED);
        return;
    }
    chosen_ = file_.table().records[static_cast<std::size_t>(present[static_cast<std::size_t>(row)])];
    accept();
}

SampleSaveDialog::SampleSaveDialog(const std::string& path, const std::string& proposedName,
                                   const common::RationalMap& map, platform::MessageBoxes& messages,
                                   QWidget* parent)
    : QDialog(parent),
      path_(path),
      map_(map),
      messages_(messages),
      list_(new QListWidget(this)),
      name_(new QLineEdit(this)),
      ok_(button("OK", this)) {
    setWindowTitle(tr("式の保存"));
    list_->setObjectName(QStringLiteral("sampleList"));
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    name_->setObjectName(QStringLiteral("nameField"));
    file_.readSamples(path, common::SampleAccess::ReadWrite);
    fillNames(list_, file_.table());
    limitNameField(name_);
    name_->setText(QString::fromStdString(common::sampleName(proposedName)));
    name_->setCursorPosition(0);

    auto* cancel = button(QT_TRANSLATE_NOOP("Texts", "ｷｬﾝｾﾙ"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &SampleSaveDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(tr("現在の式をサンプルに追加します"), this));
    column->addWidget(new QLabel(tr("サンプル一覧"), this));
    column->addWidget(list_, 1);
    column->addWidget(new QLabel(tr("名前を入力してください"), this));
    column->addWidget(name_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    resize(420, 420);
    addHelp(this, frontend::HELP_SAMPLE_SAVE);
}

bool SampleSaveDialog::isFull() const { return file_.table().presentCount() >= common::SAMPLE_CAPACITY; }

void SampleSaveDialog::confirm() {
    const std::string name = common::sampleName(name_->text().toStdString());
    if (name.empty()) {
        messages_.showMessage(MSG_NAME_MISSING);
        return;
    }
    if (file_.table().hasName(name)) {
        messages_.showMessage(MSG_NAME_IN_USE);
        return;
    }
    const auto texts = common::formatSample(map_);
    if (!texts) {
        messages_.showMessage(MSG_SAMPLE_OVERFLOW);
        reject();
        return;
    }
    common::SampleWriteResult result = common::SampleWriteResult::NotOpen;
    if (file_.isWritable()) result = file_.appendSample(*texts, name);
    else if (file_.wasMissing()) result = file_.createWithSample(path_, *texts, name);
    file_.close();
    if (result != common::SampleWriteResult::Written) {
        messages_.showMessage(MSG_SAMPLE_SAVE_FAILED);
        reject();
        return;
    }
    accept();
}

SampleDeleteDialog::SampleDeleteDialog(const std::string& path, platform::MessageBoxes& messages, QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      list_(new QListWidget(this)),
      delete_(button(QT_TRANSLATE_NOOP("Texts", "削除"), this)) {
    setWindowTitle(tr("式の削除"));
    list_->setObjectName(QStringLiteral("sampleList"));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    file_.readSamples(path, common::SampleAccess::ReadWrite);
    fillNames(list_, file_.table());

    connect(delete_, &QPushButton::clicked, this, &SampleDeleteDialog::confirm);
    layOutListWithButtons(this, tr("削除したい式を選んで削除ボタンを押してください"), list_, delete_);
    addHelp(this, frontend::HELP_SAMPLE_DELETE);
}

void SampleDeleteDialog::confirm() {
    const std::vector<int> present = file_.table().presentIndices();
    std::vector<int> doomed;
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->isSelected() && row < static_cast<int>(present.size()))
            doomed.push_back(present[static_cast<std::size_t>(row)]);
    if (doomed.empty()) {
        reject();
        return;
    }
    if (file_.deleteSamples(doomed) != common::SampleWriteResult::Written) {
        messages_.showMessage(MSG_SAMPLE_DELETE_FAILED);
        reject();
        return;
    }
    accept();
}

void runSampleSaveDialog(const std::string& path, const std::string& proposedName,
                         const common::RationalMap& map, platform::MessageBoxes& messages, QWidget* parent) {
    SampleSaveDialog dialog(path, proposedName, map, messages, parent);
    if (dialog.isFull()) {
        messages.showMessage(MSG_TOO_MANY_SAMPLES);
        return;
    }
    dialog.exec();
}
