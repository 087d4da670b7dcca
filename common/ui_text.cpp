#include "common/ui_text.h"

#include <atomic>

namespace common {
namespace {

std::atomic<TextTranslator> g_translator{nullptr};

}  // namespace

void setTextTranslator(TextTranslator translator) { g_translator.store(translator); }

std::string translate(const char* context, const char* source) {
    const TextTranslator translator = g_translator.load();
    return translator ? translator(context, source) : std::string(source);
}

}  // namespace common
