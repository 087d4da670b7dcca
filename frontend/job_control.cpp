#include "frontend/job_control.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <system_error>
#include <vector>

#include "analysis/critical_points.h"
#include "analysis/julia_analysis.h"
#include "analysis/map_conversion.h"
#include "analysis/polynomial.h"
#include "common/block_names.h"
#include "common/messages.h"
#include "common/number_text.h"
#include "frontend/block_writer.h"
#include "platform/process.h"

namespace frontend {
namespace {

constexpr int STOP_POLL_PASSES = QUIT_WAIT_PASSES;
constexpr int CLOSE_REPEAT_PASSES = 5;

bool isViewerMessage(int msg) {
    return msg >= common::MSG_DRAW_STARTED && msg <= common::MSG_VIEWER_CLOSING;
}

int clampDegree(int degree) { return std::clamp(degree, -1, common::MAX_DEGREE); }

analysis::AnalysisSettings analysisSettings(const Settings& s) {
    analysis::AnalysisSettings a;
    a.maxLoop = s.maxLoop;
    a.siegelFlag = s.siegelFlag;
    a.convEps = s.convEps;
    a.contEps = s.contEps;
    a.inoutEps = s.inoutEps;
    return a;
}

analysis::CriticalPointList toEngineList(const common::CriticalPointList& list) {
    analysis::CriticalPointList out;
    out.count = std::clamp(list.count, 0, common::MAX_CRITICAL_POINTS);
    out.re.assign(list.re, list.re + out.count);
    out.im.assign(list.im, list.im + out.count);
    out.infinityIsCritical = list.infinityIsCritical;
    return out;
}

// Block form of an engine polynomial into the four coefficient arrays.
void storePolynomial(const analysis::ComplexPolynomial& p, double* re, double* im, std::int32_t& degree) {
    std::fill(re, re + common::COEFFICIENT_COUNT, 0.0);
    std::fill(im, im + common::COEFFICIENT_COUNT, 0.0);
    const int top = std::min(p.degree, common::MAX_DEGREE);
    for (int k = 0; k <= top && k < static_cast<int>(p.re.size()); ++k) {
        re[k] = p.re[static_cast<std::size_t>(k)];
        im[k] = p.im[static_cast<std::size_t>(k)];
    }
    degree = -1;
    for (int k = top; k >= 0; --k)
        if (re[k] != 0.0 || im[k] != 0.0) {
            degree = k;
            break;
        }
}

// Reads an int of a block that another process may be writing.
int readShared(const std::int32_t& field) {
    return std::atomic_ref<std::int32_t>(const_cast<std::int32_t&>(field)).load(std::memory_order_relaxed);
}

}  // namespace

JobControl::JobControl(JobUi& ui, JobEnvironment environment, Settings& settings)
    : ui_(ui), env_(std::move(environment)), settings_(settings) {}

JobControl::~JobControl() {
    stopRequest_ = true;
    joinThread();
    std::lock_guard<std::mutex> guard(lock_);
    for (int i = 0; i < VIEWER_SLOT_COUNT; ++i) freeSlotLocked(i);
}

// ---------------------------------------------------------------- queries

bool JobControl::busy() const {
    if (!env_.frontEndBlock) return false;
    return std::atomic_ref<std::int32_t>(env_.frontEndBlock->busyState).load() == common::BUSY_ANALYSING;
}

bool JobControl::anySlotInUse() const {
    std::lock_guard<std::mutex> guard(lock_);
    return !allSlotsFree();
}

SlotState JobControl::slotState(int slot) const {
    std::lock_guard<std::mutex> guard(lock_);
    return slots_[slot].state;
}

pid_t JobControl::slotProcess(int slot) const {
    std::lock_guard<std::mutex> guard(lock_);
    return slots_[slot].processId;
}

std::string JobControl::slotBlockName(int slot) const {
    std::lock_guard<std::mutex> guard(lock_);
    return slots_[slot].blockName;
}

bool JobControl::allSlotsFree() const {
    return std::all_of(std::begin(slots_), std::end(slots_),
                       [](const ViewerSlot& s) { return s.state == SlotState::Free; });
}

int JobControl::firstFreeSlot() const {
    std::lock_guard<std::mutex> guard(lock_);
    for (int i = 0; i < VIEWER_SLOT_COUNT; ++i)
        if (slots_[i].state == SlotState::Free) return i;
    return -1;
}

int JobControl::findSlotByProcess(int pid) const {
    if (pid == 0) return -1;
    for (int i = 0; i < VIEWER_SLOT_COUNT; ++i) {
        const ViewerSlot& s = slots_[i];
        if (s.state >= SlotState::Started && s.processId != 0 && s.processId == pid) return i;
    }
    return -1;
}

// ---------------------------------------------------------------- Execute

bool JobControl::execute(char mode) {
    const int slot = firstFreeSlot();
    if (slot < 0) {
        ui_.messages().showMessage(MSG_TOO_MANY_VIEWERS);
        return false;
    }
    ui_.setEntryEnabled(false);
    ui_.setWaitCursor(true);
    {
        std::lock_guard<std::mutex> guard(lock_);
        slots_[slot].childCount = 0;
        slots_[slot].parentSlot = -1;
    }
    const common::RationalMap map = env_.frontEndBlock->currentMap;
    const bool started = startAnalysis(slot, mode, map, env_.frontEndBlock->criticalPoints);
    if (!started) enableControlsIfAllFree();
    ui_.setWaitCursor(false);
    return started;
}

bool JobControl::startAnalysis(int slot, char mode, const common::RationalMap& map,
                               common::CriticalPointList& list) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        slots_[slot].state = SlotState::Analysing;
    }
    const analysis::CriticalPointList found = analysis::findCriticalPoints(analysis::toEngineMap(map));
    const int count = std::clamp(found.count, 0, common::MAX_CRITICAL_POINTS);
    list.count = count;
    list.infinityIsCritical = found.infinityIsCritical;
    for (int i = 0; i < common::MAX_CRITICAL_POINTS; ++i) {
        list.re[i] = i < count ? found.re[static_cast<std::size_t>(i)] : 0.0;
        list.im[i] = i < count ? found.im[static_cast<std::size_t>(i)] : 0.0;
    }

    if (mode == MODE_MANDELBROT) {
        std::fill(std::begin(list.selected), std::end(list.selected), std::uint8_t{0});
        // Viewer requests wait while the choice is open: a request handled
        // meanwhile could start a second analysis.
        selecting_ = true;
        ui_.selectCriticalPoints(list);
        selecting_ = false;
        const bool anySelected = std::any_of(list.selected, list.selected + count, [](std::uint8_t f) { return f != 0; });
        if (!anySelected) {
            {
                std::lock_guard<std::mutex> guard(lock_);
                slots_[slot].state = SlotState::Free;
            }
            replayPending();
            return false;
        }
    }

    JobParameters parameters;
    parameters.slot = slot;
    parameters.mode = mode;
    parameters.map = map;
    parameters.criticalPoints = list;
    parameters.settings = settings_;
    parameters.title = titleFor(slot, mode);

    joinThread();  // the previous job has posted its end; nothing is left to wait for
    auto busyState = std::atomic_ref<std::int32_t>(env_.frontEndBlock->busyState);
    const std::int32_t before = busyState.load();
    busyState.store(common::BUSY_ANALYSING);
    try {
        thread_ = std::thread(&JobControl::runAnalysisJob, this, std::move(parameters));
    } catch (const std::system_error&) {
        busyState.store(before);
        {
            std::lock_guard<std::mutex> guard(lock_);
            slots_[slot].state = SlotState::Free;
        }
        replayPending();
        return false;
    }
    return true;
}

