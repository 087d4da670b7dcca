#include "frontend/main_dialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "common/block_names.h"
#include "common/number_text.h"
#include "common/sample_file.h"
#include "frontend/critical_point_dialog.h"
#include "common/formula_check.h"
#include "frontend/help_topics.h"
#include "frontend/sample_dialogs.h"
#include "frontend/settings_dialog.h"
#include "frontend/version_dialog.h"
#include "platform/child_watcher.h"
#include "platform/help_window.h"
#include "platform/message_port_qt.h"
#include "platform/process.h"
#include "platform/settings_store.h"
#include "platform/ui_language.h"

namespace {

constexpr int MAIN_WINDOW_INDEX = 1;  // k of the main dialog's handle
constexpr int FIELD_MIN_WIDTH = 150;
const char* const VIEWER_PROGRAM_NAME = "torvel";
// The sample library installed with the program, from its bin directory.
const char* const BUNDLED_SAMPLES = "../share/halvatrine/samples/SampleData.dat";

const char* const ROW_LABELS[common::COEFFICIENT_COUNT] = {
    QT_TRANSLATE_NOOP("Texts", "０次"), QT_TRANSLATE_NOOP("Texts", "１次"), QT_TRANSLATE_NOOP("Texts", "２次"),
    QT_TRANSLATE_NOOP("Texts", "３次"), QT_TRANSLATE_NOOP("Texts", "４次"), QT_TRANSLATE_NOOP("Texts", "５次"),
    QT_TRANSLATE_NOOP("Texts", "６次"), QT_TRANSLATE_NOOP("Texts", "７次"), QT_TRANSLATE_NOOP("Texts", "８次"),
    QT_TRANSLATE_NOOP("Texts", "９次"), QT_TRANSLATE_NOOP("Texts", "10次")};
const char* const CARTESIAN_CAPTIONS[frontend::GRID_COLUMN_COUNT] = {
    QT_TRANSLATE_NOOP("Texts", "実部"), QT_TRANSLATE_NOOP("Texts", "虚部"), QT_TRANSLATE_NOOP("Texts", "実部"),
    QT_TRANSLATE_NOOP("Texts", "虚部")};
const char* const POLAR_CAPTIONS[frontend::GRID_COLUMN_COUNT] = {
    QT_TRANSLATE_NOOP("Texts", "絶対値"), QT_TRANSLATE_NOOP("Texts", "偏角"), QT_TRANSLATE_NOOP("Texts", "絶対値"),
    QT_TRANSLATE_NOOP("Texts", "偏角")};

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

// The working directory as the front end block stores it; empty when it
// does not fit its field (the viewers then use their own).
std::string startDirectoryText() {
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();
    if (ec || cwd.size() >= static_cast<std::size_t>(common::START_DIRECTORY_SIZE)) return {};
    return cwd;
}

QPushButton* commandButton(const char* text, const char* objectName, QWidget* parent) {
    auto* b = new QPushButton(platform::uiText(text), parent);
    b->setObjectName(QString::fromUtf8(objectName));
    b->setAutoDefault(false);  // Enter does nothing in this dialog
    return b;
}

}  // namespace

