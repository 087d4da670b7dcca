#include "platform/recording_message_boxes.h"

namespace platform {

void RecordingMessageBoxes::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    entries_.push_back(Entry{false, text, caption, icon});
}

bool RecordingMessageBoxes::askOkCancel(const std::string& text, const std::string& caption) {
    entries_.push_back(Entry{true, text, caption, MessageIcon::Question});
    if (answers_.empty()) return true;
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> RecordingMessageBoxes::texts() const {
    std::vector<std::string> out;
    for (const Entry& e : entries_) out.push_back(e.text);
    return out;
}

}  // namespace platform
