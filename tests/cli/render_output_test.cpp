// `halvatrine-cli render` output files: PNG and BMP by extension, pictures
// beyond the viewer's 1000 x 1000 in tiles, other extensions refused. The
// files are decoded here and compared pixel for pixel.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdint>
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
    int width = 0, height = 0;
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
    return {static_cast<int>(image.width), static_cast<int>(image.height), out.rgb};
}

// A 24-bit BMP, with or without colour table: rows bottom first, blue green red.
Image readBmp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    auto u32 = [&](std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24; };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || (b[28] | b[29] << 8) != 24) return {};
    const std::size_t bits = u32(10), w = u32(18), h = u32(22), rowBytes = (w * 3 + 3) / 4 * 4;
    if (b.size() < bits + rowBytes * h) return {};
    Image out{static_cast<int>(w), static_cast<int>(h), {}};
    for (std::size_t row = h; row-- > 0;)
        for (std::size_t at = bits + row * rowBytes; at < bits + row * rowBytes + 3 * w; at += 3)
            out.rgb.insert(out.rgb.end(), {b[at + 2], b[at + 1], b[at]});
    return out;
}

class RenderOutput : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_ = fs::temp_directory_path() / ("hv_render_output_" + std::to_string(::getpid()));
};

// The same picture through each writer decodes to the same pixels: the
// viewer's bitmap (up to 1000), the tiled bitmap and PNG (any size).
TEST_F(RenderOutput, EveryFormatAndSizeHoldsTheSamePixels) {
    const std::tuple<const char*, int, int> pictures[] = {
        {"\"z^2-1\" --julia --size 48x40", 48, 40},
        {"\"z^2\" --mandelbrot --centre -0.5,0 --loop 60 --size 1100x1003", 1100, 1003},  // 2 x 2 tiles
    };
    for (const auto& [options, width, height] : pictures) {
        const fs::path bmp = dir_ / "p.bmp", png = dir_ / "p.PNG";
        const auto viaBmp = cli_test::runCli(std::string("render ") + options + " -o " + bmp.string());
        const auto viaPng = cli_test::runCli(std::string("render ") + options + " -o " + png.string());
        ASSERT_EQ(std::make_pair(viaBmp.exitCode, viaPng.exitCode), std::make_pair(0, 0)) << options;
        // Statistics are the whole picture's in both.
        EXPECT_EQ(viaBmp.out.substr(0, viaBmp.out.find("written")), viaPng.out.substr(0, viaPng.out.find("written")));
        const Image a = readBmp(bmp), b = readPng(png);
        EXPECT_EQ(std::make_pair(a.width, a.height), std::make_pair(width, height));
        EXPECT_EQ(std::make_pair(b.width, b.height), std::make_pair(width, height));
        EXPECT_TRUE(a.rgb == b.rgb) << options;
        EXPECT_GT(std::set<std::uint8_t>(a.rgb.begin(), a.rgb.end()).size(), 4u) << "a picture, not a plain area";
    }
}

TEST_F(RenderOutput, OtherExtensionsAndSizesAreRefused) {
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"x.jpg", "8x8", 2, ".png or .bmp"}, {"x.png.txt", "8x8", 2, ".png or .bmp"}, {"xbmp", "8x8", 2, ".png or .bmp"},
        {"x.", "8x8", 2, ".png or .bmp"},    {"x.png", "20001x8", 1, "20000"}};
    for (const auto& [name, size, code, message] : cases) {
        const auto run = cli_test::runCli(std::string("render \"z^2-1\" --julia --size ") + size + " -o " +
                                          (dir_ / name).string(), {}, true);
        EXPECT_EQ(run.exitCode, code) << name;
        EXPECT_NE(run.out.find(message), std::string::npos) << run.out;
    }
    EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
