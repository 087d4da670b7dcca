// The analysis job with real processes: the main dialog starts the viewer stand-in
// (tests/platform/viewer_standin.cpp), which posts its messages back through the message port.
#include "frontend/main_dialog.h"

#include "analysis/map_conversion.h"
#include "analysis/polynomial.h"
#include "common/messages.h"
#include "fault_support.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"
#include "platform_test_support.h"

#include <complex>
#include <tuple>

namespace {

using namespace frontend_test;
using frontend::SlotState;

class JobTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("HV_STANDIN_POSTS", "1025,1026,wait", 1);
        ::setenv("HV_STANDIN_TIMEOUT_MS", "60000", 1);
    }

    void TearDown() override {
        ::unsetenv("HV_STANDIN_SCRIPTS");
        if (dialog_) dialog_->close();
        dialog_.reset();
        EXPECT_TRUE(ownSharedObjects().empty());
    }

    void open() {
        MainDialog::Options options;
        options.settingsPath = std::string(std::getenv("XDG_CONFIG_HOME")) + "/Halvatrine.conf";
        options.viewerProgram = platform_test::standinPath();
        options.selectCriticalPoints = [](common::CriticalPointList& list) {
            for (int i = 0; i < list.count; ++i) list.selected[i] = 1;
            return list.count > 0;
        };
        dialog_ = std::make_unique<MainDialog>(boxes_, options);
        dialog_->show();
        type(8, "1");  // z^2 - 1 in the grid
        type(0, "-1");
    }

    void type(int field, const char* text) { retype(dialog_->coefficientField(field), text); }

    frontend::JobControl& job() { return dialog_->job(); }
    int slotsInUse() { return frontend_test::slotsInUse(job()); }

    // count viewers exist and none is analysed; with `drawn`, each has reported its drawing (so it listens).
    bool settled(int count, bool drawn) {
        if (job().busy() || slotsInUse() != count) return false;
        for (int i = 0; i < frontend::VIEWER_SLOT_COUNT; ++i) {
            const SlotState s = job().slotState(i);
            if (s == SlotState::Analysing || (drawn && s != SlotState::Free && s != SlotState::Drawn)) return false;
        }
        return true;
    }

    platform::RecordingMessageBoxes boxes_;
    std::unique_ptr<MainDialog> dialog_;
};

