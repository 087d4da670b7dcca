#include "platform/leftover_cleanup.h"

#include "platform/message_port.h"
#include "platform/shared_memory.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::string_view FRONT_END_PREFIX = "FData";
constexpr std::string_view ANALYSIS_PREFIX = "PData";
constexpr std::size_t MAX_NUMBER_DIGITS = 10;  // a pid_t or a slot

// A number written as the programs write it ("%d"/"%u" of a non-negative value).
std::optional<long long> plainDecimal(std::string_view text) {
    if (text.empty() || text.size() > MAX_NUMBER_DIGITS || (text[0] == '0' && text.size() > 1)) return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The pid a process id field names, when it can be one.
std::optional<pid_t> pidOf(std::string_view text) {
    const auto value = plainDecimal(text);
    if (!value || *value <= 0 || *value > INT_MAX) return std::nullopt;
    return static_cast<pid_t>(*value);
}

// The creator's pid of a block name "FData<pid>" or "PData<slot>_<pid>".
std::optional<pid_t> blockOwner(std::string_view name) {
    if (name.substr(0, FRONT_END_PREFIX.size()) == FRONT_END_PREFIX) return pidOf(name.substr(FRONT_END_PREFIX.size()));
    if (name.substr(0, ANALYSIS_PREFIX.size()) != ANALYSIS_PREFIX) return std::nullopt;
    const std::string_view rest = name.substr(ANALYSIS_PREFIX.size());
    const auto underscore = rest.find('_');
    if (underscore == std::string_view::npos || !plainDecimal(rest.substr(0, underscore))) return std::nullopt;
    return pidOf(rest.substr(underscore + 1));
}

bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes the entries of directory whose name gives a dead pid and whose
// type and owner fit.
template <typename OwnerOf>
int removeWhere(const std::string& directory, OwnerOf ownerOf, mode_t type) {
    if (directory.empty()) return 0;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return 0;
    const int fd = ::dirfd(dir);
    const uid_t user = ::geteuid();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const auto pid = ownerOf(std::string_view(entry->d_name));
        if (!pid || !processGone(*pid)) continue;
        struct stat status {};
        if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if ((status.st_mode & S_IFMT) != type || status.st_uid != user) continue;
        if (::unlinkat(fd, entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace

LeftoverCount removeLeftoversOfDeadProcesses(const std::string& blockDirectory, const std::string& socketDirectory) {
    LeftoverCount count;
    count.blocks = removeWhere(blockDirectory, blockOwner, S_IFREG);
    count.sockets = removeWhere(socketDirectory, pidOf, S_IFSOCK);
    return count;
}

LeftoverCount removeLeftoversOfDeadProcesses() {
    return removeLeftoversOfDeadProcesses(SHARED_MEMORY_DIRECTORY, socketDirectory());
}

}  // namespace platform
