// The language of both programs' windows: Japanese (the source texts) or
// English (the translation catalogue halvatrine_en.qm).
//
// HALVATRINE_LANG=ja or =en forces a language; otherwise Japanese is chosen
// for a Japanese system locale and English for every other. The front end
// sets HALVATRINE_LANG for the viewers it starts, so they follow its choice.
// Qt's own dialogs (file, print, standard buttons) follow too: Qt's Japanese
// catalogue qtbase_ja is loaded for Japanese.
//
// Thread-safety: set up once on the GUI thread before other threads start.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace platform {

enum class UiLanguage { Japanese, English };

inline constexpr const char* LANGUAGE_VARIABLE = "HALVATRINE_LANG";

// forced: the value of HALVATRINE_LANG (nullptr when unset); anything but
// "ja" or "en" falls back to the system locale.
UiLanguage chooseUiLanguage(const char* forced, const QLocale& system);

// Where the catalogues lie: share/halvatrine/translations beside the
// program's bin directory (the build tree and an installed tree alike).
QString translationsDirectory();

// Chooses the language from the environment and the system locale, installs
// the catalogues into app and the translator of the texts made without Qt,
// and exports the choice in HALVATRINE_LANG. Returns the language chosen.
UiLanguage setUpUiLanguage(QCoreApplication& app);

// The language set up last (Japanese before any set-up).
UiLanguage uiLanguage();

// A text marked with QT_TRANSLATE_NOOP("Texts", …), in the interface's language.
QString uiText(const char* source);

}  // namespace platform
