// Starting, waiting for and reaping child processes (the viewers).
//
// startProcess runs a program by absolute path with posix_spawn: the
// arguments as given (argv[0] is the program's file name), the working
// directory set, stdin/stdout/stderr inherited and every other descriptor
// closed in the child. Failures of the start itself (no such program, no
// such directory) are reported, not hidden in a child that exits at once.
//
// A started child must be reaped: waitForExit, reapIfExited or reapChild, or a
// ChildWatcher (child_watcher.h, Qt) that does it when the child ends.
//
// Thread-safety: all functions may be called from any thread; a given pid
// should be waited for by one party only (a second waiter sees it as ended).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The pid of the started process, or nullopt with *error = errno value.
std::optional<pid_t> startProcess(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::string& workingDirectory, int* error = nullptr);

enum class ReapResult {
    Running,   // the child has not ended
    Reaped,    // it had ended and is reaped now
    NotAChild, // not (or no longer) a child of this process
};

// Reaps the child if it has ended; never waits. The message socket of an
// ended child, which it could not remove when it was killed, is removed
// first, while the ended child still holds its pid, so that no new process
// of that pid can have bound it in the meantime.
ReapResult reapChild(pid_t pid, int* status = nullptr);

// Waits up to timeoutMs (0: just look, -1: no limit) for the child to end
// and reaps it. True when it has ended (also when it was reaped elsewhere);
// *status receives the waitpid status when this call reaped it.
bool waitForExit(pid_t pid, int timeoutMs, int* status = nullptr);

// Reaps the child if it has ended; never waits.
inline bool reapIfExited(pid_t pid, int* status = nullptr) { return waitForExit(pid, 0, status); }

// A descriptor that becomes readable when the child ends (pidfd), or -1 when
// the system has none. The caller closes it.
int openExitDescriptor(pid_t pid);

// Directory of the running executable (for starting its sibling program).
std::string executableDirectory();

}  // namespace platform
