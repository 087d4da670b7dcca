// Interface texts in the user's language, for code without Qt.
//
// Japanese is the source language: every text is written in Japanese in the
// code and marked for the translation tools, either where it is shown
// (translate("Texts", "…")) or where it is defined (QT_TRANSLATE_NOOP("Texts",
// "…"), shown later through translate()). The windowed programs install a
// translator at start-up; without one (the command-line tool, which scripts
// read, and the tests) every text stays exactly as written.
//
// Thread-safety: the translator is installed once before other threads start;
// translate() may then be called from any thread the translator allows.
#pragma once

#include <cstdio>
#include <string>

// The translation tools find texts by this macro's name; the value is the text
// itself (the same definition as Qt's, so either may come first).
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace common {

// The context of every text that is not a window class's own.
inline constexpr const char* TEXT_CONTEXT = "Texts";

using TextTranslator = std::string (*)(const char* context, const char* source);

// Installs (or with nullptr removes) the process's translator.
void setTextTranslator(TextTranslator translator);

// source in the interface's language; source itself without a translator.
std::string translate(const char* context, const char* source);

// A printf format of the "Texts" context, translated, then filled with args
// (ints, doubles, C strings). The catalogue keeps every translation's
// conversions those of its source, in the same order.
template <typename... Args>
std::string formatText(const char* format, Args... args) {
    const std::string translated = translate(TEXT_CONTEXT, format);
    const int length = std::snprintf(nullptr, 0, translated.c_str(), args...);
    if (length < 0) return translated;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), translated.c_str(), args...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace common
