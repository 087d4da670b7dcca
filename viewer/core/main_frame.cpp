#include "viewer/core/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <cstring>

#include "common/messages.h"
#include "platform/help_window.h"
#include "platform/message_box.h"
#include "platform/message_port_qt.h"
#include "platform/ui_language.h"
#include "viewer/core/about_box.h"
#include "viewer/core/context_help.h"
#include "viewer/core/control_ids.h"
#include "viewer/core/parameter_bar.h"
#include "viewer/core/parameter_fields.h"
#include "viewer/core/render_job.h"
#include "viewer/core/torvel_doc.h"
#include "viewer/core/torvel_view.h"

using viewer::ViewerState;

namespace {
constexpr int FRAME_HANDLE_INDEX = 1;
constexpr int FIRST_VIEW_HANDLE_INDEX = 2;
constexpr int MAX_VIEWS = 4;  // a 2 x 2 splitter
constexpr const char* HINT_DRAWING = QT_TRANSLATE_NOOP("Texts", "描画中です。");
constexpr const char* HINT_DONE_JULIA =
    QT_TRANSLATE_NOOP("Texts", "拡大/縮小は「次の倍率」をセットしてShiftキーを押しながらピック。");
constexpr const char* HINT_DONE_MANDELBROT =
    QT_TRANSLATE_NOOP("Texts", "拡大/縮小は「次の倍率」をセットしてShift+ピック。Julia集合はCtrl+ピック");
constexpr const char* NOT_DONE_COLOUR_MESSAGE = QT_TRANSLATE_NOOP("Texts", "描画が終わらないと設定できません。");
constexpr const char* MANDELBROT_ORBIT_MESSAGE = QT_TRANSLATE_NOOP("Texts", "Mandelbrot集合では軌道表示はできません。");
}  // namespace

