// The desktop application: every window of both programs in English under HALVATRINE_LANG=en and
// exactly as the code writes it under =ja, Qt's own dialogs following, the catalogue and help
// complete, and an installed tree whose front end starts the installed viewer.
#include <QAbstractButton>
#include <QFileDialog>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>

#include "common/ui_text.h"
#include "frontend/critical_point_dialog.h"
#include "frontend/sample_dialogs.h"
#include "frontend/settings_dialog.h"
#include "frontend_test_support.h"
#include "platform/help_window.h"
#include "platform/qt_message_boxes.h"
#include "platform/ui_language.h"
#include "viewer/colour/colour_dialog.h"
#include "viewer/colour/component_info_dialog.h"
#include "viewer/colour/component_select_dialog.h"
#include "viewer/colour/exception_colour_dialog.h"
#include "viewer/colour/orbit_dialog.h"
#include "viewer/colour/print_info_dialog.h"
#include "viewer/colour/save_formula_dialog.h"
#include "viewer/colour/unknown_colour_dialog.h"
#include "viewer/colour/viewer_dialogs.h"
#include "viewer/core/error_dialog.h"
#include "viewer/core/viewer_command_line.h"
#include "viewer_harness.h"

namespace {

const QRegularExpression JAPANESE(QStringLiteral("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
using Texts = std::vector<std::pair<std::string, QStringList>>;

// As the programs start; nullptr: Japanese without any catalogue, the texts as the code has them.
void useLanguage(const char* forced) {
    auto removeCatalogues = [] {
        for (QTranslator* t : qApp->findChildren<QTranslator*>()) std::unique_ptr<QTranslator>(t).reset();
        common::setTextTranslator(nullptr);
    };
    removeCatalogues();
    std::unique_ptr<QTextBrowser> help(platform::helpWindow());  // keeps the title it was made with
    ::setenv(platform::LANGUAGE_VARIABLE, forced != nullptr ? forced : "ja", 1);
    platform::setUpUiLanguage(*qApp);
    if (forced == nullptr) removeCatalogues();
}

// Every text a user can read: titles, labels, buttons, fields, lists, tips, menus.
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
    for (const QAction* a : root.findChildren<QAction*>()) texts << a->text() << a->statusTip();
    texts.removeAll(QString());
    return texts;
}

QStringList textsOfModal(const std::function<void()>& show) {
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        if (QWidget* box = QApplication::activeModalWidget()) texts = visibleTexts(*box), box->close();
    });
    show();
    return texts;
}

// The main dialog, a finished viewer frame and one window of every kind, in the language set up now.
Texts textsOfEveryWindow() {
    Texts out;
    auto add = [&out](const char* name, const QWidget& w) { out.emplace_back(name, visibleTexts(w)); };
    platform::RecordingMessageBoxes boxes;
    MainDialog::Options options{std::string(std::getenv("XDG_CONFIG_HOME")) + "/language.conf", {}, {}};
    add("main dialog", MainDialog(boxes, options));
    frontend::Settings settings;
    add("settings", SettingsDialog(settings, true));
    common::CriticalPointList points{};
    points.count = 1;
    add("critical points", CriticalPointDialog(points, boxes));
    add("sample load", SampleLoadDialog("SampleData.dat", boxes));
    viewer_test::ViewerHarness h({'J', 120, 80});
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
    add("save formula", SaveFormulaDialog(info.map, ".", boxes));
    add("start-up error", ErrorDialog(QString::fromStdString(viewer::mappedFileOpenMessage(1, "F"))));
    platform::showHelpContents();
    out.emplace_back("help", QStringList{platform::helpWindow()->windowTitle(), platform::helpWindow()->toPlainText()});
    platform::QtMessageBoxes messages;
    out.emplace_back("message", textsOfModal([&] { messages.showMessage(frontend::MSG_TOO_MANY_VIEWERS); }));
    return out;
}

struct Desktop : ::testing::Test {
    void TearDown() override { useLanguage(nullptr); }
};

// Japanese: exactly the code's texts; English: no Japanese left, and the viewers started inherit the choice.
TEST_F(Desktop, JapaneseWindowsShowTheSourceTextsAndEnglishOnesNoJapanese) {
    useLanguage(nullptr);
    const Texts source = textsOfEveryWindow();
    useLanguage("ja");
    EXPECT_EQ(textsOfEveryWindow(), source);
    for (const auto& [window, texts] : source) EXPECT_TRUE(texts.join(QString()).contains(JAPANESE)) << window;
    useLanguage("en");
    EXPECT_STREQ(std::getenv(platform::LANGUAGE_VARIABLE), "en");
    for (const auto& [window, texts] : textsOfEveryWindow()) {
        EXPECT_FALSE(texts.isEmpty()) << window;
        for (const QString& t : texts) EXPECT_FALSE(t.contains(JAPANESE)) << window << ": " << t.toStdString();
    }
}

