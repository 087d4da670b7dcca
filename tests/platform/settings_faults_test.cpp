// The settings file when it is not as the program wrote it: the group
// written twice (hand-edited or merged), and a disk that fills up while
// saving. Loading and saving must agree, and a failed save keeps the old file.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Scratch {
    Scratch() {
        char pattern[] = "/tmp/hv-settings-faults-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path file() const { return path / "Halvatrine.conf"; }
    fs::path path;
};

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(SettingsFaults, AGroupWrittenTwiceIsSavedAsOneThatLoadsAsSaved) {
    const struct {
        const char* file;
        const char* otherKey;    // a key of the group that is not saved
        const char* otherValue;  // its value as loaded before and after
    } cases[] = {
        {"[Halvatrine]\n[Halvatrine]\nMAX_LOOP=\n", nullptr, nullptr},
        {"[Halvatrine]\nMAX_LOOP=5\nKEEP=a\n[General]\nx=1\n[Halvatrine]\nMAX_LOOP=7\nKEEP=b\n", "KEEP", "b"},
        {"[Halvatrine]\nEXTRA=1\n[Other]\n[Halvatrine]\nSIZEX=3\n[Halvatrine]\nMAX_LOOP=9\n", "EXTRA", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Scratch scratch;
        std::ofstream(scratch.file()) << c.file;
        const platform::SettingsStore store(scratch.file().string());
        ASSERT_TRUE(store.save({{"MAX_LOOP", "1234"}, {"SIZEX", "800"}}));
        const auto loaded = store.load();
        EXPECT_EQ(loaded.at("MAX_LOOP"), "1234");
        EXPECT_EQ(loaded.at("SIZEX"), "800");
        if (c.otherKey) {
            EXPECT_EQ(loaded.at(c.otherKey), c.otherValue);
        }
        const std::string saved = readFile(scratch.file());
        EXPECT_EQ(occurrences(saved, "[Halvatrine]"), 1u) << saved;
        EXPECT_EQ(occurrences(saved, "MAX_LOOP="), 1u) << saved;
    }
}

TEST(SettingsFaults, ASaveThatFillsTheDiskKeepsTheOldFile) {
    Scratch scratch;
    const std::string old = "[Halvatrine]\nMAX_LOOP=77\n";
    std::ofstream(scratch.file()) << old;
    const platform::SettingsStore store(scratch.file().string());
    // Files may not grow beyond 16 bytes while saving (a full disk, as the
    // writer sees it: the write fails).
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = store.save({{"MAX_LOOP", "1234"}, {"CONV_EPS", "0.000001"}, {"SIZEX", "600"}});
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(scratch.file()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path), fs::directory_iterator()), 1);
}

}  // namespace