TEST_F(JobTest, RequestsThatFitOpenViewersWhileTheEntryIsFrozenAndQuitAsksFirst) {
    // The stand-in of M1 asks for a copy and a Julia picture (checked with real viewers in the both-programs test).
    std::ofstream("scripts.txt") << "M1\t1025,1026,1027:M,1027:J,wait\n";
    ::setenv("HV_STANDIN_SCRIPTS", std::filesystem::absolute("scripts.txt").c_str(), 1);
    open();
    dialog_->executeButton()->click();
    ASSERT_TRUE(waitUntil([&] { return settled(3, true); }, 60000));
    EXPECT_EQ(dialog_->frontEndBlock().busyState, common::BUSY_IDLE);
    EXPECT_EQ(dialog_->frontEndBlock().criticalPoints.selected[0], 1);
    EXPECT_FALSE(dialog_->executeButton()->isEnabled() || dialog_->coefficientField(0)->isEnabled());
    EXPECT_FALSE(dialog_->settingsEditable());
    ASSERT_EQ(blockTitle(job(), 2), "J2←M1");  // the second picture asked for from M1

    // A Julia picture cannot give a Mandelbrot picture; unknown modes, unknown
    // processes and the messages 1029 and 1030 are ignored.
    const pid_t julia = job().slotProcess(2), other = julia + 100000;
    for (const auto& [msg, w, l] : {std::tuple{common::MSG_NEW_PICTURE, julia, int{'M'}},
                                    {common::MSG_NEW_PICTURE, julia, 'X'}, {common::MSG_NEW_PICTURE, other, 'J'},
                                    {common::MSG_VIEWER_CLOSING, other, 0}, {1029, 0, 0}, {1030, 0, 0}})
        job().handleMessage(msg, w, l);
    EXPECT_TRUE(settled(3, true));
    // A request whose view is not finite is ignored; a finite one is copied.
    auto block = platform::SharedMemory::open(job().slotBlockName(2));
    ASSERT_TRUE(block.has_value());
    auto& h = *static_cast<common::AnalysisBlockHeader*>(block->data());
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [centreIm, magnification] : {std::pair{inf, 2.0}, {0.5, nan}, {0.5, 2.0}}) {
        h.drawnView = h.currentView;
        h.drawnView.centreIm = centreIm;
        h.drawnView.magnification = magnification;
        job().handleMessage(common::MSG_NEW_PICTURE, julia, 'J');
    }
    ASSERT_TRUE(waitUntil([&] { return settled(4, true); }));
    EXPECT_EQ(blockTitle(job(), 3), "J1←J2←M1");
    EXPECT_EQ(blockHeader(job(), 3).currentView.magnification, 2.0);
    EXPECT_EQ(blockHeader(job(), 3).currentView.centreIm, 0.5);
    {
        platform_test::FullDisk full(100);  // the copy's block cannot be made: no picture, nothing else changes
        job().handleMessage(common::MSG_NEW_PICTURE, julia, 'J');
    }
    EXPECT_TRUE(settled(4, true));

    const pid_t viewers[] = {job().slotProcess(0), job().slotProcess(1), julia, job().slotProcess(3)};
    boxes_.scriptAnswers({false, false});
    dialog_->closeAllButton()->click();  // Cancel: nothing closes
    dialog_->quitAction()->trigger();    // Cancel: everything stays
    EXPECT_TRUE(dialog_->isVisible() && settled(4, true));
    dialog_->quitAction()->trigger();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(boxes_.texts(), std::vector<std::string>(3, "ウィンドウをすべて閉じますか"));
    EXPECT_EQ(slotsInUse(), 0);
    for (pid_t pid : viewers) EXPECT_TRUE(waitUntil([&] { return processGone(pid); })) << pid;
}

TEST_F(JobTest, QuitDuringAnAnalysisStopsItBeforeItMakesABlock) {
    open();  // closed curves make the analysis long enough to be running at quit
    dialog_->settings().siegelFlag = 1;
    type(0, "-0.390540870218400");
    type(1, "-0.586787907346969");
    dialog_->juliaButton()->click();
    dialog_->executeButton()->click();
    ASSERT_TRUE(job().busy());
    dialog_->quitAction()->trigger();
    EXPECT_EQ(job().slotBlockName(0), "");  // never named: the stopped analysis made no block
    EXPECT_EQ(slotsInUse(), 0);
}

TEST_F(JobTest, ViewerMessagesDuringAnAnalysisWaitForItsEndInArrivalOrder) {
    ::setenv("HV_STANDIN_POSTS", "size:5000x0,wait", 1);
    open();
    dialog_->executeButton()->click();
    ASSERT_TRUE(waitUntil([&] { return settled(1, false); }));
    const pid_t viewer = job().slotProcess(0);

    // A Julia request starts an analysis; the viewer's next messages arrive
    // before that analysis has posted its end.
    job().handleMessage(common::MSG_NEW_PICTURE, viewer, 'J');
    ASSERT_TRUE(job().busy());
    job().handleMessage(common::MSG_DRAW_STARTED, viewer, viewer * 256 + 2);
    job().handleMessage(common::MSG_DRAW_FINISHED, viewer, viewer * 256 + 2);
    EXPECT_EQ(job().pendingCount(), 2u);
    EXPECT_EQ(job().slotState(0), SlotState::Started);

    ASSERT_TRUE(waitUntil([&] { return !job().busy() && job().pendingCount() == 0; }));
    // 1025 was taken before 1026, else the picture would not count as drawn.
    EXPECT_EQ(job().slotState(0), SlotState::Drawn);
    EXPECT_EQ(dialog_->settings().sizeX, 1000);  // the viewer's size, clamped to 1..1000
    EXPECT_EQ(dialog_->settings().sizeY, 1);
    ASSERT_TRUE(waitUntil([&] { return settled(2, false); }));
    // Both listen (the stand-in writes its frame after binding), then close all gives the entry back.
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(waitUntil([&] { return blockHeader(job(), i).viewerWindow != 0; }));
    boxes_.scriptAnswers({true});
    dialog_->closeAllButton()->click();
    EXPECT_TRUE(waitUntil([&] { return slotsInUse() == 0 && dialog_->executeButton()->isEnabled(); }));
    EXPECT_TRUE(dialog_->settingsEditable() && dialog_->coefficientField(0)->isEnabled());
}

