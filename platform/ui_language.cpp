#include "platform/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/ui_text.h"

namespace platform {
namespace {

constexpr const char* APP_CATALOGUE_ENGLISH = "halvatrine_en";
constexpr const char* QT_CATALOGUE_JAPANESE = "qtbase_ja";
// From the program's directory (bin) to the catalogues.
constexpr const char* TRANSLATIONS_FROM_BIN = "/../share/halvatrine/translations";

std::atomic<UiLanguage> g_language{UiLanguage::Japanese};

std::string translateWithQt(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

// Installs one catalogue owned by app; a catalogue that cannot be loaded
// leaves the source texts (Japanese) or Qt's own (English) in place.
void installCatalogue(QCoreApplication& app, const QString& name, const QString& directory) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, directory)) return;
    translator->setParent(&app);
    QCoreApplication::installTranslator(translator.release());
}

}  // namespace

UiLanguage chooseUiLanguage(const char* forced, const QLocale& system) {
    if (forced != nullptr && std::strcmp(forced, "ja") == 0) return UiLanguage::Japanese;
    if (forced != nullptr && std::strcmp(forced, "en") == 0) return UiLanguage::English;
    return system.language() == QLocale::Japanese ? UiLanguage::Japanese : UiLanguage::English;
}

QString translationsDirectory() {
    return QCoreApplication::applicationDirPath() + QLatin1String(TRANSLATIONS_FROM_BIN);
}

UiLanguage setUpUiLanguage(QCoreApplication& app) {
    const UiLanguage language = chooseUiLanguage(std::getenv(LANGUAGE_VARIABLE), QLocale::system());
    g_language = language;
    if (language == UiLanguage::English) {
        installCatalogue(app, QLatin1String(APP_CATALOGUE_ENGLISH), translationsDirectory());
    } else {
        installCatalogue(app, QLatin1String(QT_CATALOGUE_JAPANESE), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    common::setTextTranslator(&translateWithQt);
    setenv(LANGUAGE_VARIABLE, language == UiLanguage::English ? "en" : "ja", 1);
    return language;
}

UiLanguage uiLanguage() { return g_language; }

QString uiText(const char* source) { return QCoreApplication::translate(common::TEXT_CONTEXT, source); }

}  // namespace platform