std::string JobControl::titleFor(int slot, char mode) const {
    std::lock_guard<std::mutex> guard(lock_);
    const int parent = slots_[slot].parentSlot;
    if (parent < 0 || parent >= VIEWER_SLOT_COUNT || !slots_[parent].block())
        return std::string(1, mode) + "1";
    return derivedTitle(mode, slots_[parent].childCount, slots_[parent].block()->title);
}

// ---------------------------------------------------------------- the thread

void JobControl::runAnalysisJob(JobParameters parameters) {
    const int slot = parameters.slot;
    const analysis::RationalMap engineMap = analysis::toEngineMap(parameters.map);
    PictureContent content;
    content.kind = parameters.mode;
    content.title = parameters.title;
    content.map = parameters.map;
    content.criticalPoints = parameters.criticalPoints;
    content.convergenceRadius = parameters.settings.convEps;
    content.continuityDistance = parameters.settings.contEps;
    content.pictureWidth = parameters.settings.sizeX;
    content.pictureHeight = parameters.settings.sizeY;

    analysis::JuliaAnalysis julia;
    if (parameters.mode == MODE_JULIA) {
        // The engine runs without the lock; it reports closed curves through 1032.
        const platform::WindowHandle mainWindow = env_.mainWindow;
        julia = analysis::analyseJulia(engineMap, toEngineList(parameters.criticalPoints),
                                       analysisSettings(parameters.settings), &stopRequest_,
                                       [mainWindow] { platform::postMessage(mainWindow, common::MSG_CURVE_ANALYSIS, 0, 0); });
        content.fixedPoints = julia.fixedPoints;
        content.julia = &julia;
    } else {
        content.fixedPoints = analysis::findFixedPoints(engineMap);
    }

    {
        std::lock_guard<std::mutex> guard(lock_);
        const std::size_t size = pictureBlockSize(content);
        // No block after a stop request: the program is ending.
        if (stopRequest_ || !createBlock(slot, size) ||
            !writePictureBlock(slots_[slot].mapping->data(), size, content)) {
            freeSlotLocked(slot);
        } else {
            launchViewer(slot);
        }
    }
    platform::postMessage(env_.mainWindow, common::MSG_ANALYSIS_DONE, 0, 0);
}

