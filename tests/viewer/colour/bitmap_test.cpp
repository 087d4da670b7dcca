#include "viewer/colour/bitmap.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using common::colourWord;

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::vector<std::uint8_t> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TempDir {
    TempDir() {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    fs::path path_ = fs::temp_directory_path() /
                     ("hv_bitmap_test_" + std::to_string(::getpid()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST(Bitmap, RowsOf601PixelsArePaddedToFourBytes) {
    auto maps = render::makePixelMaps();
    for (int x = 0; x < 601; ++x)
        for (int y = 0; y < 3; ++y) maps->colour[x][y] = colourWord(x % 3 == 0 ? 255 : 0, y * 10, 7);
    colour::CDib dib;
    ASSERT_TRUE(dib.buildFromPicture(maps->colour, 601, 3));
    EXPECT_EQ(dib.rowSize(), 1804u);
    EXPECT_EQ(dib.bitsSize(), 1804u * 3);

    const std::vector<std::uint8_t> f = dib.fileBytes();
    const std::uint32_t n = 6;  // two red values times three green values
    EXPECT_EQ(dib.colourTableEntries(), n);
    ASSERT_EQ(f.size(), 54 + 4 * n + 1804 * 3);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    // (offset, width, value): the file size and reserved fields stay 0.
    const std::uint32_t fields[][3] = {{2, 4, 0},  {6, 2, 0},   {8, 2, 0},  {10, 4, 54 + 4 * n}, {14, 4, 40},
                                       {18, 4, 601}, {22, 4, 3}, {26, 2, 1}, {28, 2, 24},         {30, 4, 0},
                                       {34, 4, 0},  {38, 4, 0},  {42, 4, 0}, {46, 4, n},          {50, 4, n}};
    for (const auto& [at, width, value] : fields)
        EXPECT_EQ(width == 4 ? le32(f, at) : le16(f, at), value) << "offset " << at;
    // Padding byte of every row is 0; pixel (600, 1) is the last of row 1.
    const std::size_t bits = 54 + 4 * n;
    for (int row = 0; row < 3; ++row) EXPECT_EQ(f[bits + row * 1804 + 1803], 0) << row;
    const std::size_t last = bits + 1804 + 600 * 3;
    EXPECT_EQ(f[last], 7);       // blue
    EXPECT_EQ(f[last + 1], 10);  // green
    EXPECT_EQ(f[last + 2], 255); // red: 600 % 3 == 0
}

TEST(Bitmap, FailedSaveReportsWriteErrorAndLeavesNoTraces) {
    TempDir dir;
    auto maps = render::makePixelMaps();
    colour::CDib dib;
    ASSERT_TRUE(dib.buildFromPicture(maps->colour, 3, 3));
    // A folder cannot be replaced by the file.
    const fs::path occupied = dir.path() / "occupied.bmp";
    fs::create_directory(occupied);
    fs::path keep = occupied / "keep";
    std::ofstream(keep) << "old";
    EXPECT_EQ(dib.writeBmp(occupied.string()), std::string("write error"));
    EXPECT_TRUE(fs::exists(keep));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    // A folder that does not exist.
    EXPECT_EQ(dib.writeBmp((dir.path() / "missing" / "a.bmp").string()), std::string("write error"));
}

TEST(Bitmap, WriteCutShortKeepsTheOlderFile) {
    TempDir dir;
    const fs::path target = dir.path() / "older.bmp";
    const std::string older(5000, 'o');
    std::ofstream(target, std::ios::binary) << older;
    auto maps = render::makePixelMaps();
    colour::CDib dib;
    ASSERT_TRUE(dib.buildFromPicture(maps->colour, 64, 64));  // about 12 kB

    // In a child limited to files of 1000 bytes, every write beyond fails.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto result = dib.writeBmp(target.string());
        _exit(result == std::optional<std::string>("write error") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was not reported";
    const std::vector<std::uint8_t> now = readFile(target);
    EXPECT_EQ(std::string(now.begin(), now.end()), older);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// Reads a bmp through ImageMagick into RGB triples, top row first.
bool readWithImageMagick(const fs::path& file, int& w, int& h, std::vector<std::uint8_t>& rgb) {
    const std::string cmd = "convert '" + file.string() + "' -depth 8 ppm:- 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    if (!pipe) return false;
    std::vector<std::uint8_t> data;
    char buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, pipe.get())) > 0) data.insert(data.end(), buf, buf + got);
    // "P6\n<w> <h>\n<max>\n" then the bytes.
    std::size_t pos = 0;
    auto token = [&]() {
        while (pos < data.size() && std::isspace(data[pos])) ++pos;
        std::string t;
        while (pos < data.size() && !std::isspace(data[pos])) t += static_cast<char>(data[pos++]);
        return t;
    };
    if (token() != "P6") return false;
    w = std::stoi(token());
    h = std::stoi(token());
    if (token() != "255") return false;
    ++pos;
    rgb.assign(data.begin() + static_cast<long>(pos), data.end());
    return rgb.size() == static_cast<std::size_t>(w) * h * 3;
}

TEST(Bitmap, AnIndependentReaderSeesTheSamePixels) {
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick not installed";
    TempDir dir;
    const fs::path file = dir.path() / "read_back.bmp";
    auto maps = render::makePixelMaps();
    const int W = 37, H = 23;  // odd width: padded rows
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) maps->colour[x][y] = colourWord((x * 7) % 256, (y * 11) % 256, (x * y) % 256);
    colour::CDib dib;
    ASSERT_TRUE(dib.buildFromPicture(maps->colour, W, H));
    ASSERT_EQ(dib.writeBmp(file.string()), std::nullopt);

    int w = 0, h = 0;
    std::vector<std::uint8_t> rgb;
    ASSERT_TRUE(readWithImageMagick(file, w, h, rgb));
    ASSERT_EQ(w, W);
    ASSERT_EQ(h, H);
    for (int row = 0; row < H; ++row) {
        const int y = H - 1 - row;  // the picture's bottom row is the image's last
        for (int x = 0; x < W; ++x) {
            const std::size_t at = (static_cast<std::size_t>(row) * W + x) * 3;
            const auto c = maps->colour[x][y];
            ASSERT_EQ(rgb[at], common::redOf(c)) << x << "," << y;
            ASSERT_EQ(rgb[at + 1], common::greenOf(c)) << x << "," << y;
            ASSERT_EQ(rgb[at + 2], common::blueOf(c)) << x << "," << y;
        }
    }
}

}  // namespace
