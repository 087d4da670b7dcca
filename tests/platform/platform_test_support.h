// Shared pieces of the platform tests: a private socket directory per test
// run, the path of the viewer stand-in, and waiting for messages.
#pragma once

#include "platform/message_port.h"

#include <optional>
#include <string>

namespace platform_test {

// Points XDG_RUNTIME_DIR at a fresh private directory (so the tests never
// touch the user's own) and returns it. Call before anything uses sockets.
std::string useFreshRuntimeDirectory();

// Removes the directory made by useFreshRuntimeDirectory (and its contents).
void removeRuntimeDirectory();

// Absolute path of the viewer stand-in program.
std::string standinPath();

// A block name that no other test run uses ("<prefix><pid>_<counter>").
std::string uniqueBlockName(const std::string& prefix);

// The next accepted message, waiting up to timeoutMs.
std::optional<platform::ReceivedMessage> receiveWithin(platform::MessageEndpoint& endpoint, int timeoutMs);

// Entries in a directory (without "." and ".."), -1 when it cannot be read.
int directoryEntryCount(const std::string& path);

// The "key=value" line of a stand-in report; empty when missing.
std::string reportValue(const std::string& reportPath, const std::string& key);

inline constexpr int MESSAGE_WAIT_MS = 20000;  // a guard against hanging, not a timing check

}  // namespace platform_test
