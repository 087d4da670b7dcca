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

TEST(HelpWindow, EveryFixedTopicHasAnAnchor) {
    for (int topic = 9009; topic <= 9032; ++topic) EXPECT_TRUE(platform::helpHasTopic(topic)) << topic;
    EXPECT_FALSE(platform::helpHasTopic(9999));
}

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

// Answers the next modal message box with the given button.
void answerNextBox(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) box->button(button)->click();
    });
}

TEST(QtMessageBoxes, QuestionsAnswerOkOrCancel) {
    platform::QtMessageBoxes boxes;
    answerNextBox(QMessageBox::Cancel);
    EXPECT_FALSE(boxes.askOkCancel("ウィンドウをすべて閉じますか"));
    answerNextBox(QMessageBox::Ok);
    EXPECT_TRUE(boxes.askOkCancel("ウィンドウをすべて閉じますか"));
    answerNextBox(QMessageBox::Ok);
    boxes.showMessage("画面数が多すぎます。どれかを閉じてから実行してください");  // returns once OK is pressed
}

TEST(SettingsStore, QSettingsReadsWhatTheStoreWrites) {
    char pattern[] = "/tmp/hv-qsettings-test-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string path = dir + "/Brackenholt/Halvatrine.conf";
    platform::SettingsStore store(path);
    ASSERT_TRUE(store.save({{"MAX_LOOP", "10000"}, {"CONV_EPS", "0.000001"}, {"SIZEY", "500"}}));
    {
        QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("Halvatrine"));
        EXPECT_EQ(settings.value(QStringLiteral("MAX_LOOP")).toString(), QStringLiteral("10000"));
        EXPECT_EQ(settings.value(QStringLiteral("CONV_EPS")).toString(), QStringLiteral("0.000001"));
        EXPECT_EQ(settings.value(QStringLiteral("SIZEY")).toString(), QStringLiteral("500"));
        settings.setValue(QStringLiteral("SIZEX"), QStringLiteral("640"));
    }
    EXPECT_EQ(store.value("SIZEX"), "640");  // and the other way round
    EXPECT_EQ(store.value("SIZEY"), "500");
    std::filesystem::remove_all(dir);
}

}  // namespace
