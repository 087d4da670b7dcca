// CDib: the picture as a device-independent bitmap, for saving as a .bmp
// file and for printing.
//
// The bitmap of a W x H picture is 24 bits per pixel with a colour table of
// the picture's distinct colours (in order of first appearance, scanning
// column by column: x outer from 0, y inner from 0). Both the table and the
// pixel bits are taken from the ColourMap, so they always agree. Rows are
// stored bottom row first (row k holds pixels (x, k)), each row blue, green,
// red per pixel, padded with zero bytes to a multiple of 4.
//
// File layout written by writeBmp (little-endian):
//   0  "BM"            2  file size 0        6, 8  reserved 0
//   10 offset of bits = 54 + 4 * n
//   14 40-byte information header (size 40, W, H, planes 1, 24 bits,
//      compression 0, image size 0, resolution 0 and 0, colours used and
//      important n)
//   54 n colour table entries (blue, green, red, 0), then the rows.
//
// Failure modes: writeBmp writes a temporary file beside the target and
// renames it over the target only when every byte was written, so an older
// file survives a failed save; it returns WRITE_ERROR_TEXT for the caller's
// message box.
//
// Thread-safety: none; build and write on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/colour_word.h"
#include "viewer/maps/pixel_maps.h"

namespace colour {

inline constexpr const char* WRITE_ERROR_TEXT = "write error";

inline constexpr std::uint32_t BITMAP_INFO_HEADER_SIZE = 40;
inline constexpr std::uint32_t BITMAP_FILE_HEADER_SIZE = 14;
inline constexpr std::uint16_t BITMAP_FILE_TYPE = 0x4D42;  // "BM"

// The 40-byte information header, field by field.
struct BitmapInfoHeader {
    std::uint32_t size = BITMAP_INFO_HEADER_SIZE;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

// One colour table entry as stored: blue, green, red, 0.
struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
};

class CDib {
public:
    CDib() = default;

    // Empties the bitmap, then builds it from the width x height corner of
    // the ColourMap. Returns false (and stays empty) for a size outside
    // 1..MAP_SIZE.
    bool buildFromPicture(const render::ColourMap& colourMap, int width, int height);

    // The logical palette: one colour word per colour table entry; empty
    // when the table is.
    void MakePalette();

    // Writes the .bmp file. Empty optional on success, otherwise the text to
    // show ("write error"). An empty bitmap is not written.
    std::optional<std::string> writeBmp(const std::string& path) const;

    // The file's bytes, exactly as writeBmp writes them.
    std::vector<std::uint8_t> fileBytes() const;

    void clear();
    bool empty() const { return bits_.empty(); }

    const BitmapInfoHeader& header() const { return header_; }
    const std::vector<RgbQuad>& colourTable() const { return table_; }
    // Entries of the colour table: colours used when not 0, else 2, 16 or
    // 256 for 1, 4 or 8 bits per pixel and 0 otherwise.
    std::uint32_t colourTableEntries() const;
    // Bytes of the pixel bits: the image size when not 0, else the padded
    // row size times the height.
    std::size_t bitsSize() const;
    std::size_t rowSize() const;
    const std::vector<std::uint8_t>& bits() const { return bits_; }
    const std::vector<common::ColourWord>& palette() const { return palette_; }

private:
    BitmapInfoHeader header_{};
    std::vector<RgbQuad> table_;
    std::vector<std::uint8_t> bits_;
    std::vector<common::ColourWord> palette_;
};

}  // namespace colour
