// The analysis job with real processes: the main dialog starts the viewer
// stand-in (tests/platform/viewer_standin.cpp) as it starts the viewer, and
// the stand-ins post their messages back through the message port.
#include "frontend/main_dialog.h"

#include "analysis/map_conversion.h"
#include "analysis/polynomial.h"
#include "common/block_names.h"
#include "common/messages.h"
#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"
#include "platform_test_support.h"

#include <complex>

namespace {

using namespace frontend_test;

using frontend::SlotState;

class JobTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = frontend_test::makeScratchDirectory("hv-job-");
        ::setenv("HV_STANDIN_POSTS", "1025,1026,wait", 1);
        ::unsetenv("HV_STANDIN_SCRIPTS");
        ::setenv("HV_STANDIN_TIMEOUT_MS", "60000", 1);
    }

    void TearDown() override {
        if (dialog_) {
            dialog_->close();
            dialog_.reset();
        }
        EXPECT_TRUE(ownSharedObjects().empty());
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
        ::unsetenv("HV_STANDIN_SCRIPTS");
    }

    void open() {
        MainDialog::Options options;
        options.settingsPath = scratch_ + "/Halvatrine.conf";
        options.viewerProgram = platform_test::standinPath();
        options.selectCriticalPoints = [this](common::CriticalPointList& list) {
            ++choices_;
            for (int i = 0; i < list.count; ++i) list.selected[i] = 1;
            return list.count > 0;
        };
        dialog_ = std::make_unique<MainDialog>(boxes_, options);
        dialog_->show();
        type(8, "1");  // z^2 - 1 in the grid
        type(0, "-1");
    }

    void scripts(const std::vector<std::pair<std::string, std::string>>& byTitle) {
        const std::string path = scratch_ + "/scripts.txt";
        std::ofstream out(path);
        for (const auto& [title, script] : byTitle) out << title << '\t' << script << '\n';
        ::setenv("HV_STANDIN_SCRIPTS", path.c_str(), 1);
    }

    void type(int field, const char* text) {
        QLineEdit* edit = dialog_->coefficientField(field);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, q(text));
    }

    frontend::JobControl& job() { return dialog_->job(); }

    int slotsInUse() { return frontend_test::slotsInUse(job()); }

    bool allStarted(int count) {
        if (job().busy() || slotsInUse() != count) return false;
        for (int i = 0; i < frontend::VIEWER_SLOT_COUNT; ++i)
            if (job().slotState(i) == SlotState::Analysing) return false;
        return true;
    }

    // count viewers exist and each has reported its drawing (so it listens).
    bool allDrawn(int count) {
        if (!allStarted(count)) return false;
        for (int i = 0; i < frontend::VIEWER_SLOT_COUNT; ++i)
            if (job().slotState(i) != SlotState::Free && job().slotState(i) != SlotState::Drawn) return false;
        return true;
    }

    common::AnalysisBlockHeader header(int slot) { return blockHeader(job(), slot); }

    std::string title(int slot) { return blockTitle(job(), slot); }

    std::string scratch_;
    platform::RecordingMessageBoxes boxes_;
    std::unique_ptr<MainDialog> dialog_;
    int choices_ = 0;
};

TEST_F(JobTest, MandelbrotPictureStartsAViewerAndCloseAllEndsIt) {
    open();
    dialog_->executeButton()->click();
    EXPECT_EQ(choices_, 1);
    ASSERT_TRUE(frontend_test::waitUntil([&] { return job().slotState(0) == SlotState::Drawn; }));
    EXPECT_EQ(job().slotBlockName(0), "PData0_" + std::to_string(::getpid()));  // kind and title: both-programs test
    EXPECT_EQ(dialog_->frontEndBlock().busyState, common::BUSY_IDLE);
    EXPECT_EQ(dialog_->frontEndBlock().criticalPoints.selected[0], 1);
    // The formula entry and the settings are frozen while the viewer exists.
    EXPECT_FALSE(dialog_->executeButton()->isEnabled());
    EXPECT_FALSE(dialog_->coefficientField(0)->isEnabled());
    EXPECT_FALSE(dialog_->settingsEditable());
    EXPECT_TRUE(dialog_->closeAllButton()->isEnabled());

    const pid_t viewer = job().slotProcess(0);
    boxes_.scriptAnswers({false});
    dialog_->closeAllButton()->click();
    EXPECT_EQ(job().slotState(0), SlotState::Drawn);  // Cancel: nothing closes
    dialog_->closeAllButton()->click();
    EXPECT_EQ(boxes_.texts(), (std::vector<std::string>{"ウィンドウをすべて閉じますか", "ウィンドウをすべて閉じますか"}));
    ASSERT_TRUE(frontend_test::waitUntil([&] { return slotsInUse() == 0 && dialog_->executeButton()->isEnabled(); }));
    EXPECT_TRUE(dialog_->settingsEditable());
    EXPECT_TRUE(dialog_->coefficientField(0)->isEnabled());
    EXPECT_TRUE(frontend_test::waitUntil([&] { return processGone(viewer); }));
    EXPECT_TRUE(ownSharedObjects() == std::vector<std::string>{common::frontEndBlockName(::getpid())});
}

