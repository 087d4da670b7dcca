// CMainFrame: the viewer's main window. A tool bar and the ParameterBar sit
// at the top, the picture views in a splitter below, the status bar at the
// bottom. The frame also runs the drawing of the picture:
//
//   startOrAbortDrawing  the draw button: in Ready checks the parameters and
//                        starts the render thread; in Drawing stops it
//   onProgressTimer      every 300 ms: progress bar, completion
//   finishDrawing        the end steps shared by a stop and completion
//
// The drawing state only moves forward, Ready -> Drawing -> Done.
//
// Messages: the frame registers as handle pid * 256 + 1 (written into the
// block for the front end), closes on WM_CLOSE and carries out posted
// WM_COMMANDs like its window did (see onMessage). It posts 1025 and 1026 to
// the front end; the views post 1027; the shutdown posts 1028.
//
// Shutdown (closing the window, WM_CLOSE, "画面の終了(&X)"), in this order:
// stop the timer and the render thread (abort and join), tear down the
// views, unmap the blocks, post MSG_VIEWER_CLOSING.
//
// Thread-safety: interface thread only; the render thread it starts shares
// only the pixel maps, statistics and the two atomics with it, and is
// joined before anything it uses goes away.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/block_layout.h"
#include "viewer/core/viewer_hooks.h"
#include "viewer/core/viewer_session.h"
#include "viewer/core/viewer_state.h"

class CTorvelDoc;
class CTorvelView;
class ParameterBar;
class QAction;
class QSplitter;
class QToolBar;

namespace platform {
class MessageBoxes;
class MessagePort;
}  // namespace platform

namespace viewer {
class RenderJob;
}

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(viewer::ViewerSession& session, platform::MessagePort& port, platform::MessageBoxes& boxes,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The window's construction: size, splitter and first view, tool bar,
    // parameter bar, status bar, fields, frame handle into the block, the
    // creation snapshot. False when a part could not be made.
    bool create();

    // Plugs in the colouring and output commands; their menu items are
    // enabled for the hooks given.
    void setDialogHooks(ViewerDialogHooks hooks);

    viewer::ViewerSession& session() { return session_; }
    CTorvelDoc& document() { return *document_; }
    ParameterBar* parameterBar() const { return bar_; }
    platform::MessagePort& messagePort() { return port_; }
    platform::MessageBoxes& messageBoxes() { return boxes_; }
    viewer::ViewerState state() const { return state_; }
    double drawnMagnification() const { return drawnMagnification_; }
    std::int32_t frameHandle() const { return frameHandle_; }
    // The view the render paints into and the messages name (the view
    // initialised last).
    std::int32_t viewHandle() const { return paintTarget_.load(); }
    CTorvelView* paintTargetView() const { return paintView_; }
    const std::vector<CTorvelView*>& views() const { return views_; }
    const common::ViewRecord& creationSnapshot() const { return creationSnapshot_; }
    // The menu or tool bar action of a command number, or the named
    // framework commands ("saveAs", "print", "exit", "split", ...).
    QAction* action(const QString& name) const;

    // Window size for a picture (the size rules of the frame).
    static QSize frameSizeFor(int pictureWidth, int pictureHeight);

    void startOrAbortDrawing();
    void onProgressTimer();
    void finishDrawing();
    void onBackgroundClicked(bool checked);

    // Splits the view into 2 x 2 panes (once).
    void splitView();

    // Closes the window as WM_CLOSE does: open modal dialogs are closed
    // first, then the frame.
    void requestClose();

    // Called by a view on its initial update.
    void setPaintTarget(CTorvelView* view);
    void postToFrontEnd(int message, int wParam, int lParam);

    // A message to the frame's handle: WM_CLOSE, or WM_COMMAND with the draw
    // button's number, "画面の終了(&X)" or one of the program's own menu
    // commands (as the control or menu item would act).
    void onMessage(int message, int wParam);

    // True while the render thread exists.
    bool renderRunning() const;
    // True while the render thread runs at idle priority.
    bool renderIdle() const;

signals:
    // The shutdown has run: the blocks are released and the front end told.
    // The program ends here even when another top-level window (the help
    // window) is still open.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    CTorvelView* addView(QWidget* parent);
    void shutdown();
    void onSavePicture();
    void onColourSettings();
    void onOrbitDisplay();
    void onAbout();
    void onHelpContents();
    void enterContextHelp();
    void updateHookedActions();

    viewer::ViewerSession& session_;
    platform::MessagePort& port_;
    platform::MessageBoxes& boxes_;
    CTorvelDoc* document_ = nullptr;
    ParameterBar* bar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolBar* parameterBand_ = nullptr;
    QSplitter* rows_ = nullptr;
    std::vector<CTorvelView*> views_;
    CTorvelView* paintView_ = nullptr;
    std::atomic<std::int32_t> paintTarget_{0};
    std::int32_t frameHandle_ = 0;
    ViewerDialogHooks hooks_;
    QTimer progressTimer_;
    std::unique_ptr<viewer::RenderJob> job_;
    viewer::ViewerState state_ = viewer::ViewerState::Ready;
    double drawnMagnification_ = 0.0;
    int drawWidth_ = 0;
    int drawHeight_ = 0;
    common::ViewRecord creationSnapshot_{};
    bool shutDown_ = false;
};