MainDialog::MainDialog(platform::MessageBoxes& messages, Options options, QWidget* parent)
    : QDialog(parent), messages_(messages), options_(std::move(options)), grid_([this]() -> common::RationalMap& {
          createFrontEndBlock();
          return block_->currentMap;
      }()) {
    // Settings first: everything after may read them.
    const platform::SettingsStore store(options_.settingsPath.empty() ? platform::SettingsStore::defaultPath()
                                                                      : options_.settingsPath);
    const auto stored = store.load();
    settings_ = frontend::parseSettings([&](const char* name) -> std::optional<std::string> {
        const auto it = stored.find(name);
        if (it == stored.end()) return std::nullopt;
        return it->second;
    });

    // The message handle of this dialog; viewers post to it.
    if (auto* port = platform::MessagePort::instance()) {
        handle_ = port->registerWindow(MAIN_WINDOW_INDEX, [this](int msg, int w, int l) { onMessage(msg, w, l); });
        registered_ = true;
    } else {
        handle_ = platform::makeWindowHandle(::getpid(), MAIN_WINDOW_INDEX);
    }

    block_->frontEndProcessId = static_cast<std::uint32_t>(::getpid());
    block_->displayForm = static_cast<std::uint8_t>(frontend::DisplayForm::Cartesian);
    block_->mainWindow = handle_;
    const std::string startDirectory = startDirectoryText();
    std::memcpy(block_->startDirectory, startDirectory.data(), startDirectory.size());
    grid_.reset();  // the map 0 / 1

    frontend::JobEnvironment environment;
    environment.frontEndBlock = block_;
    environment.frontEndBlockName = common::frontEndBlockName(block_->frontEndProcessId);
    environment.frontEndPid = block_->frontEndProcessId;
    environment.mainWindow = handle_;
    environment.viewerProgram = options_.viewerProgram.empty()
                                    ? (std::filesystem::path(platform::executableDirectory()) / VIEWER_PROGRAM_NAME).string()
                                    : options_.viewerProgram;
    environment.startDirectory = startDirectory;
    frontend::JobUi& ui = *this;
    job_ = std::make_unique<frontend::JobControl>(ui, std::move(environment), settings_);

    childWatcher_ = new platform::ChildWatcher(this);
    connect(childWatcher_, &platform::ChildWatcher::exited, this,
            [this](qint64 pid, int) { job_->childExited(static_cast<pid_t>(pid)); });

    buildWindow();
}

MainDialog::~MainDialog() {
    // The job's thread and viewers go before the block they read.
    job_.reset();
    if (registered_ && platform::MessagePort::instance())
        platform::MessagePort::instance()->unregisterWindow(handle_);
    while (waitCursorDepth_ > 0) setWaitCursor(false);
}

void MainDialog::createFrontEndBlock() {
    const std::string name = common::frontEndBlockName(static_cast<std::uint32_t>(::getpid()));
    blockMemory_ = platform::SharedMemory::create(name, common::FRONT_END_BLOCK_SIZE);
    if (blockMemory_) {
        block_ = static_cast<common::FrontEndBlock*>(blockMemory_->data());
        return;
    }
    // Without the shared block the dialog still works; viewers cannot start.
    privateBlock_ = std::make_unique<common::FrontEndBlock>();
    std::memset(privateBlock_.get(), 0, sizeof(common::FrontEndBlock));
    block_ = privateBlock_.get();
}

std::string MainDialog::sampleFilePath() const {
    const std::size_t length = strnlen(block_->startDirectory, common::START_DIRECTORY_SIZE);
    return common::samplePath(std::string_view(block_->startDirectory, length));
}

