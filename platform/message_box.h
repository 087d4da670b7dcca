// Message boxes and questions, behind an interface so that window code can
// be driven by tests that record the texts instead of blocking on a modal box.
#pragma once

#include <string>

namespace platform {

enum class MessageIcon { Information, Warning, Error, Question };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message with an OK button. Texts are UTF-8.
    virtual void showMessage(const std::string& text, const std::string& caption = {},
                             MessageIcon icon = MessageIcon::Warning) = 0;
    // Asks an OK/Cancel question with the question icon; true for OK.
    virtual bool askOkCancel(const std::string& text, const std::string& caption = {}) = 0;
};

}  // namespace platform
