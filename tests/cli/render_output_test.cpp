// `halvatrine-cli render` output files: PNG and BMP by extension, pictures
// beyond the viewer's 1000 x 1000 in tiles, other extensions refused. The
// files are decoded here and compared pixel for pixel.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

namespace fs = std::filesystem;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows from the top
};

Image readPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Image out;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) return {};
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

// A 24-bit BMP, with or without colour table: rows bottom first, blue green red.
Image readBmp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    auto u32 = [&](std::size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
    };
    Image out;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || (b[28] | b[29] << 8) != 24) return out;
    const std::size_t bits = u32(10);
    const int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22));
    const std::size_t rowBytes = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    if (b.size() < bits + rowBytes * static_cast<std::size_t>(h)) return out;
    out.width = w;
    out.height = h;
    for (int row = h - 1; row >= 0; --row)
        for (int x = 0; x < w; ++x) {
            const std::size_t at = bits + static_cast<std::size_t>(row) * rowBytes + 3 * static_cast<std::size_t>(x);
            const std::uint8_t* p = &b[at];
            out.rgb.insert(out.rgb.end(), {p[2], p[1], p[0]});
        }
    return out;
}

// Exit code and everything printed, stderr included.
std::pair<int, std::string> runWithMessages(const std::string& args) {
    const std::string command = std::string(HALVATRINE_CLI) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    for (std::size_t got; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    const int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

class RenderOutput : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("hv_render_output_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

// The same picture through each writer decodes to the same pixels: the
// viewer's bitmap (up to 1000), the tiled bitmap and PNG (any size).
TEST_F(RenderOutput, EveryFormatAndSizeHoldsTheSamePixels) {
    const struct {
        const char* options;
        int width, height;
    } pictures[] = {
        {"\"z^2-1\" --julia --size 48x40", 48, 40},
        {"\"z^2\" --mandelbrot --centre -0.5,0 --loop 60 --size 1100x1003", 1100, 1003},  // 2 x 2 tiles
    };
    for (const auto& p : pictures) {
        const fs::path bmp = dir_ / "p.bmp", png = dir_ / "p.PNG";
        const auto viaBmp = cli_test::runCli(std::string("render ") + p.options + " -o " + bmp.string());
        const auto viaPng = cli_test::runCli(std::string("render ") + p.options + " -o " + png.string());
        ASSERT_EQ(viaBmp.exitCode, 0) << p.options;
        ASSERT_EQ(viaPng.exitCode, 0) << p.options;
        // Statistics are the whole picture's in both.
        EXPECT_EQ(viaBmp.out.substr(0, viaBmp.out.find("written")), viaPng.out.substr(0, viaPng.out.find("written")));
        const Image a = readBmp(bmp), b = readPng(png);
        EXPECT_EQ(std::make_pair(a.width, a.height), std::make_pair(p.width, p.height));
        EXPECT_EQ(std::make_pair(b.width, b.height), std::make_pair(p.width, p.height));
        EXPECT_TRUE(a.rgb == b.rgb) << p.options;
        EXPECT_GT(std::set<std::uint8_t>(a.rgb.begin(), a.rgb.end()).size(), 4u) << "a picture, not a plain area";
    }
}

TEST_F(RenderOutput, OtherExtensionsAndSizesAreRefused) {
    for (const char* name : {"x.jpg", "x.png.txt", "xbmp", "x."}) {
        const fs::path out = dir_ / name;
        const auto [code, text] = runWithMessages("render \"z^2-1\" --julia --size 8x8 -o " + out.string());
        EXPECT_EQ(code, 2) << name;
        EXPECT_NE(text.find(".png or .bmp"), std::string::npos) << text;
        EXPECT_FALSE(fs::exists(out)) << name;
    }
    const auto [code, text] =
        runWithMessages("render \"z^2-1\" --julia --size 20001x8 -o " + (dir_ / "x.png").string());
    EXPECT_EQ(code, 1);
    EXPECT_NE(text.find("20000"), std::string::npos) << text;
    EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