bool JobControl::createBlock(int slot, std::size_t size) {
    ViewerSlot& s = slots_[slot];
    s.blockName = common::analysisBlockName(slot, env_.frontEndPid);
    s.mapping = platform::SharedMemory::create(s.blockName, size);
    if (!s.mapping) return false;
    s.blockSize = size;
    return true;
}

bool JobControl::launchViewer(int slot) {
    ViewerSlot& s = slots_[slot];
    // "-%s -%s -%u": the front end block, this picture's block, its size.
    const std::vector<std::string> arguments = {std::string("-").append(env_.frontEndBlockName),
                                                std::string("-").append(s.blockName),
                                                std::string("-").append(std::to_string(s.blockSize))};
    const auto pid = platform::startProcess(env_.viewerProgram, arguments, env_.startDirectory);
    if (!pid) {
        freeSlotLocked(slot);
        return false;
    }
    s.processId = *pid;
    s.state = SlotState::Started;
    s.watchPending = true;
    return true;
}

void JobControl::freeSlotLocked(int slot) {
    ViewerSlot& s = slots_[slot];
    s.mapping.reset();  // unmaps and unlinks the block
    s.state = SlotState::Free;
    s.processId = 0;
    s.blockSize = 0;
    s.viewWindow = 0;
    s.watchPending = false;
}

void JobControl::joinThread() {
    if (thread_.joinable()) thread_.join();
}

// ---------------------------------------------------------------- messages

bool JobControl::deferViewerMessages() const { return busy() || selecting_ || replaying_; }

