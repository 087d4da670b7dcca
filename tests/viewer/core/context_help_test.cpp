// Context help as a user meets it: Shift+F1, then a click that the window
// system delivers to the viewer's window, not to the control itself.
#include <QTextBlock>
#include <QTextBrowser>

#include "platform/help_window.h"
#include "viewer_harness.h"

using namespace viewer;
using namespace viewer_test;

namespace {

// The heading at the top of the help window: the topic the user is shown.
QString shownTopic() {
    QTextBrowser* help = platform::helpWindow();
    if (help == nullptr || !help->isVisible()) return {};
    return help->cursorForPosition(QPoint(4, 4)).block().text();
}

TEST(ContextHelp, ClickOnTheWindowOpensTheTopicOfTheControlUnderIt) {
    ViewerHarness h(PictureSetup{});
    h.open();
    const std::pair<int, const char*> cases[] = {
        {ID_NEXT_MAGNIFICATION, "次の倍率"},  // disabled until the picture is done
        {ID_LOOP_COUNT, "ループ回数"},
        {ID_CENTRE_RE, "中心"},  // always disabled
        {ID_DRAW_BUTTON, "描画ボタン"},
    };
    for (const auto& [id, heading] : cases) {
        auto* control = h.frame->findChild<QWidget*>(QStringLiteral("control%1").arg(id));
        ASSERT_NE(control, nullptr) << id;
        h.frame->action("contextHelp")->trigger();
        QTest::mouseClick(h.frame->windowHandle(), Qt::LeftButton, {},
                          control->mapTo(h.frame.get(), control->rect().center()));
        h.pump();
        EXPECT_EQ(shownTopic().toStdString(), heading) << id;
    }
    EXPECT_EQ(h.frame->state(), viewer::ViewerState::Ready) << "the help click does not press the button";
    EXPECT_TRUE(h.received.empty());
}

}  // namespace