// (Titles and blocks of copies and Julia pictures asked for by a viewer are
// checked with real viewers in the both-programs test.)
TEST_F(JobTest, QuitClosesEveryViewerAndLeavesNoBlock) {
    scripts({{"M1", "1025,1026,1027:M,1027:J,wait"}});
    open();
    dialog_->executeButton()->click();
    ASSERT_TRUE(frontend_test::waitUntil([&] { return allDrawn(3); }, 60000));
    std::vector<pid_t> viewers;
    for (int i = 0; i < 3; ++i) viewers.push_back(job().slotProcess(i));

    boxes_.scriptAnswers({false});
    dialog_->quitAction()->trigger();  // Cancel: everything stays
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(slotsInUse(), 3);
    dialog_->quitAction()->trigger();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(boxes_.texts(), (std::vector<std::string>{"ウィンドウをすべて閉じますか", "ウィンドウをすべて閉じますか"}));
    EXPECT_EQ(slotsInUse(), 0);
    for (pid_t pid : viewers) EXPECT_TRUE(frontend_test::waitUntil([&] { return processGone(pid); })) << pid;
    dialog_.reset();
    EXPECT_TRUE(ownSharedObjects().empty());
    for (pid_t pid : viewers) EXPECT_FALSE(std::filesystem::exists(platform::socketPathFor(pid)));
}

TEST_F(JobTest, ViewerMessagesDuringAnAnalysisWaitForItsEndInArrivalOrder) {
    ::setenv("HV_STANDIN_POSTS", "size:800x500,wait", 1);
    open();
    dialog_->executeButton()->click();
    ASSERT_TRUE(frontend_test::waitUntil([&] { return allStarted(1); }));
    const pid_t viewer = job().slotProcess(0);
    ASSERT_EQ(job().slotState(0), SlotState::Started);

    // A Julia request starts an analysis; the viewer's next messages arrive
    // before that analysis has posted its end.
    job().handleMessage(common::MSG_NEW_PICTURE, viewer, 'J');
    ASSERT_TRUE(job().busy());
    job().handleMessage(common::MSG_DRAW_STARTED, viewer, viewer * 256 + 2);
    job().handleMessage(common::MSG_DRAW_FINISHED, viewer, viewer * 256 + 2);
    EXPECT_EQ(job().pendingCount(), 2u);
    EXPECT_EQ(job().slotState(0), SlotState::Started);
    EXPECT_EQ(dialog_->settings().sizeX, 600);

    ASSERT_TRUE(frontend_test::waitUntil([&] { return !job().busy() && job().pendingCount() == 0; }));
    // 1025 was taken before 1026, else the picture would not count as drawn.
    EXPECT_EQ(job().slotState(0), SlotState::Drawn);
    EXPECT_EQ(dialog_->settings().sizeX, 800);
    EXPECT_EQ(dialog_->settings().sizeY, 500);
    ASSERT_TRUE(frontend_test::waitUntil([&] { return allStarted(2); }));
    // Both listen before the test ends (the stand-in writes its frame after binding).
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(frontend_test::waitUntil([&] { return header(i).viewerWindow != 0; }));
}

TEST_F(JobTest, RequestsThatDoNotFitAreIgnored) {
    ::setenv("HV_STANDIN_POSTS", "1025,1026,wait", 1);
    open();
    dialog_->juliaButton()->click();
    dialog_->executeButton()->click();
    ASSERT_TRUE(frontend_test::waitUntil([&] { return job().slotState(0) == SlotState::Drawn; }));
    const pid_t viewer = job().slotProcess(0);
    // A Julia picture cannot give a Mandelbrot picture; unknown modes and
    // unknown processes are ignored as well.
    job().handleMessage(common::MSG_NEW_PICTURE, viewer, 'M');
    job().handleMessage(common::MSG_NEW_PICTURE, viewer, 'X');
    job().handleMessage(common::MSG_NEW_PICTURE, viewer + 100000, 'J');
    job().handleMessage(common::MSG_VIEWER_CLOSING, viewer + 100000, 0);
    job().handleMessage(1029, 0, 0);
    job().handleMessage(1030, 0, 0);
    EXPECT_EQ(slotsInUse(), 1);
    EXPECT_FALSE(job().busy());
    EXPECT_TRUE(boxes_.entries().empty());

    // A request whose view is not finite is ignored; a finite one is copied.
    auto block = platform::SharedMemory::open(job().slotBlockName(0));
    ASSERT_TRUE(block.has_value());
    auto& drawn = static_cast<common::AnalysisBlockHeader*>(block->data())->drawnView;
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [centreIm, magnification] : {std::pair{inf, 2.0}, {0.5, nan}, {0.5, 2.0}}) {
        drawn = static_cast<common::AnalysisBlockHeader*>(block->data())->currentView;
        drawn.centreIm = centreIm;
        drawn.magnification = magnification;
        job().handleMessage(common::MSG_NEW_PICTURE, viewer, 'J');
    }
    ASSERT_TRUE(frontend_test::waitUntil([&] { return allDrawn(2); }));
    EXPECT_EQ(title(1), "J1←J1");
    EXPECT_EQ(header(1).currentView.magnification, 2.0);
    EXPECT_EQ(header(1).currentView.centreIm, 0.5);
}

