#include "platform/settings_store.h"

#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace fs = std::filesystem;
using platform_test::fileBytes;

struct Scratch {
    char pattern[32] = "/tmp/hv-settings-test-XXXXXX";
    fs::path directory = ::mkdtemp(pattern);
    fs::path path = directory / "Halvatrine.conf";
    ~Scratch() { fs::remove_all(directory); }
    int files() const { return platform_test::directoryEntryCount(directory); }
};

// A group written twice (by hand, a merge) loads as one, a later value winning, and saves as one.
TEST(SettingsStore, LoadingCreatesNothingAndSavingKeepsEverythingElseInTheFile) {
    Scratch dir;
    const std::string fresh = dir.directory / "Brackenholt/Halvatrine.conf";
    platform::SettingsStore store(fresh);
    EXPECT_TRUE(store.load().empty());
    EXPECT_FALSE(store.value("MAX_LOOP").has_value());
    EXPECT_EQ(dir.files(), 0);
    ASSERT_TRUE(store.save({{"MAX_LOOP", "10000"}, {"SIEGELFLG", "0"}, {"CONV_EPS", "0.000001"}}));
    EXPECT_EQ(fileBytes(fresh), "[Halvatrine]\nMAX_LOOP=10000\nSIEGELFLG=0\nCONV_EPS=0.000001\n");
    EXPECT_EQ(store.value("CONV_EPS"), "0.000001");

    std::ofstream(dir.path) << "; by hand\n[General]\nfoo=bar\n\n[Halvatrine]\nMAX_LOOP = 20000\n;a=1\n#b=2\n"
                               "EXTRA=\"kept\"\nK=a\n[Other]\nx=1\n[Halvatrine]\nK=b\nMAX_LOOP=7\n[Halvatrine]\n";
    platform::SettingsStore edited(dir.path);
    using Values = std::map<std::string, std::string>;
    // Spaces around '=' and quotes are not part of the value; comments and other groups are not ours.
    EXPECT_EQ(edited.load(), (Values{{"MAX_LOOP", "7"}, {"EXTRA", "kept"}, {"K", "b"}}));
    ASSERT_TRUE(edited.save({{"MAX_LOOP", "500"}, {"SIZEX", "600"}}));
    EXPECT_EQ(fileBytes(dir.path), "; by hand\n[General]\nfoo=bar\n\n[Halvatrine]\nMAX_LOOP=500\nSIZEX=600\n;a=1\n#b=2\n"
                                   "EXTRA=\"kept\"\nK=a\nK=b\n[Other]\nx=1\n");
    EXPECT_EQ(edited.load(), (Values{{"MAX_LOOP", "500"}, {"SIZEX", "600"}, {"EXTRA", "kept"}, {"K", "b"}}));
    EXPECT_EQ(dir.files(), 2);  // no temporary file is left next to them
}

// A save that cannot write, make its folder or replace the file says so, keeping the old file.
TEST(SettingsStore, AFailedSaveIsReportedAndKeepsTheOldFile) {
    // Where the store writes, given the scratch folder whose file holds the old settings.
    const std::pair<const char*, std::function<std::string(const Scratch&)>> faults[] = {
        {"full disk", [](const Scratch& s) { return s.path.string(); }},
        {"its folder is a file", [](const Scratch& s) { return (s.path / "Halvatrine.conf").string(); }},
        {"the file is a folder", [](const Scratch& s) {
             fs::create_directory(s.directory / "d");
             return (s.directory / "d").string();
         }},
    };
    for (const auto& [fault, where] : faults) {
        SCOPED_TRACE(fault);
        Scratch scratch;
        std::ofstream(scratch.path) << "[Halvatrine]\nMAX_LOOP=77\n";
        const platform::SettingsStore store(where(scratch));
        std::optional<platform_test::FullDisk> full;
        if (fault == faults[0].first) full.emplace(16);
        EXPECT_FALSE(store.save({{"MAX_LOOP", "1234"}, {"CONV_EPS", "0.000001"}, {"SIZEX", "600"}}));
        full.reset();
        EXPECT_EQ(fileBytes(scratch.path), "[Halvatrine]\nMAX_LOOP=77\n");
        EXPECT_EQ(scratch.files(), fault == faults[2].first ? 2 : 1);
    }
}

TEST(SettingsStore, DefaultPathFollowsXdgConfigHomeThenHome) {
    // No other test of this program reads the two variables.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/some/config", "/h", "/some/config"}, {"relative", "/h", "/h/.config"}, {nullptr, "", ".config"}};
    for (const auto& [xdg, h, base] : cases) {
        xdg ? ::setenv("XDG_CONFIG_HOME", xdg, 1) : ::unsetenv("XDG_CONFIG_HOME");
        ::setenv("HOME", h, 1);
        EXPECT_EQ(platform::SettingsStore::defaultPath(), std::string(base) + "/Brackenholt/Halvatrine.conf");
    }
}

}  // namespace
