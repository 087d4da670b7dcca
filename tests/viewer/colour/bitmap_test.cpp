#include "viewer/colour/bitmap.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using common::colourWord;

TEST(Bitmap, RowsOf601PixelsArePaddedToFourBytes) {
    auto maps = render::makePixelMaps();
    for (int x = 0; x < 601; ++x)
        for (int y = 0; y < 3; ++y) maps->colour[x][y] = colourWord(x % 3 == 0 ? 255 : 0, y * 10, 7);
    colour::CDib dib;
    EXPECT_TRUE(dib.buildFromPicture(maps->colour, 1000, 1) && dib.buildFromPicture(maps->colour, 1, 1000));
    EXPECT_FALSE(dib.buildFromPicture(maps->colour, 1001, 1) || dib.buildFromPicture(maps->colour, 1, 0));
    ASSERT_TRUE(dib.buildFromPicture(maps->colour, 601, 3));
    EXPECT_EQ(dib.rowSize(), 1804u);
    EXPECT_EQ(dib.bitsSize(), 1804u * 3);

    const std::vector<std::uint8_t> f = dib.fileBytes();
    const std::uint32_t n = 6;  // two red values times three green values
    EXPECT_EQ(dib.colourTableEntries(), n);
    ASSERT_EQ(f.size(), 54 + 4 * n + 1804 * 3);
    // (offset, width, value): "BM"; the file size and reserved fields stay 0.
    const std::uint32_t fields[][3] = {{0, 2, 'B' | 'M' << 8}, {2, 4, 0}, {6, 2, 0}, {8, 2, 0}, {10, 4, 54 + 4 * n},
                                       {14, 4, 40}, {18, 4, 601}, {22, 4, 3}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0},
                                       {34, 4, 0}, {38, 4, 0}, {42, 4, 0}, {46, 4, n}, {50, 4, n}};
    for (const auto& [at, width, value] : fields) {
        std::uint32_t read = 0;  // little-endian
        for (std::uint32_t i = width; i-- > 0;) read = read << 8 | f[at + i];
        EXPECT_EQ(read, value) << "offset " << at;
    }
    // (offset, byte): table entries blue, green, red, 0 in order of first appearance, column by column;
    // rows bottom (y = 0) first, pixels blue, green, red, each row padded with 0.
    const std::size_t bits = 54 + 4 * n;
    const std::size_t bytes[][2] = {{54, 7}, {55, 0}, {56, 255}, {57, 0}, {54 + 4 + 1, 10}, {54 + 12 + 2, 0},
                                    {bits, 7}, {bits + 1, 0}, {bits + 2, 255}, {bits + 3 + 2, 0},
                                    {bits + 1803, 0}, {bits + 2 * 1804 + 1800, 7}, {bits + 2 * 1804 + 1801, 20},
                                    {bits + 2 * 1804 + 1802, 255}, {bits + 2 * 1804 + 1803, 0}};
    for (const auto& [at, value] : bytes) EXPECT_EQ(f[at], value) << "offset " << at;
}

TEST(Bitmap, SavesReplaceTheFileOrReportWriteErrorAndLeaveNoTraces) {
    const fs::path dir = fs::temp_directory_path() / ("hv_bitmap_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto maps = render::makePixelMaps();
    colour::CDib dib;
    ASSERT_TRUE(dib.buildFromPicture(maps->colour, 3, 3));
    // A folder cannot be replaced by the file.
    const fs::path occupied = dir / "occupied.bmp";
    fs::create_directory(occupied);
    fs::path keep = occupied / "keep";
    std::ofstream(keep) << "old";
    EXPECT_EQ(dib.writeBmp(occupied.string()), std::string("write error"));
    EXPECT_TRUE(fs::exists(keep));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    // A folder that does not exist.
    EXPECT_EQ(dib.writeBmp((dir / "missing" / "a.bmp").string()), std::string("write error"));
    // A good save replaces an older file whole.
    const fs::path good = dir / "good.bmp";
    std::ofstream(good) << std::string(10000, 'x');
    EXPECT_EQ(dib.writeBmp(good.string()), std::nullopt);
    EXPECT_EQ(fs::file_size(good), dib.fileBytes().size());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2) << "no temporary left";
    fs::remove_all(dir);
}

}  // namespace
