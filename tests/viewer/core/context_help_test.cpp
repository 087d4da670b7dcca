// Context help as a user meets it: Shift+F1, then a click that the window
// system hands to the viewer's window, not to the control itself.
#include <QTextBlock>
#include <QTextBrowser>

#include "platform/help_window.h"
#include "viewer_harness.h"

using namespace viewer;
using namespace viewer_test;

TEST(ContextHelp, ClickOnTheWindowOpensTheTopicOfTheControlUnderIt) {
    // The identity map runs every pixel the whole loop count: the render lasts while the background box is clicked.
    ViewerHarness h(PictureSetup{.loopCount = 1000000, .magnification = 1.0});
    h.block.setMap(common::FORM_POLYNOMIAL, {{0, 0}, {1, 0}});
    h.open();
    auto click = [&](int id) {
        QWidget* control = h.frame->findChild<QWidget*>(QStringLiteral("control%1").arg(id));
        QTest::mouseClick(h.frame->windowHandle(), Qt::LeftButton, {}, control->mapTo(h.frame.get(), QPoint(5, 5)));
        h.pump();
    };
    auto expectTopics = [&](const std::vector<std::pair<int, const char*>>& cases) {
        for (const auto& [id, heading] : cases) {
            h.frame->action("contextHelp")->trigger();
            click(id);
            QTextBrowser* help = platform::helpWindow();
            ASSERT_TRUE(help != nullptr && help->isVisible()) << id;
            // The heading at the top of the help window is the topic shown.
            EXPECT_EQ(help->cursorForPosition(QPoint(4, 4)).block().text().toStdString(), heading) << id;
        }
    };
    // Next magnification is disabled until the picture is done, the centre always.
    expectTopics({{ID_NEXT_MAGNIFICATION, "次の倍率"}, {ID_LOOP_COUNT, "ループ回数"}, {ID_CENTRE_RE, "中心"},
                  {ID_DRAW_BUTTON, "描画ボタン"}, {ID_PICTURE_WIDTH, "画面サイズ"}, {ID_PICTURE_HEIGHT, "画面サイズ"},
                  {ID_CENTRE_IM, "中心"}, {ID_CONVERGENCE_RADIUS, "収束半径"}, {ID_CURRENT_MAGNIFICATION, "現在の倍率"}});
    EXPECT_EQ(h.frame->state(), ViewerState::Ready) << "the help click does not press the button";
    h.frame->action("contextHelp")->trigger();
    QTest::keyClick(h.frame->windowHandle(), Qt::Key_Escape);
    click(ID_DRAW_BUTTON);
    ASSERT_EQ(h.frame->state(), ViewerState::Drawing) << "after Escape a click works again";
    expectTopics({{ID_BACKGROUND, "バックグラウンド"}});
    click(ID_DRAW_BUTTON);  // stopped: the readouts are shown
    ASSERT_EQ(h.frame->state(), ViewerState::Done);
    expectTopics({{ID_MOUSE_POSITION, "表示欄"}, {ID_MOUSE_POSITION_LABEL, "表示欄"}, {ID_POINT_INFO, "表示欄"}});
}
