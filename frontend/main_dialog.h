// The main dialog of Halvatrine: menu bar, mode buttons, display form, the
// 11 x 4 coefficient grid, the formula name, the command buttons and the
// status line. It owns the front end block "FData%u", the settings and the
// analysis job.
//
// Every change of a coefficient field is filtered (cut at the first
// character that breaks the number, caret kept), stored at once into the
// current map of the front end block and converted into the other display
// form (FormulaGrid). Execute marks fields with an empty or unreadable text
// in red, checks the formula (common/formula_check.h) and hands it to the job.
//
// The dialog closes only through the close box or "終了(&Q)"; Escape does not
// close it and Enter does nothing. Closing asks first while viewers exist,
// stops the analysis, closes the viewers and saves the settings.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/block_layout.h"
#include "frontend/formula_grid.h"
#include "frontend/job_control.h"
#include "frontend/settings.h"
#include "platform/message_box.h"
#include "platform/message_port.h"
#include "platform/shared_memory.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QCloseEvent;

namespace platform {
class ChildWatcher;
}

class MainDialog : public QDialog, private frontend::JobUi {
    Q_OBJECT
public:
    struct Options {
        // Settings file; empty: the user's (XDG_CONFIG_HOME/Brackenholt/Halvatrine.conf).
        std::string settingsPath;
        // Viewer program; empty: "torvel" in the directory of this program.
        std::string viewerProgram;
        // Critical point choice; empty: the "クリティカルポイントの選択" dialog.
        std::function<bool(common::CriticalPointList&)> selectCriticalPoints;
    };

    explicit MainDialog(platform::MessageBoxes& messages, Options options = {}, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Controls, for the tests and the screenshot.
    QLineEdit* coefficientField(int field) const { return fields_[static_cast<std::size_t>(field)]; }
    QLabel* columnCaption(int column) const { return captions_[static_cast<std::size_t>(column)]; }
    QLabel* rowLabel(int degree) const { return rowLabels_[static_cast<std::size_t>(degree)]; }
    bool isMarked(int field) const;
    QRadioButton* mandelbrotButton() const { return mandelbrot_; }
    QRadioButton* juliaButton() const { return julia_; }
    QRadioButton* cartesianButton() const { return cartesian_; }
    QRadioButton* polarButton() const { return polar_; }
    QPushButton* executeButton() const { return execute_; }
    QPushButton* clearButton() const { return clear_; }
    QPushButton* loadSampleButton() const { return loadSample_; }
    QPushButton* closeAllButton() const { return closeAll_; }
    QLineEdit* nameField() const { return name_; }
    QLabel* statusLine() const { return status_; }
    QAction* saveFormulaAction() const { return saveAction_; }
    QAction* deleteFormulaAction() const { return deleteAction_; }
    QAction* quitAction() const { return quitAction_; }
    QAction* settingsAction() const { return settingsAction_; }
    QAction* helpTopicsAction() const { return helpAction_; }
    QAction* versionAction() const { return versionAction_; }

    const common::FrontEndBlock& frontEndBlock() const { return *block_; }
    const frontend::FormulaGrid& grid() const { return grid_; }
    frontend::Settings& settings() { return settings_; }
    frontend::JobControl& job() { return *job_; }
    bool settingsEditable() const { return settingsEditable_; }
    char mode() const { return mode_; }
    platform::WindowHandle windowHandle() const { return handle_; }
    std::string sampleFilePath() const;
    // What サンプル読み込み lists: sampleFilePath(), or the read-only library
    // installed with the program when the start directory has no file.
    std::string sampleLoadPath() const;

    // The menu and button commands.
    void executeFormula();
    void clearFormula();
    void loadSample();
    void saveFormula();
    void deleteFormula();
    void openSettings();
    void showVersion();
    void closeAllViewers();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // JobUi
    void setEntryEnabled(bool enabled) override;
    void setCloseAllEnabled(bool enabled) override;
    void setStatusText(const std::string& text) override;
    void setWaitCursor(bool on) override;
    bool selectCriticalPoints(common::CriticalPointList& list) override;
    void watchChild(pid_t pid) override;
    void forgetChild(pid_t pid) override;
    platform::MessageBoxes& messages() override { return messages_; }

    void createFrontEndBlock();
    void buildWindow();
    void onFieldChanged(int field);
    void setDisplayForm(frontend::DisplayForm form);
    void setMarked(int field, bool marked);
    void showFieldTexts();
    void onMessage(int msg, int wParam, int lParam);

    platform::MessageBoxes& messages_;
    Options options_;
    std::optional<platform::SharedMemory> blockMemory_;
    std::unique_ptr<common::FrontEndBlock> privateBlock_;  // only when the shared one cannot be made
    common::FrontEndBlock* block_ = nullptr;
    frontend::FormulaGrid grid_;
    frontend::Settings settings_;
    std::unique_ptr<frontend::JobControl> job_;
    platform::ChildWatcher* childWatcher_ = nullptr;
    platform::WindowHandle handle_ = 0;
    bool registered_ = false;
    bool notificationsActive_ = true;
    bool settingsEditable_ = true;
    bool closing_ = false;
    int waitCursorDepth_ = 0;
    char mode_ = frontend::MODE_MANDELBROT;

    std::array<QLineEdit*, frontend::GRID_FIELD_COUNT> fields_{};
    std::array<QLabel*, frontend::GRID_COLUMN_COUNT> captions_{};
    std::array<QLabel*, common::COEFFICIENT_COUNT> rowLabels_{};
    QRadioButton* mandelbrot_ = nullptr;
    QRadioButton* julia_ = nullptr;
    QRadioButton* cartesian_ = nullptr;
    QRadioButton* polar_ = nullptr;
    QPushButton* execute_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* loadSample_ = nullptr;
    QPushButton* closeAll_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* status_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* quitAction_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QAction* helpAction_ = nullptr;
    QAction* versionAction_ = nullptr;
};
