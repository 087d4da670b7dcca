// Small pictures rendered by `halvatrine-cli render` compared byte for byte with bitmaps made
// once and checked by eye: any change to the analysis' component table, the kernels, the
// passes, the colour model, the batch renderer or the bitmap writer shows up here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GoldenPictures, CliRendersMatchTheCommittedBitmaps) {
    const fs::path dir = fs::temp_directory_path() / ("hv_golden_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::pair<const char*, const char*> goldens[] = {
        {"julia_z2_minus_1.bmp", "\"z^2-1\" --julia"},
        {"mandelbrot_z2_plus_c.bmp", "z^2 --mandelbrot --centre -0.5,0 --magnification 0.3333333333333333 --loop 200 "
                                     "--critical 0"},
        {"rational_z2p1_over_z2m025.bmp", "\"(z^2+1)/(z^2-0.25)\" --julia"},
    };
    for (const auto& [file, arguments] : goldens) {
        const fs::path out = dir / file;
        const std::string command = std::string(HALVATRINE_CLI) + " render " + arguments + " --size 64x64 -o " +
                                    out.string() + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << arguments;
        const std::vector<std::uint8_t> golden = readFile(fs::path(HV_GOLDEN_DIR) / file);
        ASSERT_FALSE(golden.empty()) << file;
        EXPECT_TRUE(readFile(out) == golden) << file << " differs from its golden bitmap";
    }
    fs::remove_all(dir);
}

}  // namespace
