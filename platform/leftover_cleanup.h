// Removal, at a program's start, of what crashed processes of this user
// have left behind.
//
// A process ended by SIGKILL or a crash cannot remove its named objects:
// the front end's blocks "FData<pid>" and "PData<slot>_<pid>" (in
// /dev/shm) and any process's message socket <socketDirectory()>/<pid>.
// An object is removed only when all of these hold:
//  - its name has exactly one of those forms, numbers in plain decimal
//    (no sign, no leading zero), so another program's objects never match;
//  - it is a regular file (block) or a socket (endpoint), not a link, and
//    is owned by this user;
//  - no process with the pid of its name exists. A live process, of any
//    user, and a zombie (its parent reaps it and removes its socket) keep
//    their objects.
// The blocks of a dead front end may still be mapped by its viewers; their
// mappings stay valid, only the names go.
//
// Thread-safety: may run alongside other processes doing the same; each
// object is removed at most once.
#pragma once

#include <string>

namespace platform {

struct LeftoverCount {
    int blocks = 0;
    int sockets = 0;
};

// Looks in blockDirectory for blocks and in socketDirectory for sockets
// (an empty path skips that part). The defaults are the programs' own.
LeftoverCount removeLeftoversOfDeadProcesses();
LeftoverCount removeLeftoversOfDeadProcesses(const std::string& blockDirectory, const std::string& socketDirectory);

}  // namespace platform