void JobControl::handleMessage(int msg, int wParam, int lParam) {
    if (isViewerMessage(msg)) {
        const PendingRequest request{env_.mainWindow, msg, wParam, lParam};
        if (deferViewerMessages()) pending_.push_back(request);
        else handleViewerMessage(request);
        return;
    }
    if (msg == common::MSG_ANALYSIS_DONE) {
        onAnalysisDone();
    } else if (msg == common::MSG_CURVE_ANALYSIS) {
        ui_.setCloseAllEnabled(false);
        ui_.setStatusText(MSG_CURVE_ANALYSIS_STATUS);
    }
    // 1029, 1030 and anything else: accepted and ignored.
}

void JobControl::handleViewerMessage(const PendingRequest& request) {
    switch (request.msg) {
        case common::MSG_DRAW_STARTED: onDrawStarted(request.wParam, request.lParam); break;
        case common::MSG_DRAW_FINISHED: onDrawFinished(request.wParam); break;
        case common::MSG_NEW_PICTURE: onNewPicture(request.wParam, request.lParam); break;
        case common::MSG_VIEWER_CLOSING: onViewerClosing(request.wParam); break;
        default: break;
    }
}

void JobControl::onAnalysisDone() {
    joinThread();
    std::atomic_ref<std::int32_t>(env_.frontEndBlock->busyState).store(common::BUSY_IDLE);
    std::vector<pid_t> started;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (ViewerSlot& s : slots_) {
            if (s.watchPending && s.processId != 0) started.push_back(s.processId);
            s.watchPending = false;
        }
    }
    for (pid_t pid : started) ui_.watchChild(pid);
    replayPending();
    ui_.setStatusText({});
    ui_.setCloseAllEnabled(true);
    enableControlsIfAllFree();
}

void JobControl::replayPending() {
    if (replaying_) return;
    replaying_ = true;
    // Requests are taken in arrival order; one that starts an analysis
    // leaves the rest waiting for its end.
    while (!pending_.empty() && !busy() && !selecting_) {
        const PendingRequest request = pending_.front();
        pending_.pop_front();
        handleViewerMessage(request);
    }
    replaying_ = false;
}

void JobControl::onDrawStarted(int pid, int viewWindow) {
    std::lock_guard<std::mutex> guard(lock_);
    const int slot = findSlotByProcess(pid);
    if (slot < 0) return;
    ViewerSlot& s = slots_[slot];
    s.viewWindow = viewWindow;
    s.state = SlotState::Drawing;
    if (const common::AnalysisBlockHeader* block = s.block()) {
        // The size of the last picture that started drawing carries over.
        settings_.sizeX = std::clamp(readShared(block->currentView.pictureWidth), PICTURE_SIZE_MIN, PICTURE_SIZE_MAX);
        settings_.sizeY = std::clamp(readShared(block->currentView.pictureHeight), PICTURE_SIZE_MIN, PICTURE_SIZE_MAX);
    }
}

void JobControl::onDrawFinished(int pid) {
    std::lock_guard<std::mutex> guard(lock_);
    const int slot = findSlotByProcess(pid);
    if (slot >= 0 && slots_[slot].state == SlotState::Drawing) slots_[slot].state = SlotState::Drawn;
}

void JobControl::onViewerClosing(int pid) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        const int slot = findSlotByProcess(pid);
        if (slot < 0) return;
        freeSlotLocked(slot);
    }
    enableControlsIfAllFree();
}

void JobControl::childExited(pid_t pid) {
    // A viewer that ended without its closing message is closed here; after
    // its message the slot is already free and nothing matches.
    onViewerClosing(static_cast<int>(pid));
}

void JobControl::enableControlsIfAllFree() {
    bool allFree;
    {
        std::lock_guard<std::mutex> guard(lock_);
        allFree = allSlotsFree();
    }
    if (allFree && !busy()) ui_.setEntryEnabled(true);
}

