#include "platform/settings_store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr mode_t CONFIG_DIRECTORY_MODE = 0700;

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::string unquote(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

// Creates every missing directory of path (like mkdir -p).
bool makeDirectories(const std::string& path) {
    if (path.empty()) return false;
    std::string partial;
    std::stringstream parts(path);
    std::string part;
    if (path[0] == '/') partial = "/";
    while (std::getline(parts, part, '/')) {
        if (part.empty()) continue;
        partial += part;
        if (::mkdir(partial.c_str(), CONFIG_DIRECTORY_MODE) != 0 && errno != EEXIST) return false;
        partial += '/';
    }
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isGroupLine(const std::string& line, std::string* name) {
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    if (name) *name = t.substr(1, t.size() - 2);
    return true;
}

bool splitKeyValue(const std::string& line, std::string& key, std::string& value) {
    const std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') return false;
    const auto eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = trim(t.substr(0, eq));
    value = unquote(trim(t.substr(eq + 1)));
    return !key.empty();
}

}  // namespace

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

std::string SettingsStore::defaultPath() {
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home && home[0]) {
        base = std::string(home) + "/.config";
    } else {
        base = ".config";
    }
    return base + "/Brackenholt/Halvatrine.conf";
}

std::map<std::string, std::string> SettingsStore::load() const {
    std::map<std::string, std::string> values;
    std::ifstream in(path_);
    if (!in) return values;
    std::string line, group;
    while (std::getline(in, line)) {
        std::string name;
        if (isGroupLine(line, &name)) {
            group = name;
            continue;
        }
        std::string key, value;
        if (group == SETTINGS_GROUP && splitKeyValue(line, key, value)) values[key] = value;
    }
    return values;
}

std::optional<std::string> SettingsStore::value(const std::string& name) const {
    const auto values = load();
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool SettingsStore::save(const std::vector<std::pair<std::string, std::string>>& values) const {
    // The file as sections of lines; lines before the first group form a
    // section without a name. Everything that is not one of our values is kept.
    struct Section {
        std::string name;
        std::vector<std::string> lines;
    };
    std::vector<Section> sections(1);
    {
        std::ifstream in(path_);
        std::string line;
        while (in && std::getline(in, line)) {
            std::string name;
            if (isGroupLine(line, &name))
                sections.push_back(Section{name, {}});
            else
                sections.back().lines.push_back(line);
        }
    }
    // Loading reads every copy of the group (the last value of a key wins),
    // so a hand-edited or merged file with the group twice is saved as one
    // group: the later copies' lines join the first, in their order.
    std::vector<std::string> laterCopies;
    bool seen = false;
    for (auto it = sections.begin(); it != sections.end();) {
        if (it->name != SETTINGS_GROUP) {
            ++it;
        } else if (!seen) {
            seen = true;
            ++it;
        } else {
            laterCopies.insert(laterCopies.end(), it->lines.begin(), it->lines.end());
            it = sections.erase(it);
        }
    }
    Section* ours = nullptr;
    for (Section& section : sections)
        if (section.name == SETTINGS_GROUP && !ours) ours = &section;
    if (ours) ours->lines.insert(ours->lines.end(), laterCopies.begin(), laterCopies.end());
    if (!ours) {
        if (!sections.back().lines.empty() && !trim(sections.back().lines.back()).empty())
            sections.back().lines.push_back("");
        sections.push_back(Section{SETTINGS_GROUP, {}});
        ours = &sections.back();
    }
    std::vector<std::string> kept;
    for (const std::string& line : ours->lines) {
        std::string key, value;
        bool replaced = false;
        if (splitKeyValue(line, key, value))
            for (const auto& entry : values)
                if (entry.first == key) replaced = true;
        if (!replaced) kept.push_back(line);
    }
    ours->lines.clear();
    for (const auto& [key, value] : values) ours->lines.push_back(key + "=" + value);
    ours->lines.insert(ours->lines.end(), kept.begin(), kept.end());

    const auto slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(path_.substr(0, slash))) return false;

    const std::string temporary = path_ + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return false;
        for (const Section& section : sections) {
            if (!section.name.empty() || &section != &sections.front()) out << '[' << section.name << "]\n";
            for (const std::string& line : section.lines) out << line << '\n';
        }
        out.flush();
        if (!out) {
            out.close();
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