void MainDialog::buildWindow() {
    setWindowTitle(QStringLiteral("Halvatrine"));

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(tr("ファイル(&F)"));
    saveAction_ = file->addAction(tr("式を保存(&S)"), this, &MainDialog::saveFormula);
    deleteAction_ = file->addAction(tr("式を削除(&D)"), this, &MainDialog::deleteFormula);
    file->addSeparator();
    quitAction_ = file->addAction(tr("終了(&Q)"), this, [this] { close(); });
    settingsAction_ = menuBar->addAction(tr("設定(&S)"), this, &MainDialog::openSettings);
    QMenu* help = menuBar->addMenu(tr("ヘルプ(&H)"));
    helpAction_ = help->addAction(tr("トピックの検索(&H)"), this, [] { platform::showHelpContents(); });
    help->addSeparator();
    versionAction_ = help->addAction(tr("バージョン情報(&A)..."), this, &MainDialog::showVersion);

    // Mode and display form.
    mandelbrot_ = new QRadioButton(tr("Mandelbrot集合"), this);
    julia_ = new QRadioButton(tr("Julia集合"), this);
    mandelbrot_->setObjectName(QStringLiteral("mandelbrotButton"));
    julia_->setObjectName(QStringLiteral("juliaButton"));
    mandelbrot_->setChecked(true);
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(mandelbrot_);
    modeGroup->addButton(julia_);
    connect(mandelbrot_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) mode_ = frontend::MODE_MANDELBROT;
    });
    connect(julia_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) mode_ = frontend::MODE_JULIA;
    });

    auto* formBox = new QGroupBox(tr("表示形式"), this);
    cartesian_ = new QRadioButton(tr("X + Y i 形式　"), formBox);
    polar_ = new QRadioButton(tr("極形式"), formBox);
    cartesian_->setObjectName(QStringLiteral("cartesianButton"));
    polar_->setObjectName(QStringLiteral("polarButton"));
    cartesian_->setChecked(true);
    auto* formLayout = new QHBoxLayout(formBox);
    formLayout->addWidget(cartesian_);
    formLayout->addWidget(polar_);
    connect(cartesian_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) setDisplayForm(frontend::DisplayForm::Cartesian);
    });
    connect(polar_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) setDisplayForm(frontend::DisplayForm::Polar);
    });

    auto* modeLayout = new QHBoxLayout;
    modeLayout->addWidget(mandelbrot_);
    modeLayout->addWidget(julia_);
    modeLayout->addStretch(1);
    modeLayout->addWidget(formBox);

    // The coefficient grid.
    auto* coefficients = new QGroupBox(tr("式の係数"), this);
    auto* grid = new QGridLayout(coefficients);
    auto* numeratorHeading = new QLabel(tr("分子"), coefficients);
    auto* denominatorHeading = new QLabel(tr("分母"), coefficients);
    numeratorHeading->setAlignment(Qt::AlignCenter);
    denominatorHeading->setAlignment(Qt::AlignCenter);
    grid->addWidget(numeratorHeading, 0, 1, 1, 2);
    grid->addWidget(denominatorHeading, 0, 4, 1, 2);
    grid->setColumnMinimumWidth(3, 16);
    for (int c = 0; c < frontend::GRID_COLUMN_COUNT; ++c) {
        auto* caption = new QLabel(platform::uiText(CARTESIAN_CAPTIONS[c]), coefficients);
        caption->setObjectName(QStringLiteral("caption%1").arg(c));
        caption->setAlignment(Qt::AlignCenter);
        captions_[static_cast<std::size_t>(c)] = caption;
        grid->addWidget(caption, 1, c < 2 ? c + 1 : c + 2);
    }
    for (int k = 0; k < common::COEFFICIENT_COUNT; ++k) {
        auto* label = new QLabel(platform::uiText(ROW_LABELS[k]), coefficients);
        rowLabels_[static_cast<std::size_t>(k)] = label;
        grid->addWidget(label, k + 2, 0);
        for (int c = 0; c < frontend::GRID_COLUMN_COUNT; ++c) {
            const int f = frontend::GRID_COLUMN_COUNT * k + c;
            auto* field = new QLineEdit(fromStd(grid_.shownText(f)), coefficients);
            field->setObjectName(QStringLiteral("coefficient%1").arg(f));
            field->setMaxLength(static_cast<int>(frontend::FIELD_TEXT_MAX));
            field->setMinimumWidth(FIELD_MIN_WIDTH);
            field->installEventFilter(this);
            connect(field, &QLineEdit::textChanged, this, [this, f] { onFieldChanged(f); });
            fields_[static_cast<std::size_t>(f)] = field;
            grid->addWidget(field, k + 2, c < 2 ? c + 1 : c + 2);
        }
    }

    // Name, commands, status.
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("nameField"));
    limitNameField(name_);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("名前"), this));
    nameRow->addWidget(name_, 1);

    execute_ = commandButton(QT_TRANSLATE_NOOP("Texts", "実行"), "executeButton", this);
    clear_ = commandButton(QT_TRANSLATE_NOOP("Texts", "クリア"), "clearButton", this);
    loadSample_ = commandButton(QT_TRANSLATE_NOOP("Texts", "サンプル読み込み"), "loadSampleButton", this);
    closeAll_ = commandButton(QT_TRANSLATE_NOOP("Texts", "すべて閉じる"), "closeAllButton", this);
    connect(execute_, &QPushButton::clicked, this, &MainDialog::executeFormula);
    connect(clear_, &QPushButton::clicked, this, &MainDialog::clearFormula);
    connect(loadSample_, &QPushButton::clicked, this, &MainDialog::loadSample);
    connect(closeAll_, &QPushButton::clicked, this, &MainDialog::closeAllViewers);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(execute_);
    buttonRow->addWidget(clear_);
    buttonRow->addStretch(1);
    buttonRow->addWidget(loadSample_);
    buttonRow->addWidget(closeAll_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("statusLine"));
    status_->setFrameShape(QFrame::StyledPanel);
    status_->setMinimumHeight(status_->fontMetrics().height() + 6);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(modeLayout);
    layout->addWidget(coefficients);
    layout->addLayout(nameRow);
    layout->addLayout(buttonRow);
    layout->addWidget(status_);

    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [] { platform::showHelpContents(); });
}

