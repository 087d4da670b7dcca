// `halvatrine-cli render` output files: PNG and BMP by extension, decoded here and compared pixel for pixel;
// options refused and writes that fail.
#include <png.h>

#include <cstdint>
#include <filesystem>
#include <set>

#include "cli_run.h"

namespace {

namespace fs = std::filesystem;

struct Image { int width = 0, height = 0; std::vector<std::uint8_t> rgb; };  // rgb: rows from the top

Image readPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    Image out{static_cast<int>(image.width), static_cast<int>(image.height), std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
    return png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) ? out : Image{};
}

// A 24-bit BMP, with or without colour table: rows bottom first, blue green red.
Image readBmp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    auto u16 = [&](std::size_t at) { return std::uint32_t(b[at] | b[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    // "BM", the file's size (the viewer leaves it 0), a 40-byte info header, 1 plane, 24 bits, no compression.
    if (b.size() < 54 || u16(0) != 0x4D42 || (u32(2) != b.size() && u32(2) != 0) || u32(14) != 40 || u16(26) != 1 ||
        u16(28) != 24 || u32(30) != 0)
        return {};
    const std::size_t bits = u32(10), w = u32(18), h = u32(22), rowBytes = (w * 3 + 3) / 4 * 4;
    if (b.size() != bits + rowBytes * h) return {};
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
        {"\"z^2-1\" --julia --size 48x40 --loop 100000", 48, 40}, {"\"z^2-1\" --julia --size 1000x2", 1000, 2},
        {"\"z^2-1\" --julia --size 3x1000", 3, 1000}, {"\"z^2-1\" --julia --size 20000x1", 20000, 1},
        {"\"z^2\" --mandelbrot --centre -0.5,0 --loop 60 --size 1100x1003", 1100, 1003},  // 2 x 2 tiles
    };
    for (const auto& [options, width, height] : pictures) {
        const fs::path bmp = dir_ / "p.bmp", png = dir_ / "p.PNG";
        const auto viaBmp = cli_test::runCli(std::string("render ") + options + " -o " + bmp.string());
        const auto viaPng = cli_test::runCli(std::string("render ") + options + " -o " + png.string());
        ASSERT_EQ(std::make_pair(viaBmp.exitCode, viaPng.exitCode), std::make_pair(0, 0)) << options;
        EXPECT_EQ(viaPng.out.substr(0, 9), std::string("picture ") + (std::strstr(options, "--julia") ? 'J' : 'M'));
        EXPECT_EQ(viaBmp.out.substr(0, viaBmp.out.find("written")), viaPng.out.substr(0, viaPng.out.find("written")));
        // The statistics count every pixel once: outside, per component and unknown.
        std::istringstream lines(viaPng.out.substr(std::min(viaPng.out.size(), viaPng.out.find("component\n") + 10)));
        long long pixels = 0;
        for (std::string line; std::getline(lines, line) && line.rfind("written", 0) != 0;) pixels += std::stoll(line.substr(8, 9));
        EXPECT_EQ(pixels, 1LL * width * height) << viaPng.out;
        // Up to 1000 x 1000 the bitmap is the viewer's own, with its colour table.
        EXPECT_EQ(viaBmp.out.find("colours)") != std::string::npos, width <= 1000 && height <= 1000) << options;
        const Image a = readBmp(bmp), b = readPng(png);
        EXPECT_EQ(std::make_tuple(a.width, a.height, b.width, b.height), std::make_tuple(width, height, width, height));
        EXPECT_TRUE(a.rgb == b.rgb) << options;
        EXPECT_GT(std::set<std::uint8_t>(a.rgb.begin(), a.rgb.end()).size(), 4u) << "a picture, not a plain area";
    }
}

// Options the picture cannot have, after -o DIR/x.png (a second -o names another file): refused with a
// message, exit 2 for the command line and 1 for values out of range, before any file is written.
TEST_F(RenderOutput, BadOptionsAreRefusedBeforeAnyFileIsWritten) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"-o x.jpg", 2, ".png or .bmp"}, {"-o x.png.txt", 2, ".png or .bmp"}, {"-o xbmp", 2, ".png or .bmp"},
        {"-o x.", 2, ".png or .bmp"}, {"--size 20001x8", 1, "20000"}, {"-o x.BMP --size 8x0", 1, "height"},
        {"--size 8", 2, "WIDTHxHEIGHT"}, {"--loop 0", 1, "loop count"}, {"--max-loop x", 2, "whole"},
        {"--loop 100001", 1, "loop count"}, {"--loop 1e3", 2, "whole"}, {"--height 2x", 2, "whole"},
        {"--centre x,0", 2, "number"}, {"--centre 0,x", 2, "number"}, {"--centre 0", 2, "RE,IM"},
        {"--radius 0", 1, "radius"}, {"--magnification -1", 1, "magnification"}, {"--critical 1", 1, "does not exist"},
        {"--critical 0,", 2, "whole"}, {"--inout-eps .", 2, "number"}, {"--mandelbrot", 2, "either"},
        {"--cont-eps 0", 1, "setting"}, {"--bogus", 2, "unknown"}, {"--magnification 2x", 2, "number"},
        {"--cont-eps x", 2, "number"}, {"--width x", 2, "whole"}, {"--size", 2, "--size needs a value"}};
    for (const auto& [options, code, message] : cases) {
        const auto run = cli_test::runCli("render 'z^2-1' --julia --size 8x8 -o " + (dir_ / "x.png").string() + " " + options,
                                          {}, true);
        EXPECT_EQ(run.exitCode, code) << options;
        EXPECT_NE(run.out.find(message), std::string::npos) << run.out;
    }
    EXPECT_TRUE(fs::is_empty(dir_));
}

// Under a 512-byte file size limit (its signal ignored, so write() fails) early or only at the last flush:
// each writer must report it and leave neither the file nor a temporary one.
TEST_F(RenderOutput, FailedWritesAreReportedAndLeaveNothingBehind) {
    const std::pair<const char*, const char*> cases[] = {
        {"render 'z^2-1' --julia --size 48x40 -o ", "p.bmp"}, {"render 'z^2-1' --julia --size 1001x3 -o ", "p.bmp"},
        {"render 'z^2-1' --julia --size 1001x1 -o ", "p.bmp"}, {"render 'z^2-1' --julia --size 99x99 -o ", "p.png"},
        {"analyse 'z^2-1' --block ", "p.block"}};
    for (const auto& [command, name] : cases) {
        const auto run = cli_test::runCli(command + (dir_ / name).string(), "trap '' XFSZ; ulimit -f 1;", true);
        EXPECT_EQ(run.exitCode, 1) << command << name;
        EXPECT_NE(run.out.find(name + std::string(": ")), std::string::npos) << run.out;
        EXPECT_TRUE(fs::is_empty(dir_)) << command << name;
    }
}

}  // namespace
