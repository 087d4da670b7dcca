// The front end's three dialogs over SampleData.dat: load a sample into the
// grid, save the current formula as a sample, delete samples.
//
// Each dialog opens the file when it is built (load: shared lock; save and
// delete: exclusive lock) and keeps it, and its lock, until it is destroyed.
// A missing or locked file gives an empty list and no message. Lists show
// the names of the present records in file order.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

#include "common/block_layout.h"
#include "common/sample_file.h"
#include "platform/message_box.h"

class QLineEdit;
class QListWidget;
class QPushButton;

inline constexpr const char* MSG_NO_SAMPLE_SELECTED = QT_TRANSLATE_NOOP("Texts", "サンプルが選択されていません。");
inline constexpr const char* MSG_TOO_MANY_SAMPLES = QT_TRANSLATE_NOOP("Texts", "式の数が多すぎるため格納できません");
inline constexpr const char* MSG_NAME_MISSING = QT_TRANSLATE_NOOP("Texts", "名前をつけてください。");
inline constexpr const char* MSG_NAME_IN_USE = QT_TRANSLATE_NOOP("Texts", "すでに同じ名前が使われています。");
inline constexpr const char* MSG_SAMPLE_OVERFLOW =
    QT_TRANSLATE_NOOP("Texts", "式の係数がオーバーフローするため格納できません");
inline constexpr const char* MSG_SAMPLE_SAVE_FAILED =
    QT_TRANSLATE_NOOP("Texts", "SampleData.dat に書き込めませんでした。式は保存されていません。");
inline constexpr const char* MSG_SAMPLE_DELETE_FAILED =
    QT_TRANSLATE_NOOP("Texts", "SampleData.dat を書き換えられませんでした。式は削除されていません。");

// "Halvatrine　サンプル": choose one sample; OK without a selection answers
// with a message and stays open.
class SampleLoadDialog : public QDialog {
    Q_OBJECT
public:
    SampleLoadDialog(const std::string& path, platform::MessageBoxes& messages, QWidget* parent = nullptr);

    // The chosen record after OK.
    const std::optional<common::SampleRecord>& chosen() const { return chosen_; }
    QListWidget* sampleList() const { return list_; }
    QPushButton* okButton() const { return ok_; }

private:
    void confirm();

    platform::MessageBoxes& messages_;
    common::SampleFile file_;
    QListWidget* list_;
    QPushButton* ok_;
    std::optional<common::SampleRecord> chosen_;
};

// "式の保存": appends the map under a new name. A missing file is created
// by the save; write failures are reported.
class SampleSaveDialog : public QDialog {
    Q_OBJECT
public:
    SampleSaveDialog(const std::string& path, const std::string& proposedName, const common::RationalMap& map,
                     platform::MessageBoxes& messages, QWidget* parent = nullptr);

    // True when 300 samples are present: the caller shows MSG_TOO_MANY_SAMPLES
    // instead of the dialog.
    bool isFull() const;
    QLineEdit* nameField() const { return name_; }
    QListWidget* sampleList() const { return list_; }
    QPushButton* okButton() const { return ok_; }

private:
    void confirm();

    std::string path_;
    common::RationalMap map_;
    platform::MessageBoxes& messages_;
    common::SampleFile file_;
    QListWidget* list_;
    QLineEdit* name_;
    QPushButton* ok_;
};

// "式の削除": removes the selected samples; without a selection "削除" just closes.
class SampleDeleteDialog : public QDialog {
    Q_OBJECT
public:
    SampleDeleteDialog(const std::string& path, platform::MessageBoxes& messages, QWidget* parent = nullptr);

    QListWidget* sampleList() const { return list_; }
    QPushButton* deleteButton() const { return delete_; }

private:
    void confirm();

    platform::MessageBoxes& messages_;
    common::SampleFile file_;
    QListWidget* list_;
    QPushButton* delete_;
};

// Keeps a name field within the name limit (60 bytes, whole characters, no
// line breaks) as the user types.
void limitNameField(QLineEdit* field);

// Runs the save dialog for the map, or shows the too-many message instead.
void runSampleSaveDialog(const std::string& path, const std::string& proposedName,
                         const common::RationalMap& map, platform::MessageBoxes& messages, QWidget* parent);
