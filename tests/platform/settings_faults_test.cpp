// The settings file written twice into one group (by hand or a merge), and a
// disk that fills up while saving: loading and saving agree, and a failed
// save keeps the old file.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fault_support.h"

namespace {

namespace fs = std::filesystem;

struct Scratch {
    char pattern[32] = "/tmp/hv-settings-faults-XXXXXX";
    fs::path path = fs::path(::mkdtemp(pattern)) / "Halvatrine.conf";
    ~Scratch() { fs::remove_all(path.parent_path()); }
};

TEST(SettingsFaults, AGroupWrittenTwiceIsSavedAsOneThatLoadsAsSaved) {
    // The file, and a key of the group that is not saved with its value.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"[Halvatrine]\n[Halvatrine]\nMAX_LOOP=\n", "MAX_LOOP", "1234"},
        {"[Halvatrine]\nMAX_LOOP=5\nK=a\n[General]\nx=1\n[Halvatrine]\nMAX_LOOP=7\nK=b\n", "K", "b"},
        {"[Halvatrine]\nE=1\n[Other]\n[Halvatrine]\nSIZEX=3\n[Halvatrine]\nMAX_LOOP=9\n", "E", "1"},
    };
    for (const auto& [file, otherKey, otherValue] : cases) {
        SCOPED_TRACE(file);
        Scratch scratch;
        std::ofstream(scratch.path) << file;
        const platform::SettingsStore store(scratch.path.string());
        ASSERT_TRUE(store.save({{"MAX_LOOP", "1234"}, {"SIZEX", "800"}}));
        const auto loaded = store.load();
        EXPECT_EQ(loaded.at("MAX_LOOP"), "1234");
        EXPECT_EQ(loaded.at("SIZEX"), "800");
        EXPECT_EQ(loaded.at(otherKey), otherValue);
        const std::string saved = platform_test::fileBytes(scratch.path);
        EXPECT_EQ(saved.find("[Halvatrine]"), saved.rfind("[Halvatrine]")) << saved;
        EXPECT_EQ(saved.find("MAX_LOOP="), saved.rfind("MAX_LOOP=")) << saved;
    }
}

TEST(SettingsFaults, ASaveThatFillsTheDiskKeepsTheOldFile) {
    Scratch scratch;
    std::ofstream(scratch.path) << "[Halvatrine]\nMAX_LOOP=77\n";
    const platform::SettingsStore store(scratch.path.string());
    {
        platform_test::FullDisk full(16);
        EXPECT_FALSE(store.save({{"MAX_LOOP", "1234"}, {"CONV_EPS", "0.000001"}, {"SIZEX", "600"}}));
    }
    EXPECT_EQ(platform_test::fileBytes(scratch.path), "[Halvatrine]\nMAX_LOOP=77\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path.parent_path()), fs::directory_iterator()), 1);
}

}  // namespace
