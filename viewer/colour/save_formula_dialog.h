// SaveFormulaDialog ("式の保存"): appends the picture's formula under a new
// name to SampleData.dat in the front end's start directory, through the
// same sample file code as the front end.
//
// Opening reads the file for writing and holds its lock while the dialog is
// open; it lists the present names. With 300 samples present it shows
// "式の数が多すぎるため格納できません" and does not open. OK refuses an empty
// name ("名前をつけてください。") and a name already present ("すでに同じ名前が
// 使われています。"), both keeping the dialog open; a coefficient too large
// for a record gives "式の係数がオーバーフローするため格納できません" and
// closes without writing. Otherwise the record (coefficient texts with
// trailing zeros removed, the name, CR) is appended at the end of the file.
// A missing file is created, as the front end does; a file that cannot be
// written gives SAVE_FAILED_MESSAGE. The name field holds at most 60 bytes.
// F1 opens help topic 9017.
//
// Interface thread only.
#pragma once

#include "common/block_layout.h"
#include "common/sample_file.h"

#include <QDialog>
#include <string>

class QLineEdit;
class QListWidget;

namespace platform {
class MessageBoxes;
}

class SaveFormulaDialog : public QDialog {
    Q_OBJECT
public:
    SaveFormulaDialog(const common::RationalMap& map, const std::string& startDirectory,
                      platform::MessageBoxes& boxes, QWidget* parent = nullptr);

    static constexpr const char* TOO_MANY_MESSAGE = QT_TRANSLATE_NOOP("Texts", "式の数が多すぎるため格納できません");
    static constexpr const char* NO_NAME_MESSAGE = QT_TRANSLATE_NOOP("Texts", "名前をつけてください。");
    static constexpr const char* NAME_USED_MESSAGE = QT_TRANSLATE_NOOP("Texts", "すでに同じ名前が使われています。");
    static constexpr const char* OVERFLOW_MESSAGE =
        QT_TRANSLATE_NOOP("Texts", "式の係数がオーバーフローするため格納できません");
    static constexpr const char* SAVE_FAILED_MESSAGE =
        QT_TRANSLATE_NOOP("Texts", "SampleData.dat に書き込めませんでした。");

    // Reads the file and fills the list. False when the dialog must not
    // open (300 samples; the message has been shown).
    bool load();
    // load(), then the modal dialog; QDialog::Rejected when it did not open.
    int run();

    QListWidget* list() const { return list_; }
    QLineEdit* nameField() const { return name_; }
    const std::string& path() const { return path_; }

    void accept() override;
    void done(int result) override;

private:
    void limitName();

    common::RationalMap map_;
    std::string path_;
    platform::MessageBoxes& boxes_;
    common::SampleFile file_;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
};
