// The analysis job: the table of ten viewer slots, the one analysis thread,
// the shared block of every picture, the start of the viewers, the requests
// the viewers send back, close all and quit.
//
// Slots. A slot goes 0 free -> 1 analysing -> 2 started -> 3 drawing ->
// 4 drawn, and back to 0 when its viewer says it closes (1028), when its
// viewer process ends without saying so (child exit), when the block or the
// viewer cannot be made, or at quit. A copy picture goes 0 -> 2 directly.
// A slot owns its block (created exclusively, unlinked when the slot is
// freed) and remembers the size it created it with; viewer messages find
// their slot by process id among slots in state >= 2 only.
//
// Threads. Everything here runs on the dialog's thread except
// runAnalysisJob, which runs on the one analysis thread with a copy of its
// JobParameters. The lock guards the slot table, block creation and viewer
// start. busyState of the front end block is 2 while the thread runs and 1
// afterwards (std::atomic_ref: viewers read it). Viewer messages that arrive
// while the thread runs (or while the critical point choice or a replay is
// under way) wait in the PendingRequest queue and are handled in arrival
// order when the analysis is done. The stop request is raised only at quit
// and stays raised; the thread is joined before anything it uses goes away.
//
// Window side. The job reaches the dialog through JobUi (enable controls,
// status line, cursor, critical point choice, message boxes, child-exit
// watching), so it holds no window code itself.
#pragma once

#include "common/ui_text.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <sys/types.h>

#include "common/block_layout.h"
#include "frontend/settings.h"
#include "platform/message_box.h"
#include "platform/message_port.h"
#include "platform/shared_memory.h"

namespace frontend {

inline constexpr int VIEWER_SLOT_COUNT = 10;

inline constexpr const char* MSG_TOO_MANY_VIEWERS =
    QT_TRANSLATE_NOOP("Texts", "画面数が多すぎます。どれかを閉じてから実行してください");
inline constexpr const char* MSG_CLOSE_ALL_QUESTION = QT_TRANSLATE_NOOP("Texts", "ウィンドウをすべて閉じますか");
inline constexpr const char* MSG_CURVE_ANALYSIS_STATUS =
    QT_TRANSLATE_NOOP("Texts", "閉曲線を検出、解析中です。しばらくお待ちください。");

// Picture modes as the radio buttons and the blocks hold them.
inline constexpr char MODE_MANDELBROT = 'M';
inline constexpr char MODE_JULIA = 'J';

// Quit waits for the viewers in up to this many passes of this many ms.
inline constexpr int QUIT_WAIT_PASSES = 20;
inline constexpr int QUIT_WAIT_MS = 30;

enum class SlotState : int { Free = 0, Analysing = 1, Started = 2, Drawing = 3, Drawn = 4 };

struct ViewerSlot {
    SlotState state = SlotState::Free;
    std::string blockName;                      // "PData%d_%u"
    pid_t processId = 0;                        // 0 while no viewer runs for the slot
    std::optional<platform::SharedMemory> mapping;  // the slot's block
    std::size_t blockSize = 0;                  // the size the block was created with
    int viewWindow = 0;                         // as sent with 1025
    int parentSlot = -1;                        // -1: started with Execute
    int childCount = 0;                         // pictures requested from this slot's viewer
    bool watchPending = false;                  // viewer started on the thread; watch it on the dialog's

