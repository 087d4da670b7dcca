// Removal of the process's named objects when it is ended by a signal.
//
// POSIX shared memory objects and socket files outlive the process that made
// them. Objects registered here are unlinked when the process receives
// SIGINT, SIGTERM or SIGHUP; the signal then takes its default action (the
// process ends). Normal ends remove the objects through their owners'
// destructors, which unregister them.
//
// Thread-safety: register/unregister may be called from any thread; the
// signal handler only reads the table and calls unlink(2).
#pragma once

#include <string>

namespace platform {

// Installs the signal handlers (once; later calls do nothing).
void installTerminationCleanup();

// Registers a file system path to unlink on termination (installing the
// handlers if that has not happened yet). Returns a token for
// unregisterCleanupPath, or -1 when the path is too long or the table full.
int registerCleanupPath(const std::string& path);

// Forgets a registration; -1 is ignored.
void unregisterCleanupPath(int token);

}  // namespace platform