CMainFrame::CMainFrame(viewer::ViewerSession& session, platform::MessagePort& port, platform::MessageBoxes& boxes,
                       QWidget* parent)
    : QMainWindow(parent), session_(session), port_(port), boxes_(boxes),
      job_(std::make_unique<viewer::RenderJob>(session.maps(), session.colourTable(), session.statistics(),
                                               paintTarget_)) {
    setObjectName(QStringLiteral("CMainFrame"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    document_ = new CTorvelDoc(session_, this);
    progressTimer_.setInterval(viewer::PROGRESS_TIMER_MS);
    connect(&progressTimer_, &QTimer::timeout, this, &CMainFrame::onProgressTimer);
}

CMainFrame::~CMainFrame() { shutdown(); }

QSize CMainFrame::frameSizeFor(int pictureWidth, int pictureHeight) {
    const int width = pictureWidth >= 770 ? pictureWidth + 30 : 800;
    return {width, pictureHeight + 220};
}

bool CMainFrame::create() {
    if (!session_.blocksAvailable()) return false;
    const common::ViewRecord& view = session_.header().currentView;

    // Size before creation: the picture plus room for bars and borders. A
    // size the block cannot mean is bounded like the picture itself.
    resize(frameSizeFor(std::clamp(view.pictureWidth, 0, viewer::MAX_PICTURE_SIZE),
                        std::clamp(view.pictureHeight, 0, viewer::MAX_PICTURE_SIZE)));
    setWindowTitle(document_->title());
    document_->setPictureSize(view.pictureWidth, view.pictureHeight);

    // Client area: the splitter with the first view.
    rows_ = new QSplitter(Qt::Vertical, this);
    rows_->setChildrenCollapsible(false);
    auto* firstRow = new QSplitter(Qt::Horizontal, rows_);
    firstRow->setChildrenCollapsible(false);
    rows_->addWidget(firstRow);
    setCentralWidget(rows_);
    CTorvelView* first = addView(firstRow);

    buildActions();
    buildToolBar();

    bar_ = new ParameterBar(session_, this);
    bar_->setInitialising(true);
    connect(bar_, &ParameterBar::drawButtonClicked, this, &CMainFrame::startOrAbortDrawing);
    connect(bar_, &ParameterBar::backgroundClicked, this, &CMainFrame::onBackgroundClicked);
    parameterBand_ = new QToolBar(QStringLiteral("ParameterBar"), this);
    parameterBand_->setObjectName(QStringLiteral("ParameterBand"));
    parameterBand_->setFloatable(false);
    parameterBand_->setAllowedAreas(Qt::TopToolBarArea);
    parameterBand_->addWidget(bar_);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, parameterBand_);

    buildStatusBar();
    buildMenus();

    bar_->fillFields();

    frameHandle_ = port_.registerWindow(FRAME_HANDLE_INDEX,
                                        [this](int message, int wParam, int) { onMessage(message, wParam); });
    session_.header().viewerWindow = frameHandle_;

    std::memcpy(&creationSnapshot_, &session_.header().currentView, sizeof creationSnapshot_);

    first->initialUpdate();
    bar_->setInitialising(false);
    return true;
}

CTorvelView* CMainFrame::addView(QWidget* parent) {
    const int k = FIRST_VIEW_HANDLE_INDEX + static_cast<int>(views_.size());
    auto* view = new CTorvelView(*this, *document_, k, parent);
    if (auto* splitter = qobject_cast<QSplitter*>(parent)) splitter->addWidget(view);
    views_.push_back(view);
    return view;
}

void CMainFrame::splitView() {
    if (rows_ == nullptr || views_.size() != 1) return;
    auto* firstRow = qobject_cast<QSplitter*>(rows_->widget(0));
    auto* secondRow = new QSplitter(Qt::Horizontal, rows_);
    secondRow->setChildrenCollapsible(false);
    rows_->addWidget(secondRow);
    CTorvelView* added[3] = {addView(firstRow), addView(secondRow), addView(secondRow)};
    for (CTorvelView* view : added) view->initialUpdate();
    if (QAction* split = action(QStringLiteral("split"))) split->setEnabled(false);
}

void CMainFrame::setPaintTarget(CTorvelView* view) {
    paintView_ = view;
    paintTarget_.store(view->handle());
}

void CMainFrame::postToFrontEnd(int message, int wParam, int lParam) {
    platform::postMessage(session_.frontEndWindow(), message, wParam, lParam);
}

bool CMainFrame::renderRunning() const { return job_ && job_->running(); }

bool CMainFrame::renderIdle() const { return renderRunning() && job_->runningIdle(); }

void CMainFrame::buildActions() {
    auto make = [this](const QString& name, const QString& text, const QString& tip) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        a->setStatusTip(tip);
        return a;
    };
    QStyle* s = style();
    QAction* a = nullptr;

    a = make(QStringLiteral("32775"), tr("式を保存(&F)..."), tr("この画面の式をサンプルに保存"));
    connect(a, &QAction::triggered, this, [this] {
        if (hooks_.saveFormula) hooks_.saveFormula(*this);
    });
    a = make(QStringLiteral("saveAs"), tr("画像を保存(&A)..."), tr("画像をBMPファイルとして保存"));
    connect(a, &QAction::triggered, this, &CMainFrame::onSavePicture);
    a = make(QStringLiteral("save"), tr("保存"), tr("画像をBMPファイルとして保存"));
    a->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(a, &QAction::triggered, this, &CMainFrame::onSavePicture);
    addAction(a);
    a = make(QStringLiteral("printPreview"), tr("印刷(&P)...\tCtrl+P"), tr("画面の印刷プレビューを表示して印刷"));
    a->setIcon(s->standardIcon(QStyle::SP_FileDialogContentsView));
    connect(a, &QAction::triggered, this, [this] {
        if (hooks_.printPreview) hooks_.printPreview(*this);
    });
    // Ctrl+P prints directly; the menu item above opens the preview.
    a = make(QStringLiteral("print"), tr("印刷"), tr("画面を印刷"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(a, &QAction::triggered, this, [this] {
        if (hooks_.print) hooks_.print(*this);
    });
    addAction(a);
    a = make(QStringLiteral("printSetup"), tr("ﾌﾟﾘﾝﾀの設定(&R)..."), tr("プリンタの設定を変更"));
    connect(a, &QAction::triggered, this, [this] {
        if (hooks_.printSetup) hooks_.printSetup(*this);
    });
    a = make(QStringLiteral("exit"), tr("画面の終了(&X)"), tr("この画面をを終了"));
    connect(a, &QAction::triggered, this, &QWidget::close);

    a = make(QStringLiteral("32773"), tr("色の設定(&C)..."), tr("画面の色を設定する"));
    connect(a, &QAction::triggered, this, &CMainFrame::onColourSettings);

    a = make(QStringLiteral("toolBar"), tr("ﾂｰﾙ ﾊﾞｰ(&T)"), tr("ツール バーの表示/非表示"));
    a->setCheckable(true);
    a->setChecked(true);
    connect(a, &QAction::toggled, this, [this](bool on) {
        if (toolBar_) toolBar_->setVisible(on);
    });
    a = make(QStringLiteral("statusBar"), tr("ｽﾃｰﾀｽ ﾊﾞｰ(&S)"), tr("ステータス バーの表示/非表示"));
    a->setCheckable(true);
    a->setChecked(true);
    connect(a, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    a = make(QStringLiteral("split"), tr("分割(&P)"), tr("ウィンドウを分割"));
    connect(a, &QAction::triggered, this, &CMainFrame::splitView);
    a = make(QStringLiteral("32771"), tr("コンポネント(&M)..."),
             tr("コンポネント,表示範囲、不動点、クリティカルポイント表示"));
    connect(a, &QAction::triggered, this, [this] {
        if (hooks_.componentInfo) hooks_.componentInfo(*this);
    });
    a = make(QStringLiteral("32772"), tr("式の係数(&F)..."), tr("この画面の式の係数を表示"));
    connect(a, &QAction::triggered, this, [this] {
        if (hooks_.formulaInfo) hooks_.formulaInfo(*this);
    });
    a = make(QStringLiteral("32774"), tr("軌道表示(&O)..."), tr("クリティカルポイントの軌道、その他の点の軌道表示"));
    connect(a, &QAction::triggered, this, &CMainFrame::onOrbitDisplay);

    a = make(QStringLiteral("helpFinder"), tr("ﾄﾋﾟｯｸの検索(&H)"), tr("ヘルプの目次を表示"));
    a->setShortcut(QKeySequence(Qt::Key_F1));
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, &CMainFrame::onHelpContents);
    addAction(a);
    a = make(QStringLiteral("about"), tr("Halvatrine のﾊﾞｰｼﾞｮﾝ情報(&A)..."),
             tr("プログラム情報、バージョン、著作権を表示"));
    a->setIcon(s->standardIcon(QStyle::SP_MessageBoxInformation));
    connect(a, &QAction::triggered, this, &CMainFrame::onAbout);
    a = make(QStringLiteral("contextHelp"), tr("ヘルプ"), tr("クリックした項目のヘルプを表示"));
    a->setIcon(s->standardIcon(QStyle::SP_TitleBarContextHelpButton));
    a->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    connect(a, &QAction::triggered, this, &CMainFrame::enterContextHelp);
    addAction(a);

    updateHookedActions();
}

QAction* CMainFrame::action(const QString& name) const { return findChild<QAction*>(name); }

void CMainFrame::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("ﾌｧｲﾙ(&F)"));
    file->addAction(action(QStringLiteral("32775")));
    file->addAction(action(QStringLiteral("saveAs")));
    file->addSeparator();
    file->addAction(action(QStringLiteral("printPreview")));
    file->addAction(action(QStringLiteral("printSetup")));
    file->addSeparator();
    file->addAction(action(QStringLiteral("exit")));
    QMenu* edit = menuBar()->addMenu(tr("編集(&E)"));
    edit->addAction(action(QStringLiteral("32773")));
    QMenu* view = menuBar()->addMenu(tr("表示(&V)"));
    view->addAction(action(QStringLiteral("toolBar")));
    view->addAction(action(QStringLiteral("statusBar")));
    view->addAction(action(QStringLiteral("split")));
    view->addSeparator();
    view->addAction(action(QStringLiteral("32771")));
    view->addAction(action(QStringLiteral("32772")));
    view->addAction(action(QStringLiteral("32774")));
    QMenu* help = menuBar()->addMenu(tr("ﾍﾙﾌﾟ(&H)"));
    help->addAction(action(QStringLiteral("helpFinder")));
    help->addSeparator();
    help->addAction(action(QStringLiteral("about")));
}

