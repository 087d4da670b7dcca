// Help window, message boxes and the settings file as Qt reads it.
#include "platform/help_window.h"
#include "platform/qt_message_boxes.h"
#include "platform/recording_message_boxes.h"
#include "platform/settings_store.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
