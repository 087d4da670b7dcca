// The interface language: every window of both programs, built under
// HALVATRINE_LANG=en, shows no Japanese; built under =ja it shows exactly
// the texts it shows with no catalogue at all; Qt's own dialogs follow the
// language; the choice reaches the viewers through the environment; the
// catalogue is complete and up to date with the code.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/ui_text.h"
#include "frontend/critical_point_dialog.h"
#include "frontend/job_control.h"
#include "frontend/main_dialog.h"
#include "frontend/sample_dialogs.h"
#include "frontend/settings_dialog.h"
#include "frontend/version_dialog.h"
#include "platform/help_window.h"
#include "platform/process.h"
#include "platform/qt_message_boxes.h"
#include "platform/recording_message_boxes.h"
#include "platform/ui_language.h"
#include "viewer/colour/colour_dialog.h"
#include "viewer/colour/component_info_dialog.h"
#include "viewer/colour/component_select_dialog.h"
#include "viewer/colour/exception_colour_dialog.h"
#include "viewer/colour/formula_dialog.h"
#include "viewer/colour/orbit_dialog.h"
#include "viewer/colour/print_info_dialog.h"
#include "viewer/colour/save_formula_dialog.h"
#include "viewer/colour/unknown_colour_dialog.h"
#include "viewer/colour/viewer_dialogs.h"
#include "viewer/core/about_box.h"
#include "viewer/core/error_dialog.h"
#include "viewer/core/viewer_command_line.h"
#include "viewer_harness.h"

namespace {

using platform::UiLanguage;

// Hiragana, katakana, CJK ideographs, full-width forms and half-width katakana.
const QRegularExpression JAPANESE(QStringLiteral("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

void removeCatalogues() {
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        std::unique_ptr<QTranslator> owned(t);
    }
    common::setTextTranslator(nullptr);
}

// Sets HALVATRINE_LANG and sets the language up as the programs do; nullptr:
// Japanese without any catalogue, the texts exactly as the code has them.
void useLanguage(const char* forced) {
    removeCatalogues();
    // The help window keeps the title it was made with.
    std::unique_ptr<QTextBrowser> help(platform::helpWindow());
    ::setenv(platform::LANGUAGE_VARIABLE, forced != nullptr ? forced : "ja", 1);
    platform::setUpUiLanguage(*qApp);
    if (forced == nullptr) removeCatalogues();
}

// Every text a user can read in a window: title, labels, buttons, group
// titles, field and list contents, tips, menu entries.
QStringList visibleTexts(const QWidget& root) {
    QStringList texts{root.windowTitle()};
    for (const QWidget* w : root.findChildren<QWidget*>()) {
        if (auto* l = qobject_cast<const QLabel*>(w)) texts << l->text();
        if (auto* b = qobject_cast<const QAbstractButton*>(w)) texts << b->text();
        if (auto* g = qobject_cast<const QGroupBox*>(w)) texts << g->title();
        if (auto* e = qobject_cast<const QLineEdit*>(w)) texts << e->text();
        if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) texts << p->toPlainText();
        if (auto* list = qobject_cast<const QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        texts << w->toolTip() << w->statusTip();
    }
    for (const QAction* a : root.findChildren<QAction*>()) texts << a->text() << a->statusTip() << a->toolTip();
    texts.removeAll(QString());
    return texts;
}

// The texts of a modal box that show() opens, read while it is open.
QStringList textsOfModal(const std::function<void()>& show) {
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        texts = visibleTexts(*box);
        box->close();
    });
    show();
    return texts;
}

using WindowTexts = std::vector<std::pair<std::string, QStringList>>;

common::RationalMap zSquaredMinusOne() {
    common::RationalMap map{};
    map.form = common::FORM_POLYNOMIAL;
    map.numeratorDegree = 2;
    map.numeratorRe[2] = 1;
    map.numeratorRe[0] = -1;
    map.denominatorRe[0] = 1;
    return map;
}