    common::AnalysisBlockHeader* block() const {
        return mapping ? static_cast<common::AnalysisBlockHeader*>(mapping->data()) : nullptr;
    }
};

// The parameter area of the analysis thread, copied in before it starts.
struct JobParameters {
    int slot = 0;
    char mode = MODE_MANDELBROT;
    common::RationalMap map{};
    common::CriticalPointList criticalPoints{};
    Settings settings;      // the values the job uses, taken when it starts
    std::string title;      // the picture's title, composed when it starts
};

// A viewer message that arrived while the job could not take it.
struct PendingRequest {
    platform::WindowHandle target = 0;
    int msg = 0;
    int wParam = 0;
    int lParam = 0;
};

class JobUi {
public:
    virtual ~JobUi() = default;
    // The formula entry, mode buttons, load sample, close all, Execute,
    // Clear and the name field; with them settingsEditable.
    virtual void setEntryEnabled(bool enabled) = 0;
    virtual void setCloseAllEnabled(bool enabled) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setWaitCursor(bool on) = 0;
    // Runs the critical point choice on list; true when "スタート" stored one.
    virtual bool selectCriticalPoints(common::CriticalPointList& list) = 0;
    // Child-exit notice for a started viewer (reported through childExited).
    virtual void watchChild(pid_t pid) = 0;
    virtual void forgetChild(pid_t pid) = 0;
    virtual platform::MessageBoxes& messages() = 0;
};

struct JobEnvironment {
    common::FrontEndBlock* frontEndBlock = nullptr;  // mapped "FData%u"
    std::string frontEndBlockName;
    std::uint32_t frontEndPid = 0;
    platform::WindowHandle mainWindow = 0;
    std::string viewerProgram;     // absolute path of the viewer program
    std::string startDirectory;    // working directory of the viewers ("" = ours)
};

class JobControl {
public:
    JobControl(JobUi& ui, JobEnvironment environment, Settings& settings);
    // Raises the stop request, joins the thread and frees every slot.
    ~JobControl();
    JobControl(const JobControl&) = delete;
    JobControl& operator=(const JobControl&) = delete;

    // Execute after the formula check passed: takes the first free slot and
    // starts the analysis of the front end block's map in mode 'M' or 'J'.
    // False when nothing was started.
    bool execute(char mode);

    // Messages 1025..1032 to the main dialog.
    void handleMessage(int msg, int wParam, int lParam);
    // A viewer process ended (reaped); treated as its 1028 when it never sent one.
    void childExited(pid_t pid);

    // "すべて閉じる": asks, then closes every started viewer.
    void closeAll();
    // Quit: asks when viewers exist (false on Cancel), raises the stop
    // request for good and joins the analysis thread, asks every started
    // viewer to close (again every few passes, for viewers that were not
    // listening yet), waits up to QUIT_WAIT_PASSES x QUIT_WAIT_MS for them,
    // and frees every slot (a viewer still running keeps its own mapping).
    bool quit();

    bool anySlotInUse() const;
    bool busy() const;
    SlotState slotState(int slot) const;
    pid_t slotProcess(int slot) const;
    std::string slotBlockName(int slot) const;
    std::size_t pendingCount() const { return pending_.size(); }

    // The map of a Julia picture asked for from a Mandelbrot picture at
    // parameter c, with w the first fixed point of the source (block form).
    // Degrees outside -1..10 are clamped first.
    static common::RationalMap deriveJuliaMap(const common::RationalMap& map, double cRe, double cIm,
                                              double wRe, double wIm);

private:
    bool startAnalysis(int slot, char mode, const common::RationalMap& map, common::CriticalPointList& list);
    void runAnalysisJob(JobParameters parameters);
    // Lock held: creates the slot's block of the given size. False on failure.
    bool createBlock(int slot, std::size_t size);
    // Lock held: starts the viewer for the slot's block; on failure frees the slot.
    bool launchViewer(int slot);
    // Lock held: unmaps and unlinks the block, clears the slot.
    void freeSlotLocked(int slot);

    void handleViewerMessage(const PendingRequest& request);
    void onDrawStarted(int pid, int viewWindow);
    void onDrawFinished(int pid);
    void onViewerClosing(int pid);
    void onNewPicture(int pid, int requestedMode);
    void onAnalysisDone();
    void replayPending();
    bool deferViewerMessages() const;

    int findSlotByProcess(int pid) const;  // lock held or dialog thread
    int firstFreeSlot() const;
    bool allSlotsFree() const;
    void enableControlsIfAllFree();
    void joinThread();
    void postClose(int slot);
    std::string titleFor(int slot, char mode) const;

    JobUi& ui_;
    JobEnvironment env_;
    Settings& settings_;
    mutable std::mutex lock_;
    ViewerSlot slots_[VIEWER_SLOT_COUNT];
    std::deque<PendingRequest> pending_;
    std::thread thread_;
    std::atomic<bool> stopRequest_{false};
    bool selecting_ = false;
    bool replaying_ = false;
};

}  // namespace frontend
