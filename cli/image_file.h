// Picture files of any size, written row by row: PNG (through libpng) or a
// 24-bit BMP without colour table, chosen by the file name's extension.
//
// Rows are colour words (red | green << 8 | blue << 16) of the picture's
// width. A PNG takes its rows from the top of the picture down, a BMP from
// the bottom up; rowsFromBottom() says which, so the caller can render in
// that order without holding the whole picture.
//
// Failure modes: the file is written under a temporary name beside the
// target and renamed over it only by a successful finish(), so a failed or
// abandoned write leaves an older file untouched and no partial one. open()
// and finish() return the message to show; writeRow() returns false once
// anything failed (finish() then reports it).
//
// Thread-safety: one writer per thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class ImageFormat { Bmp, Png };

inline constexpr const char* IMAGE_EXTENSIONS_TEXT = ".png or .bmp";

// The format the name asks for (".png" / ".bmp", any letter case), or none.
std::optional<ImageFormat> imageFormatForPath(const std::string& path);

class ImageFileWriter {
public:
    ImageFileWriter();
    ~ImageFileWriter();
    ImageFileWriter(const ImageFileWriter&) = delete;
    ImageFileWriter& operator=(const ImageFileWriter&) = delete;

    std::optional<std::string> open(const std::string& path, ImageFormat format, int width, int height);
    bool rowsFromBottom() const { return format_ == ImageFormat::Bmp; }
    bool writeRow(const std::uint32_t* colourWords);
    std::optional<std::string> finish();

private:
    struct Png;
    void abandon();

    ImageFormat format_ = ImageFormat::Bmp;
    int width_ = 0;
    int height_ = 0;
    int rowsWritten_ = 0;
    bool failed_ = false;
    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::unique_ptr<Png> png_;
    std::vector<std::uint8_t> row_;
};

}  // namespace cli