TEST_F(JobTest, AViewerKilledIsForgottenAndQuitClosesOneThatHasNotDrawnYet) {
    // M1 asks for a Julia picture; that viewer never reports a drawing.
    ::setenv("HV_STANDIN_POSTS", "wait", 1);
    std::ofstream("scripts.txt") << "M1\t1027:J,wait\n";
    ::setenv("HV_STANDIN_SCRIPTS", std::filesystem::absolute("scripts.txt").c_str(), 1);
    open();
    dialog_->executeButton()->click();
    ASSERT_TRUE(waitUntil([&] { return settled(2, false) && blockHeader(job(), 1).viewerWindow != 0; }));
    const pid_t julia = job().slotProcess(1);
    ASSERT_EQ(::kill(job().slotProcess(0), SIGKILL), 0);
    EXPECT_TRUE(waitUntil([&] { return settled(1, false) && job().slotState(1) == SlotState::Started; }));
    dialog_->quitAction()->trigger();
    EXPECT_TRUE(waitUntil([&] { return processGone(julia); }, 30000));  // well before its own 60 s time-out
}

using cd = std::complex<double>;

cd evaluate(const common::RationalMap& m, cd z) {
    const auto v = analysis::evaluateRational(analysis::toEngineMap(m), {z.real(), z.imag()}).value;
    return {v.re, v.im};
}

TEST(DeriveJuliaMap, ValuesAreRPlusCOrTheMobiusMapFixingW) {
    // R + c = (P + c Q)/Q when deg Q < deg P, else M o R with M(u) = (c w^2 + (1 - c w) u)/((1 + c w) - c u).
    const std::tuple<common::RationalMap, cd, cd, bool, int> cases[] = {  // ..., Möbius, the numerator degree
        {{1, 2, 0, {}, {0, 0, 1}, {}, {1}, {}}, cd(-0.12, 0.75), 0.0, false, 2},
        {{2, 3, 1, {}, {1, 0, 0, 1}, {}, {0, 2}, {}}, cd(0.5, -1), 0.0, false, 3},
        {{2, 2, 2, {}, {1, 0, 1}, {}, {0, -1, 1}, {}}, cd(0.2, -0.3), cd(0.5, 0.25), true, 2},
        {{2, 2, 2, {}, {1, 0, 1}, {}, {0, -1, 1}, {}}, 0.5, 0.25, true, 2},  // real coefficients
        {{2, 0, 1, {}, {1}, {}, {0, 1}, {}}, 0.5, 0.0, true, 0}};  // 1/z: a constant numerator
    for (const auto& [map, c, w, mobius, degree] : cases) {
        const common::RationalMap j = frontend::JobControl::deriveJuliaMap(map, c.real(), c.imag(), w.real(), w.imag());
        EXPECT_EQ(j.form, map.form);
        EXPECT_EQ(j.numeratorDegree, degree);
        for (const cd z : {cd(0.3, 0.4), cd(-1.5, 0.2)}) {
            const cd u = evaluate(map, z);
            const cd want = mobius ? (c * w * w + (1.0 - c * w) * u) / ((1.0 + c * w) - c * u) : u + c;
            EXPECT_LT(std::abs(evaluate(j, z) - want), 1e-12) << c;
        }
    }
    // Wild degrees are clamped first: c Q is added over the clamped denominator only.
    const common::RationalMap j = frontend::JobControl::deriveJuliaMap({1, -50, 1000, {}, {0, 0, 1}, {}, {1}, {}}, 1, 0, 0, 0);
    EXPECT_EQ(j.numeratorDegree, -1);
    EXPECT_EQ(j.denominatorDegree, common::MAX_DEGREE);
    EXPECT_EQ(std::vector<double>(j.numeratorRe, j.numeratorRe + 3), (std::vector<double>{1, 0, 1}));
}

}  // namespace
