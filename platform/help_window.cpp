#include "platform/help_window.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/ui_language.h"

namespace platform {
namespace {

// One document per language, with the same topic anchors.
QString helpFile() {
    return uiLanguage() == UiLanguage::English ? QStringLiteral(":/help/halvatrine_help_en.html")
                                               : QStringLiteral(":/help/halvatrine_help.html");
}
constexpr int HELP_WIDTH = 640;
constexpr int HELP_HEIGHT = 520;

QPointer<QTextBrowser> g_window;

QTextBrowser* ensureWindow() {
    if (!g_window) {
        auto* browser = new QTextBrowser;  // deleted when the application quits
        browser->setAttribute(Qt::WA_DeleteOnClose, false);
        browser->setWindowTitle(uiText(QT_TRANSLATE_NOOP("Texts", "Halvatrine ヘルプ")));
        browser->setOpenExternalLinks(true);
        browser->resize(HELP_WIDTH, HELP_HEIGHT);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, browser, &QObject::deleteLater);
        g_window = browser;
    }
    return g_window;
}

void showAt(const QString& anchor) {
    QTextBrowser* browser = ensureWindow();
    QUrl url(QStringLiteral("qrc") + helpFile());
    if (browser->source().adjusted(QUrl::RemoveFragment) != url) browser->setSource(url);
    if (anchor.isEmpty())
        browser->scrollToAnchor(QStringLiteral("contents"));
    else
        browser->scrollToAnchor(anchor);
    browser->show();
    browser->raise();
    browser->activateWindow();
}

}  // namespace

QString helpTopicAnchor(int topic) { return QStringLiteral("topic%1").arg(topic); }

bool helpHasTopic(int topic) {
    QFile file(helpFile());
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString text = QString::fromUtf8(file.readAll());
    return text.contains(QStringLiteral("name=\"%1\"").arg(helpTopicAnchor(topic))) ||
           text.contains(QStringLiteral("id=\"%1\"").arg(helpTopicAnchor(topic)));
}

bool showHelpTopic(int topic) {
    const bool known = helpHasTopic(topic);
    showAt(known ? helpTopicAnchor(topic) : QString());
    return known;
}

void showHelpContents() { showAt(QString()); }

QTextBrowser* helpWindow() { return g_window; }

}  // namespace platform
