// A MessageBoxes implementation for tests: records every text instead of
// showing it, and answers questions from a script (OK when the script is
// exhausted).
#pragma once

#include "platform/message_box.h"

#include <deque>
#include <string>
#include <vector>

namespace platform {

class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Entry {
        bool question = false;
        std::string text;
        std::string caption;
        MessageIcon icon = MessageIcon::Warning;
    };

    void showMessage(const std::string& text, const std::string& caption = {},
                     MessageIcon icon = MessageIcon::Warning) override;
    bool askOkCancel(const std::string& text, const std::string& caption = {}) override;

    // Answers for the next questions, in order (true = OK).
    void scriptAnswers(std::initializer_list<bool> answers) { answers_.insert(answers_.end(), answers); }

    const std::vector<Entry>& entries() const { return entries_; }
    // The texts only, in order.
    std::vector<std::string> texts() const;
    void clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
    std::deque<bool> answers_;
};

}  // namespace platform