bool MainDialog::isMarked(int field) const {
    return coefficientField(field)->property("marked").toBool();
}

void MainDialog::setMarked(int field, bool marked) {
    QLineEdit* edit = coefficientField(field);
    if (edit->property("marked").toBool() == marked) return;
    edit->setProperty("marked", marked);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, marked ? QColor(Qt::red) : QApplication::palette(edit).color(QPalette::Base));
    edit->setPalette(palette);
}

void MainDialog::onFieldChanged(int field) {
    if (!notificationsActive_) return;
    QLineEdit* edit = coefficientField(field);
    const std::string text = edit->text().toStdString();
    const std::size_t valid = frontend::validNumberPrefix(text);
    std::string stored = text;
    if (valid < text.size()) {
        // The valid prefix is ASCII: its byte length is its length in characters.
        stored = text.substr(0, valid);
        const int caret = std::min(edit->cursorPosition(), static_cast<int>(valid));
        notificationsActive_ = false;
        edit->setText(fromStd(stored));
        edit->setCursorPosition(caret);
        notificationsActive_ = true;
    }
    grid_.storeField(field, stored);
}

void MainDialog::showFieldTexts() {
    const bool was = notificationsActive_;
    notificationsActive_ = false;
    for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) {
        QLineEdit* edit = coefficientField(f);
        edit->setText(fromStd(grid_.shownText(f)));
        edit->setCursorPosition(0);  // a long text (a sample's 32 characters) shows its start
    }
    notificationsActive_ = was;
}

void MainDialog::setDisplayForm(frontend::DisplayForm form) {
    if (form == grid_.displayForm()) return;
    notificationsActive_ = false;
    const char* const* captions = form == frontend::DisplayForm::Cartesian ? CARTESIAN_CAPTIONS : POLAR_CAPTIONS;
    for (int c = 0; c < frontend::GRID_COLUMN_COUNT; ++c)
        captions_[static_cast<std::size_t>(c)]->setText(platform::uiText(captions[c]));
    for (int f : grid_.setDisplayForm(form)) {
        QLineEdit* edit = coefficientField(f);
        edit->setText(fromStd(grid_.shownText(f)));
        edit->setCursorPosition(0);
    }
    block_->displayForm = static_cast<std::uint8_t>(form);
    notificationsActive_ = true;
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) {
            if (watched != coefficientField(f)) continue;
            // A field marked at Execute turns white again once it is being edited.
            if (grid_.needsMarking(f)) setMarked(f, false);
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainDialog::executeFormula() {
    bool marked = false;
    for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) {
        if (!grid_.needsMarking(f)) continue;
        setMarked(f, true);
        marked = true;
    }
    if (marked) return;
    common::storeDegreesAndForm(block_->currentMap);
    const common::FormulaCheck result = common::checkFormula(block_->currentMap);
    if (result != common::FormulaCheck::Ok) {
        messages_.showMessage(common::formulaCheckMessage(result));
        return;
    }
    job_->execute(mode_);
}

