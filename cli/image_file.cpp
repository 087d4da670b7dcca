#include "cli/image_file.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

namespace cli {

namespace {

constexpr std::uint32_t BMP_HEADERS_SIZE = 14 + 40;

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = text[text.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

// libpng reports errors by longjmp; these wrappers hold no C++ objects.
bool pngStart(png_structp png, png_infop info, std::FILE* file, int width, int height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    return true;
}
bool pngRow(png_structp png, std::uint8_t* row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_row(png, row);
    return true;
}
bool pngEnd(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_end(png, info);
    return true;
}

}  // namespace

struct ImageFileWriter::Png {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Png() { png_destroy_write_struct(&png, &info); }
};

std::optional<ImageFormat> imageFormatForPath(const std::string& path) {
    if (endsWith(path, ".png")) return ImageFormat::Png;
    if (endsWith(path, ".bmp")) return ImageFormat::Bmp;
    return std::nullopt;
}

ImageFileWriter::ImageFileWriter() = default;

ImageFileWriter::~ImageFileWriter() { abandon(); }

void ImageFileWriter::abandon() {
    png_.reset();
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        std::remove(temporary_.c_str());
    }
}

std::optional<std::string> ImageFileWriter::open(const std::string& path, ImageFormat format, int width, int height) {
    abandon();
    format_ = format;
    width_ = width;
    height_ = height;
    rowsWritten_ = 0;
    failed_ = false;
    path_ = path;
    temporary_ = path + ".part" + std::to_string(::getpid());
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (file_ == nullptr) return std::string(std::strerror(errno));

    if (format == ImageFormat::Png) {
        png_ = std::make_unique<Png>();
        png_->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png_->png != nullptr) png_->info = png_create_info_struct(png_->png);
        if (png_->info == nullptr || !pngStart(png_->png, png_->info, file_, width, height)) {
            abandon();
            return std::string("the PNG writer failed");
        }
        row_.assign(static_cast<std::size_t>(width) * 3, 0);
        return std::nullopt;
    }
    // BMP: rows of blue, green, red, padded to 4 bytes, bottom row first.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
    const std::uint64_t fileSize = BMP_HEADERS_SIZE + rowBytes * static_cast<std::uint64_t>(height);
    std::uint8_t header[BMP_HEADERS_SIZE] = {'B', 'M'};
    put32(header + 2, fileSize <= UINT32_MAX ? static_cast<std::uint32_t>(fileSize) : 0);
    put32(header + 10, BMP_HEADERS_SIZE);
    put32(header + 14, 40);
    put32(header + 18, static_cast<std::uint32_t>(width));
    put32(header + 22, static_cast<std::uint32_t>(height));
    put16(header + 26, 1);
    put16(header + 28, 24);
    row_.assign(static_cast<std::size_t>(rowBytes), 0);
    if (std::fwrite(header, 1, sizeof header, file_) != sizeof header) {
        abandon();
        return std::string("write error");
    }
    return std::nullopt;
}

bool ImageFileWriter::writeRow(const std::uint32_t* words) {
    if (failed_ || file_ == nullptr || rowsWritten_ >= height_) {
        failed_ = true;
        return false;
    }
    const bool png = format_ == ImageFormat::Png;
    for (int x = 0; x < width_; ++x) {
        const std::uint32_t w = words[x];
        std::uint8_t* p = row_.data() + 3 * static_cast<std::size_t>(x);
        const std::uint8_t red = static_cast<std::uint8_t>(w), green = static_cast<std::uint8_t>(w >> 8),
                           blue = static_cast<std::uint8_t>(w >> 16);
        p[0] = png ? red : blue;
        p[1] = green;
        p[2] = png ? blue : red;
    }
    const bool ok = png ? pngRow(png_->png, row_.data())
                        : std::fwrite(row_.data(), 1, row_.size(), file_) == row_.size();
    if (!ok) failed_ = true;
    ++rowsWritten_;
    return ok;
}

std::optional<std::string> ImageFileWriter::finish() {
    if (file_ == nullptr) return std::string("write error");
    bool ok = !failed_ && rowsWritten_ == height_;
    if (ok && png_) ok = pngEnd(png_->png, png_->info);
    png_.reset();
    ok = std::fflush(file_) == 0 && ok;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        std::remove(temporary_.c_str());
        return std::string("write error");
    }
    return std::nullopt;
}

}  // namespace cli