void JobControl::onNewPicture(int pid, int requestedMode) {
    int source;
    char sourceKind;
    common::ViewRecord request;
    common::RationalMap sourceMap;
    double wRe = 0, wIm = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        source = findSlotByProcess(pid);
        if (source < 0 || !slots_[source].block()) return;
        const common::AnalysisBlockHeader* block = slots_[source].block();
        sourceKind = block->pictureKind;
        std::memcpy(&request, &block->drawnView, sizeof request);
        sourceMap = block->map;
        wRe = block->fixedRe[0];
        wIm = block->fixedIm[0];
    }
    const char mode = static_cast<char>(requestedMode & 0xFF);
    const bool copy = mode == sourceKind && (mode == MODE_MANDELBROT || mode == MODE_JULIA);
    const bool deriveJulia = sourceKind == MODE_MANDELBROT && mode == MODE_JULIA;
    if (!copy && !deriveJulia) return;
    if (!std::isfinite(request.magnification) || !std::isfinite(request.centreRe) ||
        !std::isfinite(request.centreIm))
        return;

    const int slot = firstFreeSlot();
    if (slot < 0) {
        ui_.messages().showMessage(MSG_TOO_MANY_VIEWERS);
        return;
    }

    if (copy) {
        bool launched = false;
        pid_t viewer = 0;
        {
            std::lock_guard<std::mutex> guard(lock_);
            ViewerSlot& from = slots_[source];
            ++from.childCount;
            const std::size_t size = from.blockSize;
            if (!stopRequest_ && from.block() && createBlock(slot, size)) {
                ViewerSlot& to = slots_[slot];
                to.childCount = 0;
                to.parentSlot = source;
                if (copyPictureBlock(to.mapping->data(), from.mapping->data(), size,
                                     derivedTitle(mode, from.childCount, from.block()->title))) {
                    // The copy's frame is not the source's: until the new
                    // viewer writes its own, close-all reaches it by process.
                    to.block()->viewerWindow = 0;
                    launched = launchViewer(slot);
                } else {
                    freeSlotLocked(slot);
                }
                if (launched) {
                    viewer = to.processId;
                    to.watchPending = false;
                }
            } else {
                freeSlotLocked(slot);
            }
        }
        if (launched) ui_.watchChild(viewer);
        enableControlsIfAllFree();
        return;
    }

    ui_.setWaitCursor(true);
    const common::RationalMap julia = deriveJuliaMap(sourceMap, request.centreRe, request.centreIm, wRe, wIm);
    {
        std::lock_guard<std::mutex> guard(lock_);
        ++slots_[source].childCount;
        slots_[slot].childCount = 0;
        slots_[slot].parentSlot = source;
    }
    common::CriticalPointList own{};
    if (!startAnalysis(slot, MODE_JULIA, julia, own)) {
        std::lock_guard<std::mutex> guard(lock_);
        slots_[slot].parentSlot = -1;
    }
    ui_.setWaitCursor(false);
}

common::RationalMap JobControl::deriveJuliaMap(const common::RationalMap& map, double cRe, double cIm, double wRe,
                                               double wIm) {
    common::RationalMap out = map;
    out.numeratorDegree = clampDegree(map.numeratorDegree);
    out.denominatorDegree = clampDegree(map.denominatorDegree);
    const bool mobius = out.form == common::FORM_RATIONAL && out.denominatorDegree >= out.numeratorDegree;
    if (!mobius) {
        // P + c Q, coefficient by coefficient up to the denominator's degree.
        for (int k = 0; k <= out.denominatorDegree; ++k) {
            const double qRe = out.denominatorRe[k], qIm = out.denominatorIm[k];
            out.numeratorRe[k] += cRe * qRe - cIm * qIm;
            out.numeratorIm[k] += cRe * qIm + cIm * qRe;
        }
        return out;
    }
    // M o R with M(u) = (c w^2 + (1 - c w) u) / ((1 + c w) - c u): fixes w, identity for c = 0.
    const double cwRe = cRe * wRe - cIm * wIm, cwIm = cRe * wIm + cIm * wRe;
    const double cw2Re = cwRe * wRe - cwIm * wIm, cw2Im = cwRe * wIm + cwIm * wRe;
    analysis::RationalMap outer;
    outer.form = common::FORM_RATIONAL;
    outer.numerator = analysis::makePolynomial(1);
    outer.denominator = analysis::makePolynomial(1);
    outer.numerator.re = {cw2Re, 1.0 - cwRe};
    outer.numerator.im = {cw2Im, -cwIm};
    outer.denominator.re = {1.0 + cwRe, -cRe};
    outer.denominator.im = {cwIm, -cIm};
    analysis::stripPolynomial(outer.numerator);
    analysis::stripPolynomial(outer.denominator);
    const analysis::RationalMap composed = analysis::composeRationalMaps(outer, analysis::toEngineMap(out));
    out.form = common::FORM_RATIONAL;
    storePolynomial(composed.numerator, out.numeratorRe, out.numeratorIm, out.numeratorDegree);
    storePolynomial(composed.denominator, out.denominatorRe, out.denominatorIm, out.denominatorDegree);
    return out;
}

