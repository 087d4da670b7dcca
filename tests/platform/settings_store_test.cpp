#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct TempDirectory {
    TempDirectory() {
        char pattern[] = "/tmp/hv-settings-test-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDirectory() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string path;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SettingsStore, LoadingCreatesNothingAndSavingKeepsEverythingElseInTheFile) {
    TempDirectory dir;
    const std::string fresh = dir.path + "/Brackenholt/Halvatrine.conf";
    platform::SettingsStore store(fresh);
    EXPECT_TRUE(store.load().empty());
    EXPECT_FALSE(store.value("MAX_LOOP").has_value());
    EXPECT_FALSE(fs::exists(dir.path + "/Brackenholt"));
    ASSERT_TRUE(store.save({{"MAX_LOOP", "10000"}, {"SIEGELFLG", "0"}, {"CONV_EPS", "0.000001"},
                            {"CONT_EPS", "0.05"}, {"INOUT_EPS", "0.01"}, {"SIZEX", "800"}, {"SIZEY", "500"}}));
    EXPECT_EQ(readFile(fresh),
              "[Halvatrine]\nMAX_LOOP=10000\nSIEGELFLG=0\nCONV_EPS=0.000001\nCONT_EPS=0.05\nINOUT_EPS=0.01\n"
              "SIZEX=800\nSIZEY=500\n");
    EXPECT_EQ(store.load().size(), 7u);
    EXPECT_EQ(store.value("CONV_EPS"), "0.000001");

    const std::string path = dir.path + "/Halvatrine.conf";
    std::ofstream(path) << "; written by hand\n[General]\nfoo=bar\n\n[Halvatrine]\nMAX_LOOP = 20000\nEXTRA=\"kept\"\n"
                           "[Other]\nx=1\n";
    platform::SettingsStore edited(path);
    EXPECT_EQ(edited.value("MAX_LOOP"), "20000");  // spaces around '=' are not part of the value
    EXPECT_EQ(edited.value("EXTRA"), "kept");      // quotes are not either
    EXPECT_FALSE(edited.value("foo").has_value()); // other groups are not ours
    ASSERT_TRUE(edited.save({{"MAX_LOOP", "500"}, {"SIZEX", "600"}}));
    const std::string text = readFile(path);
    for (const char* kept : {"; written by hand", "[General]\nfoo=bar", "[Other]\nx=1"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
    EXPECT_EQ(text.find("20000"), std::string::npos);
    const auto values = edited.load();
    EXPECT_EQ(values.at("MAX_LOOP"), "500");
    EXPECT_EQ(values.at("SIZEX"), "600");
    EXPECT_EQ(values.at("EXTRA"), "kept");
    // No temporary file is left next to them.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(SettingsStore, DefaultPathFollowsXdgConfigHome) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", "/some/config", 1);
    EXPECT_EQ(platform::SettingsStore::defaultPath(), "/some/config/Brackenholt/Halvatrine.conf");
    ::unsetenv("XDG_CONFIG_HOME");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(platform::SettingsStore::defaultPath(), home + "/.config/Brackenholt/Halvatrine.conf");
    }
    if (saved) ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
}

}  // namespace