TEST_F(Desktop, QtOwnDialogsAndTheChoiceFollowTheLanguage) {
    for (const char* language : {"ja", "en"}) {
        useLanguage(language);
        platform::QtMessageBoxes messages;
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        for (const QStringList& texts : {textsOfModal([&] { messages.askOkCancel("?"); }), visibleTexts(files)})
            EXPECT_EQ(texts.join(QString()).contains(JAPANESE), *language == 'j') << language;
    }
    const QLocale japan(QLocale::Japanese, QLocale::Japan), c = QLocale::c();
    using enum platform::UiLanguage;
    const std::tuple<const char*, QLocale, platform::UiLanguage> choices[] = {
        {nullptr, japan, Japanese}, {nullptr, c, English}, {"en", japan, English}, {"ja", c, Japanese}, {"fr", japan, Japanese}};
    for (const auto& [variable, locale, language] : choices)
        EXPECT_EQ(platform::chooseUiLanguage(variable, locale), language) << (variable ? variable : "unset");
}

// The catalogue refreshed from the code has no new or unfinished entry, every
// translation keeps its source's printf conversions, and both helps have the same topics.
TEST(Catalogue, EveryTextOfTheCodeIsTranslatedAndEveryHelpTopicAnswered) {
    QTemporaryDir dir;
    const QString ts = dir.filePath(QStringLiteral("en.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(HV_SOURCE_DIR "/translations/halvatrine_en.ts"), ts));
    ASSERT_EQ(std::system(("cd " HV_SOURCE_DIR " && " HV_LUPDATE " -silent -locations none -no-obsolete common frontend "
                           "platform viewer -ts " + ts.toStdString() + " >/dev/null 2>&1").c_str()), 0);
    auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    auto all = [](const char* pattern, const QString& text) {
        QStringList found;
        for (const auto& m : QRegularExpression(QString::fromLatin1(pattern)).globalMatch(text)) found << m.captured(1);
        return found;
    };
    const char* conversion = "(%[-0-9.]*(?:ll|l)?[dfgsx])";
    const auto messages =
        QRegularExpression(QStringLiteral("<source>([^<]*)</source>\\s*<translation>([^<]+)<")).globalMatch(read(ts));
    int translated = 0;
    for (const auto& m : messages) {
        ++translated;
        EXPECT_EQ(all(conversion, m.captured(1)), all(conversion, m.captured(2))) << m.captured(1).toStdString();
    }
    EXPECT_EQ(translated, read(ts).count(QStringLiteral("<source>")));
    EXPECT_GT(translated, 200);
    const char* anchor = "name=\"([^\"]+)\"";
    EXPECT_EQ(all(anchor, read(QStringLiteral(":/help/halvatrine_help_en.html"))),
              all(anchor, read(QStringLiteral(":/help/halvatrine_help.html"))));
}

TEST(InstalledTree, HasEveryFileAndItsFrontEndStartsItsViewer) {
    QTemporaryDir dir;
    const std::string prefix = dir.path().toStdString();
    ASSERT_EQ(std::system(("'" HV_CMAKE "' --install '" HV_BUILD_DIR "' --prefix " + prefix + " >/dev/null").c_str()),
              0);
    for (const char* file :
         {"bin/halvatrine", "bin/halvatrine-cli", "share/halvatrine/translations/halvatrine_en.qm",
          "share/halvatrine/samples/SampleData.dat", "share/icons/hicolor/scalable/apps/halvatrine.svg",
          "share/doc/halvatrine/halvatrine_help_en.html", "share/applications/halvatrine.desktop"})
        EXPECT_TRUE(std::filesystem::is_regular_file(prefix + "/" + file)) << file;
    EXPECT_EQ(std::system(("desktop-file-validate " + prefix + "/share/applications/halvatrine.desktop").c_str()), 0);
    platform::RecordingMessageBoxes boxes;
    MainDialog dialog(boxes,
                      {std::string(std::getenv("XDG_CONFIG_HOME")) + "/installed.conf", prefix + "/bin/torvel", {}});
    for (const auto& [field, text] : {std::pair{8, "1"}, std::pair{0, "-1"}}) dialog.coefficientField(field)->setText(text);
    dialog.juliaButton()->click();
    dialog.executeButton()->click();
    EXPECT_TRUE(frontend_test::waitUntil([&] { return frontend_test::blockHeader(dialog.job(), 0).viewerWindow != 0; }));
    boxes.scriptAnswers({true});
    dialog.closeAllButton()->click();
    EXPECT_TRUE(frontend_test::waitUntil([&] { return dialog.executeButton()->isEnabled(); }, viewer_test::WAIT_GUARD_MS));
}

}  // namespace