// ---------------------------------------------------------------- close all, quit

void JobControl::postClose(int slot) {
    const ViewerSlot& s = slots_[slot];
    const platform::WindowHandle frame = s.block() ? readShared(s.block()->viewerWindow) : 0;
    // A viewer whose frame does not exist yet (or whose block names a window
    // of another process) is closed through its process endpoint.
    const bool ownFrame = frame != 0 && platform::processOfHandle(frame) == s.processId;
    const platform::WindowHandle target = ownFrame ? frame : platform::makeWindowHandle(s.processId, 0);
    platform::postMessage(target, common::WM_CLOSE, 0, 0);
}

void JobControl::closeAll() {
    if (!anySlotInUse()) return;
    if (!ui_.messages().askOkCancel(MSG_CLOSE_ALL_QUESTION)) return;
    std::lock_guard<std::mutex> guard(lock_);
    for (int i = 0; i < VIEWER_SLOT_COUNT; ++i)
        if (slots_[i].state >= SlotState::Started && slots_[i].processId != 0) postClose(i);
}

bool JobControl::quit() {
    if (anySlotInUse() && !ui_.messages().askOkCancel(MSG_CLOSE_ALL_QUESTION)) return false;
    // The stop request stays raised: nothing may start after this point.
    stopRequest_ = true;
    joinThread();

    std::vector<pid_t> waiting;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (int i = 0; i < VIEWER_SLOT_COUNT; ++i) {
            ViewerSlot& s = slots_[i];
            if (s.state >= SlotState::Started && s.processId != 0) {
                postClose(i);
                waiting.push_back(s.processId);
            }
        }
    }
    // The watcher must not reap what this loop waits for.
    for (pid_t pid : waiting) ui_.forgetChild(pid);
    for (int pass = 0; pass < STOP_POLL_PASSES && !waiting.empty(); ++pass) {
        std::lock_guard<std::mutex> guard(lock_);
        // A viewer still starting up may not have been listening yet when
        // the first close went out: ask again now and then.
        if (pass > 0 && pass % CLOSE_REPEAT_PASSES == 0)
            for (pid_t pid : waiting)
                if (const int slot = findSlotByProcess(pid); slot >= 0) postClose(slot);
        for (auto it = waiting.begin(); it != waiting.end();) {
            if (platform::waitForExit(*it, QUIT_WAIT_MS)) {
                const int slot = findSlotByProcess(*it);
                if (slot >= 0) freeSlotLocked(slot);
                it = waiting.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Viewers that did not end in time keep running on their own mappings;
    // the names of their blocks go now.
    std::lock_guard<std::mutex> guard(lock_);
    for (int i = 0; i < VIEWER_SLOT_COUNT; ++i) freeSlotLocked(i);
    pending_.clear();
    return true;
}

}  // namespace frontend
