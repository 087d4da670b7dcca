// Storage of the front end's seven settings as strings in an INI file,
// group [Halvatrine], one "NAME=value" line each (the layout QSettings'
// IniFormat reads and writes).
//
// The default file is $XDG_CONFIG_HOME/Brackenholt/Halvatrine.conf, with
// $HOME/.config in place of an unset XDG_CONFIG_HOME. The store only moves
// strings: parsing, ranges and defaults belong to the settings themselves.
// Loading never creates anything; the file (and its directory) is created on
// the first save. A group written more than once is read as one (a later
// value of a key wins) and saved as one, its first copy taking the lines of
// the others. Saving keeps the file's other groups and keys, and
// replaces the file atomically (a temporary file renamed over it), so a
// failed save leaves the old file intact.
//
// Thread-safety: a store object holds only its path; concurrent saves to one
// file from several processes end with one of them in place.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

inline constexpr const char* SETTINGS_GROUP = "Halvatrine";

// The registry value names, in load and save order.
inline constexpr const char* SETTING_NAMES[] = {"MAX_LOOP",  "SIEGELFLG", "CONV_EPS", "CONT_EPS",
                                                "INOUT_EPS", "SIZEX",     "SIZEY"};

class SettingsStore {
public:
    explicit SettingsStore(std::string path = defaultPath());

    static std::string defaultPath();
    const std::string& path() const { return path_; }

    // The values of the group; empty when the file is missing or unreadable.
    std::map<std::string, std::string> load() const;
    std::optional<std::string> value(const std::string& name) const;

    // Writes the values into the group, in the given order. False on failure
    // (nothing is reported to the user; callers ignore it).
    bool save(const std::vector<std::pair<std::string, std::string>>& values) const;

private:
    std::string path_;
};

}  // namespace platform
