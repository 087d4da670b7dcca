// The help window.
#include "platform/help_window.h"

#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

TEST(HelpWindow, OpensAtTheTopicAndFallsBackToTheContents) {
    EXPECT_TRUE(platform::showHelpTopic(9022));
    QTextBrowser* browser = platform::helpWindow();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_EQ(browser->source().adjusted(QUrl::RemoveFragment), QUrl(QStringLiteral("qrc:/help/halvatrine_help.html")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("コンポネント")));
    EXPECT_FALSE(platform::showHelpTopic(12345));
    EXPECT_EQ(platform::helpWindow(), browser);  // one window, reused
    browser->close();
}

}  // namespace