void CMainFrame::buildToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("ToolBar"), this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setFloatable(false);
    toolBar_->setAllowedAreas(Qt::TopToolBarArea);
    toolBar_->addAction(action(QStringLiteral("save")));
    toolBar_->addSeparator();
    toolBar_->addAction(action(QStringLiteral("printPreview")));
    toolBar_->addSeparator();
    toolBar_->addAction(action(QStringLiteral("about")));
    toolBar_->addAction(action(QStringLiteral("contextHelp")));
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::buildStatusBar() {
    QStatusBar* bar = statusBar();
    // The lock indicators of the original status bar; shown greyed as the
    // lock states are not visible to a portable program.
    for (const char* text : {QT_TRANSLATE_NOOP("Texts", "カナ"), "CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(platform::uiText(text), bar);
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
    }
}

void CMainFrame::setDialogHooks(ViewerDialogHooks hooks) {
    hooks_ = std::move(hooks);
    if (hooks_.savePicture)
        document_->setPictureWriter([this](const QString& path) { return hooks_.savePicture(*this, path); });
    else
        document_->setPictureWriter({});
    updateHookedActions();
}

void CMainFrame::updateHookedActions() {
    auto enable = [this](const char* name, bool on) {
        if (QAction* a = action(QString::fromUtf8(name))) a->setEnabled(on);
    };
    enable("32775", static_cast<bool>(hooks_.saveFormula));
    enable("saveAs", static_cast<bool>(hooks_.savePicture));
    enable("save", static_cast<bool>(hooks_.savePicture));
    enable("printPreview", static_cast<bool>(hooks_.printPreview));
    enable("print", static_cast<bool>(hooks_.print));
    enable("printSetup", static_cast<bool>(hooks_.printSetup));
    enable("32773", static_cast<bool>(hooks_.colourSettings));
    enable("32771", static_cast<bool>(hooks_.componentInfo));
    enable("32772", static_cast<bool>(hooks_.formulaInfo));
    enable("32774", static_cast<bool>(hooks_.orbitDisplay));
}

void CMainFrame::onSavePicture() {
    if (!hooks_.savePicture) return;
    if (state_ != ViewerState::Done) {
        boxes_.showMessage(CTorvelDoc::NOT_DONE_SAVE_MESSAGE);
        return;
    }
    QString path = QFileDialog::getSaveFileName(this, QString(), document_->title() + QStringLiteral(".bmp"),
                                                tr("Halvatrine ﾌｧｲﾙ (*.bmp)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) path += QStringLiteral(".bmp");
    document_->writePicture(path);
}

void CMainFrame::onColourSettings() {
    if (!hooks_.colourSettings) return;
    if (state_ != ViewerState::Done) {
        boxes_.showMessage(NOT_DONE_COLOUR_MESSAGE);
        return;
    }
    hooks_.colourSettings(*this);
}

void CMainFrame::onOrbitDisplay() {
    if (!hooks_.orbitDisplay) return;
    if (!session_.isJulia()) {
        boxes_.showMessage(MANDELBROT_ORBIT_MESSAGE);
        return;
    }
    hooks_.orbitDisplay(*this);
}

void CMainFrame::onAbout() {
    AboutBox box(this);
    box.exec();
}

void CMainFrame::onHelpContents() { platform::showHelpContents(); }

void CMainFrame::enterContextHelp() { ContextHelpMode::start(this); }

// ---- drawing -------------------------------------------------------------

void CMainFrame::startOrAbortDrawing() {
    if (shutDown_ || !session_.blocksAvailable()) return;
    if (state_ == ViewerState::Ready) {
        common::AnalysisBlockHeader& block = session_.header();
        const common::ViewRecord& view = block.currentView;
        if (const auto problem = viewer::drawStartProblem(view)) {
            boxes_.showMessage(*problem);
            return;
        }
        drawnMagnification_ = view.magnification;
        drawWidth_ = view.pictureWidth;
        drawHeight_ = view.pictureHeight;
        bar_->setParameterFieldsEnabled(false);
        if (drawWidth_ != creationSnapshot_.pictureWidth || drawHeight_ != creationSnapshot_.pictureHeight)
            update();
        if (paintView_ != nullptr) paintView_->onMessage(common::MSG_SET_PICTURE_SIZE, drawWidth_, drawHeight_);
        session_.statistics().reset();
        bar_->setProgress(drawWidth_, 0);
        if (!progressTimer_.isActive()) progressTimer_.start();
        session_.colourTable().seedOnce(view);
        postToFrontEnd(common::MSG_DRAW_STARTED, session_.processId(), viewHandle());
        // A picture the engine refuses, or a thread that cannot be made,
        // leaves the state Ready so the button can be pressed again.
        if (job_->engine().prepare(session_.analysis(), view, session_.isJulia() ? nullptr : &session_.frontEnd()) !=
                render::SceneStatus::Ready ||
            !job_->start())
            return;
        if (QPushButton* button = bar_->drawButton()) button->setText(tr("描画中止"));
        bar_->hintLine()->setText(platform::uiText(HINT_DRAWING));
        state_ = ViewerState::Drawing;
        std::memcpy(&block.drawnView, &block.currentView, sizeof block.drawnView);
        bar_->showBackgroundBox();
        return;
    }
    if (state_ == ViewerState::Drawing) {
        job_->stop();
        bar_->setProgress(drawWidth_, job_->renderedPixelCount() / std::max(drawHeight_, 1));
        state_ = ViewerState::Done;
        finishDrawing();
    }
}

void CMainFrame::onProgressTimer() {
    if (state_ != ViewerState::Drawing) return;
    const int rendered = job_->renderedPixelCount();
    bar_->setProgress(drawWidth_, rendered / std::max(drawHeight_, 1));
    if (rendered == drawWidth_ * drawHeight_) {
        job_->join();
        state_ = ViewerState::Done;
        finishDrawing();
    }
}

void CMainFrame::finishDrawing() {
    postToFrontEnd(common::MSG_DRAW_FINISHED, session_.processId(), viewHandle());
    if (QLineEdit* next = bar_->field(viewer::ID_NEXT_MAGNIFICATION)) next->setEnabled(true);
    bar_->hintLine()->setText(platform::uiText(session_.isJulia() ? HINT_DONE_JULIA : HINT_DONE_MANDELBROT));
    bar_->destroyDrawControls();
    bar_->showReadouts();
}

void CMainFrame::onBackgroundClicked(bool checked) {
    if (!job_->running()) return;
    job_->requestIdle(checked);
}

// ---- messages and closing ------------------------------------------------

void CMainFrame::onMessage(int message, int wParam) {
    if (message == common::WM_CLOSE) {
        requestClose();
        return;
    }
    if (message != viewer::WM_COMMAND || shutDown_) return;
    // A posted command acts like the control or menu item it names, and
    // only when that is there and enabled.
    const int command = wParam & 0xFFFF;
    if (command == viewer::ID_DRAW_BUTTON) {
        QPushButton* button = bar_ != nullptr ? bar_->drawButton() : nullptr;
        if (button != nullptr && button->isEnabled()) button->click();
        return;
    }
    if (command == viewer::ID_APP_EXIT) {
        requestClose();
        return;
    }
    if (QAction* a = action(QString::number(command)); a != nullptr && a->isEnabled()) a->trigger();
}


void CMainFrame::requestClose() {
    // A modal dialog of this viewer goes first: its code must not run on
    // after the blocks are gone. The close is retried once it has unwound.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QTimer::singleShot(0, this, &CMainFrame::requestClose);
        return;
    }
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    shutdown();
    event->accept();
}

void CMainFrame::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    // 1. The timer and the render thread.
    progressTimer_.stop();
    if (job_) job_->stop();
    // 2. The views (they unregister their handles).
    paintView_ = nullptr;
    paintTarget_.store(0);
    views_.clear();
    if (rows_ != nullptr) {
        // The views go now, before the blocks they show are unmapped.
        std::unique_ptr<QWidget> client(takeCentralWidget());
        client.reset();
        rows_ = nullptr;
    }
    if (frameHandle_ != 0) port_.unregisterWindow(frameHandle_);
    // 3. The blocks; 4. the front end learns that this viewer is gone.
    const bool hadBlocks = session_.blocksAvailable();
    session_.releaseBlocks();
    if (hadBlocks) postToFrontEnd(common::MSG_VIEWER_CLOSING, session_.processId(), 0);
    emit closed();
}
