// The settings file: whatever it holds, loading gives the settings within
// their ranges, and a save followed by a load gives back exactly the texts
// saved while every other key of the group keeps the value it loaded with.
// (The texts themselves may round a value: doubles are kept to 16 decimals.)
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frontend/settings.h"
#include "fuzz_check.h"
#include "platform/settings_store.h"

namespace {

constexpr std::size_t MAX_FILE_BYTES = 1 << 14;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_FILE_BYTES) return 0;
    const std::string path = fuzz::scratchDirectory() + "/Halvatrine.conf";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const platform::SettingsStore store(path);
    const std::map<std::string, std::string> before = store.load();
    const frontend::Settings settings = frontend::parseSettings([&](const char* name) -> std::optional<std::string> {
        const auto it = before.find(name);
        if (it == before.end()) return std::nullopt;
        return it->second;
    });
    FUZZ_CHECK(settings.maxLoop >= 0 && settings.maxLoop <= frontend::MAX_LOOP_LIMIT);
    FUZZ_CHECK(settings.sizeY >= frontend::PICTURE_SIZE_MIN && settings.sizeY <= frontend::PICTURE_SIZE_MAX);

    std::vector<std::pair<std::string, std::string>> values;
    for (const frontend::SettingText& t : frontend::formatSettings(settings)) values.emplace_back(t.name, t.text);
    FUZZ_CHECK(store.save(values));
    const std::map<std::string, std::string> after = store.load();
    for (const auto& [name, text] : values) {
        const auto it = after.find(name);
        FUZZ_CHECK(it != after.end() && it->second == text);
    }
    for (const auto& [name, text] : before) {
        bool ours = false;
        for (const auto& value : values) ours = ours || value.first == name;
        if (!ours) FUZZ_CHECK(after.count(name) == 1 && after.at(name) == text);
    }
    return 0;
}
