// The main dialog driven as a user drives it, with keys and clicks; messages are recorded, not shown.
#include "frontend/main_dialog.h"

#include "frontend_test_support.h"
#include "platform/recording_message_boxes.h"
#include "platform/settings_store.h"
#include "platform_test_support.h"

namespace {

using namespace frontend_test;

int field(int degree, int column) { return 4 * degree + column; }

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }
    void TearDown() override { std::filesystem::remove(settingsPath_); }  // written only at quit

    void open() {
        MainDialog::Options options{settingsPath_, platform_test::standinPath(), {}};
        options.selectCriticalPoints = [this](common::CriticalPointList&) {
            ++offered_;
            waitCursor_ = QApplication::overrideCursor() != nullptr;  // the critical points are being computed
            return false;  // the choice is closed without "スタート"
        };
        dialog_ = std::make_unique<MainDialog>(boxes_, options);
        dialog_->show();
        QApplication::setActiveWindow(dialog_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    }

    void type(int f, const char* text) { retype(dialog_->coefficientField(f), text); }
    std::string text(int f) const { return dialog_->coefficientField(f)->text().toStdString(); }
    const common::RationalMap& map() const { return dialog_->frontEndBlock().currentMap; }

    const std::string settingsPath_ = std::filesystem::absolute("Halvatrine.conf");
    platform::RecordingMessageBoxes boxes_;
    int offered_ = 0;
    bool waitCursor_ = false;
    std::unique_ptr<MainDialog> dialog_;
};

TEST_F(MainDialogTest, KeystrokesAreFilteredStoredAtOnceAndShownInBothForms) {
    EXPECT_EQ(text(field(0, 0)) + text(field(0, 2)) + (dialog_->mandelbrotButton()->isChecked() ? "M" : ""), "01M");
    // Typed key by key, the second point is cut as it comes and the 3 follows the 2.
    type(field(0, 0), "1.2.3");
    EXPECT_EQ(text(field(0, 0)), "1.23");
    EXPECT_EQ(map().numeratorRe[0], 1.23);
    // A lone minus stays as text and stores nothing.
    type(field(1, 1), "5");
    type(field(1, 1), "-");
    EXPECT_EQ(text(field(1, 1)), "-");
    EXPECT_EQ(map().numeratorIm[1], 5.0);
    // An invalid character typed inside the text cuts it there; the caret stays at the cut.
    type(field(2, 2), "-123");
    QLineEdit* edit = dialog_->coefficientField(field(2, 2));
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_X}) QTest::keyClick(edit, key);
    EXPECT_EQ(text(field(2, 2)), "-1");
    EXPECT_EQ(edit->cursorPosition(), 2);
    EXPECT_EQ(map().denominatorRe[2], -1.0);
    type(field(3, 3), "123456789012345678901234567890123456");  // at most 32 characters per field
    EXPECT_EQ(text(field(3, 3)).size(), 32u);

    type(field(0, 0), "-1");
    type(field(0, 1), "-1");
    dialog_->polarButton()->click();
    EXPECT_EQ(dialog_->columnCaption(1)->text() + dialog_->rowLabel(0)->text(), q("偏角０次"));  // captions only
    EXPECT_EQ(dialog_->frontEndBlock().displayForm, 1);
    EXPECT_EQ(text(field(0, 1)), "3.926990816987241");
    EXPECT_EQ(dialog_->coefficientField(field(0, 1))->cursorPosition(), 0);
    // Typing in polar form stores modulus times direction.
    type(field(2, 2), "2");
    type(field(2, 3), "1.047197551196598");  // pi / 3
    EXPECT_NEAR(map().denominatorRe[2], 1.0, 1e-15);
    EXPECT_NEAR(map().denominatorIm[2], std::sqrt(3.0), 1e-15);
    dialog_->cartesianButton()->click();
    EXPECT_EQ(text(field(2, 2)) + " " + text(field(2, 3)), g16(map().denominatorRe[2]) + " " + g16(map().denominatorIm[2]));
    EXPECT_EQ(text(field(0, 1)), "-1");
}

TEST_F(MainDialogTest, ExecuteMarksUnreadableFieldsUntilFocusedThenAnswersTheChecksInOrder) {
    type(field(1, 1), "");
    type(field(1, 2), "-");
    dialog_->executeButton()->click();
    for (int f = 0; f < 44; ++f) EXPECT_EQ(dialog_->isMarked(f), f == field(1, 1) || f == field(1, 2)) << f;
    EXPECT_EQ(dialog_->coefficientField(field(1, 1))->palette().color(QPalette::Base), QColor(Qt::red));
    QTest::mouseClick(dialog_->coefficientField(field(1, 1)), Qt::LeftButton);
    EXPECT_FALSE(dialog_->isMarked(field(1, 1)));
    EXPECT_NE(dialog_->coefficientField(field(1, 1))->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_TRUE(dialog_->isMarked(field(1, 2)));
    dialog_->polarButton()->click();  // switching forms leaves an empty field's content alone
    EXPECT_EQ(text(field(1, 1)), "");
    dialog_->cartesianButton()->click();

    dialog_->clearButton()->click();
    EXPECT_FALSE(dialog_->isMarked(field(1, 2)));
    dialog_->executeButton()->click();
    type(field(0, 2), "1");
    dialog_->executeButton()->click();
    type(field(1, 0), "1");  // P = z, Q = 1
    dialog_->executeButton()->click();
    EXPECT_EQ(boxes_.texts(), (std::vector<std::string>{"分母が０です。割り算ができません。",
                                                        "分子が０です。常に０の関数は扱えません。",
                                                        "分子の次数か分母の次数が２以上になるようにしてください。"}));
    EXPECT_EQ(offered_, 0);
    // P = z with Q = z^2 passes: the critical point choice is offered; closed
    // without a selection, it starts nothing and gives the controls back.
    type(field(2, 2), "1");
    type(field(0, 2), "0");
    dialog_->executeButton()->click();
    EXPECT_EQ(boxes_.entries().size(), 3u);
    EXPECT_EQ(offered_, 1);
    EXPECT_TRUE(waitCursor_ && !QApplication::overrideCursor());
    EXPECT_EQ(map().form, common::FORM_RATIONAL);
    EXPECT_EQ(dialog_->job().slotState(0), frontend::SlotState::Free);
    EXPECT_TRUE(dialog_->executeButton()->isEnabled() && dialog_->coefficientField(0)->isEnabled());
    EXPECT_TRUE(dialog_->settingsEditable());
}

TEST_F(MainDialogTest, SettingsLoadAtStartAndSaveAtQuit) {
    dialog_.reset();
    std::ofstream(settingsPath_) << "[Halvatrine]\nMAX_LOOP=20000\nSIEGELFLG=1\nCONV_EPS=0.001\nSIZEX=800\nSIZEY=abc\n";
    open();
    EXPECT_EQ(dialog_->settings(), (frontend::Settings{10000, 1, 0.001, 0.05, 0.01, 800, 600}));
    dialog_->settings().maxLoop = 123;
    dialog_->quitAction()->trigger();
    EXPECT_FALSE(dialog_->isVisible());
    const auto saved = platform::SettingsStore(settingsPath_).load();
    EXPECT_EQ(saved.at("MAX_LOOP"), "123");  // the written forms: the settings text test
    EXPECT_EQ(saved.at("SIZEX"), "800");
}

}  // namespace