void MainDialog::clearFormula() {
    for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) setMarked(f, false);
    grid_.clear();
    showFieldTexts();
    name_->clear();
    update();
}

std::string MainDialog::sampleLoadPath() const {
    const std::string own = sampleFilePath();
    std::error_code ec;
    if (std::filesystem::exists(own, ec) || ec) return own;
    return (std::filesystem::path(platform::executableDirectory()) / BUNDLED_SAMPLES).lexically_normal().string();
}

void MainDialog::loadSample() {
    SampleLoadDialog dialog(sampleLoadPath(), messages_, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen()) return;
    const common::SampleRecord& record = *dialog.chosen();
    std::array<std::string, frontend::GRID_FIELD_COUNT> texts;
    for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f)
        texts[static_cast<std::size_t>(f)] =
            record.texts[static_cast<std::size_t>(common::sampleTextIndexOfField(f))];
    notificationsActive_ = false;
    grid_.loadCartesianTexts(texts);
    showFieldTexts();
    for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f)
        if (!grid_.needsMarking(f)) setMarked(f, false);
    name_->setText(fromStd(record.name));
    name_->setCursorPosition(0);
    notificationsActive_ = true;
}

void MainDialog::saveFormula() {
    runSampleSaveDialog(sampleFilePath(), name_->text().toStdString(), block_->currentMap, messages_, this);
}

void MainDialog::deleteFormula() {
    SampleDeleteDialog dialog(sampleFilePath(), messages_, this);
    dialog.exec();
}

void MainDialog::openSettings() {
    SettingsDialog dialog(settings_, settingsEditable_, this);
    dialog.exec();
}

void MainDialog::showVersion() {
    VersionDialog dialog(this);
    dialog.exec();
}

void MainDialog::closeAllViewers() { job_->closeAll(); }

void MainDialog::onMessage(int msg, int wParam, int lParam) { job_->handleMessage(msg, wParam, lParam); }

void MainDialog::reject() {
    // Escape does not close the main dialog.
}

void MainDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (!job_->quit()) {
        event->ignore();
        return;
    }
    const platform::SettingsStore store(options_.settingsPath.empty() ? platform::SettingsStore::defaultPath()
                                                                      : options_.settingsPath);
    std::vector<std::pair<std::string, std::string>> values;
    for (const frontend::SettingText& s : frontend::formatSettings(settings_)) values.emplace_back(s.name, s.text);
    store.save(values);  // a failed save is not reported
    closing_ = true;
    setResult(QDialog::Rejected);
    event->accept();
}

void MainDialog::setEntryEnabled(bool enabled) {
    for (QLineEdit* field : fields_) field->setEnabled(enabled);
    for (QWidget* w : std::initializer_list<QWidget*>{mandelbrot_, julia_, loadSample_, closeAll_, execute_, clear_, name_})
        w->setEnabled(enabled);
    settingsEditable_ = enabled;
    update();
}

void MainDialog::setCloseAllEnabled(bool enabled) { closeAll_->setEnabled(enabled); }

void MainDialog::setStatusText(const std::string& text) { status_->setText(platform::uiText(text.c_str())); }

void MainDialog::setWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++waitCursorDepth_;
    } else if (waitCursorDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitCursorDepth_;
    }
}

bool MainDialog::selectCriticalPoints(common::CriticalPointList& list) {
    if (options_.selectCriticalPoints) return options_.selectCriticalPoints(list);
    return ::selectCriticalPoints(list, messages_, this);
}

void MainDialog::watchChild(pid_t pid) { childWatcher_->watch(pid); }

void MainDialog::forgetChild(pid_t pid) { childWatcher_->forget(pid); }