TEST_F(JobTest, QuitDuringAnAnalysisStopsItAndLeavesNothing) {
    // Closed curves make the analysis long enough to be running at quit
    // (the outcome is checked, not the timing).
    open();
    dialog_->settings().siegelFlag = 1;
    type(0, "-0.390540870218400");
    type(1, "-0.586787907346969");
    dialog_->juliaButton()->click();
    dialog_->executeButton()->click();
    ASSERT_TRUE(job().busy());
    dialog_->quitAction()->trigger();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(slotsInUse(), 0);
    dialog_.reset();
    EXPECT_TRUE(ownSharedObjects().empty());
}

// ------------------------------------------------------------ deriveJuliaMap

using cd = std::complex<double>;

common::RationalMap blockMap(const std::vector<cd>& p, const std::vector<cd>& qd) {
    common::RationalMap m{};
    for (std::size_t k = 0; k < p.size(); ++k) {
        m.numeratorRe[k] = p[k].real();
        m.numeratorIm[k] = p[k].imag();
    }
    for (std::size_t k = 0; k < qd.size(); ++k) {
        m.denominatorRe[k] = qd[k].real();
        m.denominatorIm[k] = qd[k].imag();
    }
    m.numeratorDegree = static_cast<int>(p.size()) - 1;
    m.denominatorDegree = static_cast<int>(qd.size()) - 1;
    m.form = qd == std::vector<cd>{1.0} ? common::FORM_POLYNOMIAL : common::FORM_RATIONAL;
    return m;
}

cd evaluate(const common::RationalMap& m, cd z) {
    const auto v = analysis::evaluateRational(analysis::toEngineMap(m), {z.real(), z.imag()}).value;
    return {v.re, v.im};
}

TEST(DeriveJuliaMap, ValuesAreRPlusCOrTheMobiusMapFixingW) {
    // Polynomials and maps whose denominator has the lower degree become
    // R + c = (P + c Q)/Q; others M o R with M(u) = (c w^2 + (1 - c w) u)/((1 + c w) - c u).
    struct Case {
        common::RationalMap map;
        cd c, w;
        bool mobius;
    } cases[] = {
        {blockMap({0, 0, 1}, {1}), cd(-0.12, 0.75), 0.0, false},
        {blockMap({1, 0, 0, 1}, {0, 2}), cd(0.5, -1), 0.0, false},
        {blockMap({1, 0, 1}, {0, -1, 1}), cd(0.2, -0.3), cd(0.5, 0.25), true},
        {blockMap({1, 0, 1}, {0, -1, 1}), 0.0, cd(0.5, 0.25), true},
    };
    for (const Case& t : cases) {
        const common::RationalMap j = frontend::JobControl::deriveJuliaMap(t.map, t.c.real(), t.c.imag(), t.w.real(), t.w.imag());
        EXPECT_EQ(j.form, t.map.form);
        for (const cd z : {cd(0.3, 0.4), cd(-1.5, 0.2)}) {
            const cd u = evaluate(t.map, z), c = t.c, w = t.w;
            const cd want = t.mobius ? (c * w * w + (1.0 - c * w) * u) / ((1.0 + c * w) - c * u) : u + c;
            EXPECT_LT(std::abs(evaluate(j, z) - want), 1e-12) << t.c;
        }
    }
    EXPECT_EQ(frontend::JobControl::deriveJuliaMap(cases[0].map, -0.12, 0.75, 0, 0).numeratorDegree, 2);
}

TEST(DeriveJuliaMap, WildDegreesAreClampedFirst) {
    common::RationalMap m = blockMap({0, 0, 1}, {1});
    m.denominatorDegree = 1000;
    m.numeratorDegree = -50;
    const common::RationalMap j = frontend::JobControl::deriveJuliaMap(m, 1, 0, 0, 0);
    EXPECT_EQ(j.numeratorDegree, -1);
    EXPECT_EQ(j.denominatorDegree, common::MAX_DEGREE);
    EXPECT_EQ(j.numeratorRe[0], 1.0);  // c Q added over the clamped denominator only
    EXPECT_EQ(j.numeratorRe[2], 1.0);
}

}  // namespace
