// The FORMULA argument every subcommand takes: collected from the command
// line and parsed, with the messages the subcommands share. Messages go to
// stderr and start with the subcommand's name ("analyse: ...").
#pragma once

#include <optional>
#include <string>

#include "common/block_layout.h"

namespace cli {

// Stores arg as the formula. False after a message when a formula was
// already given (an unquoted formula with blanks arrives in pieces).
bool takeFormulaArgument(const char* command, const std::string& arg, std::optional<std::string>& formula);

// The map written by formula, or nothing after the parser's message with a
// caret under the offending character.
std::optional<common::RationalMap> parseFormulaArgument(const char* command, const std::string& formula);

}  // namespace cli