// Builds the main dialog, a finished viewer frame and one window of every
// kind both programs open, in the language set up now, and reads them.
WindowTexts textsOfEveryWindow() {
    WindowTexts out;
    auto add = [&out](const std::string& name, const QWidget& w) { out.emplace_back(name, visibleTexts(w)); };
    platform::RecordingMessageBoxes boxes;

    MainDialog::Options options;
    options.settingsPath = std::string(std::getenv("XDG_CONFIG_HOME")) + "/language.conf";
    add("main dialog", MainDialog(boxes, options));
    frontend::Settings settings;
    add("settings", SettingsDialog(settings, true));
    common::CriticalPointList points{};
    points.count = 1;
    add("critical points", CriticalPointDialog(points, boxes));
    add("sample load", SampleLoadDialog("SampleData.dat", boxes));
    add("sample save", SampleSaveDialog("SampleData.dat", "x", zSquaredMinusOne(), boxes));
    add("sample delete", SampleDeleteDialog("SampleData.dat", boxes));
    add("version", VersionDialog());

    viewer_test::PictureSetup setup;
    setup.width = 120;
    setup.height = 80;
    viewer_test::ViewerHarness h(setup);
    CMainFrame& frame = h.open();
    EXPECT_TRUE(h.drawToDone());
    add("viewer frame", frame);
    const ColourContext context = colourContextOf(frame);
    const colour::PictureInfo info = pictureInfoOf(frame);
    add("colour", ColourDialog(*context.table, 0, boxes, [] {}));
    common::ComponentColour record = context.table->records[0];
    add("exception colours", ExceptionColourDialog(record, boxes));
    std::int32_t unknown = 0;
    add("unknown colour", UnknownColourDialog(unknown, [] {}));
    add("component select", ComponentSelectDialog(context));
    add("orbits", OrbitDialog(info, boxes));
    colour::PrintOptions printOptions;
    add("print information", PrintInfoDialog(printOptions, true));
    add("components", ComponentInfoDialog(info));
    add("formula", FormulaDialog(info.map));
    add("save formula", SaveFormulaDialog(info.map, ".", boxes));
    add("about", AboutBox());
    add("start-up error", ErrorDialog(QString::fromStdString(viewer::mappedFileOpenMessage(1, "FData1"))));

    platform::showHelpContents();
    out.emplace_back("help", QStringList{platform::helpWindow()->windowTitle(),
                                         platform::helpWindow()->toPlainText()});
    platform::helpWindow()->close();
    platform::QtMessageBoxes messages;
    out.emplace_back("message", textsOfModal([&] { messages.showMessage(frontend::MSG_TOO_MANY_VIEWERS); }));
    return out;
}

class Language : public ::testing::Test {
protected:
    void TearDown() override { useLanguage(nullptr); }
};

TEST_F(Language, EnglishWindowsShowNoJapanese) {
    useLanguage("en");
    for (const auto& [window, texts] : textsOfEveryWindow()) {
        EXPECT_FALSE(texts.isEmpty()) << window;
        for (const QString& text : texts) EXPECT_FALSE(text.contains(JAPANESE)) << window << ": " << text.toStdString();
    }
}

TEST_F(Language, JapaneseWindowsShowTheSourceTextsExactly) {
    useLanguage(nullptr);
    const WindowTexts source = textsOfEveryWindow();
    useLanguage("ja");
    const WindowTexts japanese = textsOfEveryWindow();
    ASSERT_EQ(source.size(), japanese.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        EXPECT_TRUE(source[i].second.join(QString()).contains(JAPANESE)) << source[i].first;
        EXPECT_EQ(source[i].second, japanese[i].second) << source[i].first;
    }
}

// Qt's own chrome: Japanese under ja (qtbase_ja), English under en.
TEST_F(Language, QtOwnDialogsFollowTheLanguage) {
    const std::vector<std::pair<std::string, std::function<QStringList()>>> qtWindows = {
        {"message box", [] {
             platform::QtMessageBoxes messages;
             return textsOfModal([&] { messages.askOkCancel("?"); });
         }},
        {"file dialog", [] {
             QFileDialog dialog;
             dialog.setOption(QFileDialog::DontUseNativeDialog);
             return visibleTexts(dialog);
         }},
        {"print preview", [] {
             QPrintPreviewDialog dialog;
             return visibleTexts(dialog);
         }},
    };
    for (const char* language : {"ja", "en"}) {
        useLanguage(language);
        for (const auto& [window, texts] : qtWindows)
            EXPECT_EQ(texts().join(QChar('\n')).contains(JAPANESE), language == std::string("ja"))
                << language << " " << window;
    }
}

