// Context help of the parameter bar: which help topic a control opens.
//
// A control's help context is the command help base (65536) plus its id;
// only the contexts listed in the table map to a topic, anything else opens
// none. The help contents (F1, "ﾄﾋﾟｯｸの検索(&H)") do not pass through here.
#pragma once

#include <optional>

namespace viewer {

inline constexpr int HELP_CONTEXT_BASE = 65536;

inline constexpr int helpContextOfControl(int controlId) { return HELP_CONTEXT_BASE + controlId; }

// The topic number for a help context, nullopt when it has none.
std::optional<int> helpTopicForContext(int helpContext);

}  // namespace viewer