TEST_F(Language, ChoiceFollowsTheVariableThenTheLocale) {
    const QLocale japan(QLocale::Japanese, QLocale::Japan);
    const QLocale britain(QLocale::English, QLocale::UnitedKingdom);
    const struct {
        const char* forced;
        QLocale system;
        UiLanguage expected;
    } cases[] = {
        {nullptr, japan, UiLanguage::Japanese}, {nullptr, britain, UiLanguage::English},
        {nullptr, QLocale::c(), UiLanguage::English}, {"en", japan, UiLanguage::English},
        {"ja", britain, UiLanguage::Japanese}, {"fr", japan, UiLanguage::Japanese},
        {"", britain, UiLanguage::English},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::chooseUiLanguage(c.forced, c.system), c.expected) << (c.forced ? c.forced : "(unset)");
}

// The viewers are started by the front end; they inherit its choice.
TEST_F(Language, StartedProgramsInheritTheChoice) {
    for (const char* language : {"en", "ja"}) {
        useLanguage(language);
        QTemporaryDir dir;
        const std::string out = dir.filePath(QStringLiteral("lang")).toStdString();
        const auto pid = platform::startProcess("/bin/sh", {"-c", "printf %s \"$HALVATRINE_LANG\" > " + out}, ".");
        ASSERT_TRUE(pid.has_value());
        ASSERT_TRUE(platform::waitForExit(*pid, 20000));
        std::ifstream file(out);
        std::string seen;
        file >> seen;
        EXPECT_EQ(seen, language);
    }
}

// Refreshes a copy of the catalogue from the code: no text may be new or
// untranslated, and every translation keeps its source's printf conversions.
TEST(Catalogue, EveryTextOfTheCodeIsTranslated) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("halvatrine_en.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(HV_SOURCE_DIR "/translations/halvatrine_en.ts"), copy));
    const std::string command = std::string("cd " HV_SOURCE_DIR " && " HV_LUPDATE
                                            " -silent -locations none -no-obsolete -source-language ja"
                                            " -target-language en common frontend platform viewer -ts ") +
                                copy.toStdString() + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString ts = QString::fromUtf8(file.readAll());
    const QRegularExpression message(QStringLiteral("<source>([^<]*)</source>\\s*<translation([^>]*)>([^<]*)<"));
    const QRegularExpression conversion(QStringLiteral("%[-+ 0#]*[0-9]*(?:\\.[0-9]+)?(?:ll|l|h)?[diouxXeEfgGcs%]"));
    auto conversions = [&](const QString& text) {
        QStringList found;
        for (const auto& m : conversion.globalMatch(text)) found << m.captured();
        return found;
    };
    int messages = 0;
    for (const auto& m : message.globalMatch(ts)) {
        ++messages;
        EXPECT_FALSE(m.captured(2).contains(QStringLiteral("unfinished"))) << m.captured(1).toStdString();
        EXPECT_FALSE(m.captured(3).isEmpty()) << m.captured(1).toStdString();
        EXPECT_EQ(conversions(m.captured(1)), conversions(m.captured(3))) << m.captured(1).toStdString();
    }
    EXPECT_GT(messages, 200);
}

// Both help documents answer the same topics.
TEST(HelpDocuments, EnglishHasEveryTopicOfTheJapanese) {
    auto anchors = [](const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        QStringList found;
        for (const auto& m : QRegularExpression(QStringLiteral("(?:name|id)=\"([^\"]+)\""))
                                 .globalMatch(QString::fromUtf8(file.readAll())))
            found << m.captured(1);
        found.sort();
        return found;
    };
    const QStringList japanese = anchors(QStringLiteral(":/help/halvatrine_help.html"));
    EXPECT_GT(japanese.size(), 20);
    EXPECT_EQ(anchors(QStringLiteral(":/help/halvatrine_help_en.html")), japanese);
}

}  // namespace
