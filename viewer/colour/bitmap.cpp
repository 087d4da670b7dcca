#include "viewer/colour/bitmap.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unordered_map>

namespace colour {

namespace {

constexpr std::uint32_t RGB_MASK = 0x00FFFFFFu;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

// A name beside the target that no other save of this process uses.
std::string temporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return path + ".tmp" + std::to_string(stamp) + "_" + std::to_string(serial.fetch_add(1));
}

}  // namespace

void CDib::clear() {
    header_ = BitmapInfoHeader{};
    table_.clear();
    bits_.clear();
    palette_.clear();
}

std::uint32_t CDib::colourTableEntries() const {
    if (header_.clrUsed != 0) return header_.clrUsed;
    switch (header_.bitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

std::size_t CDib::rowSize() const {
    const std::size_t rowBits = static_cast<std::size_t>(header_.bitCount) * static_cast<std::size_t>(header_.width);
    if (rowBits == 0) return 0;
    return ((rowBits - 1) / 32 + 1) * 4;
}

std::size_t CDib::bitsSize() const {
    if (header_.sizeImage != 0) return header_.sizeImage;
    return rowSize() * static_cast<std::size_t>(header_.height > 0 ? header_.height : 0);
}

bool CDib::buildFromPicture(const render::ColourMap& colourMap, int width, int height) {
    clear();
    if (width < 1 || width > render::MAP_SIZE || height < 1 || height > render::MAP_SIZE) return false;

    // Distinct colours in order of first appearance, column by column; the
    // hash map only speeds up the search, the order is that of a linear scan.
    std::unordered_map<std::uint32_t, std::uint32_t> index;
    index.reserve(1024);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const std::uint32_t rgb = colourMap[x][y] & RGB_MASK;
            if (index.emplace(rgb, static_cast<std::uint32_t>(table_.size())).second) {
                RgbQuad q;
                q.red = static_cast<std::uint8_t>(common::redOf(rgb));
                q.green = static_cast<std::uint8_t>(common::greenOf(rgb));
                q.blue = static_cast<std::uint8_t>(common::blueOf(rgb));
                table_.push_back(q);
            }
        }
    }

    header_.width = width;
    header_.height = height;
    header_.planes = 1;
    header_.bitCount = 24;
    header_.compression = 0;
    header_.sizeImage = 0;
    header_.clrUsed = static_cast<std::uint32_t>(table_.size());
    header_.clrImportant = header_.clrUsed;

    MakePalette();

    const std::size_t row = rowSize();
    bits_.assign(bitsSize(), 0);  // padding bytes stay 0
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = bits_.data() + static_cast<std::size_t>(y) * row;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourMap[x][y];
            *out++ = static_cast<std::uint8_t>(common::blueOf(c));
            *out++ = static_cast<std::uint8_t>(common::greenOf(c));
            *out++ = static_cast<std::uint8_t>(common::redOf(c));
        }
    }
    return true;
}

void CDib::MakePalette() {
    palette_.clear();
    palette_.reserve(table_.size());
    for (const RgbQuad& q : table_) palette_.push_back(common::colourWord(q.red, q.green, q.blue));
}

std::vector<std::uint8_t> CDib::fileBytes() const {
    std::vector<std::uint8_t> out;
    if (empty()) return out;
    const std::uint32_t offBits =
        BITMAP_FILE_HEADER_SIZE + BITMAP_INFO_HEADER_SIZE + 4u * static_cast<std::uint32_t>(table_.size());
    out.reserve(offBits + bits_.size());
    put16(out, BITMAP_FILE_TYPE);
    put32(out, 0);  // file size: 0, as readers take the sizes from the header
    put16(out, 0);
    put16(out, 0);
    put32(out, offBits);
    put32(out, header_.size);
    put32(out, static_cast<std::uint32_t>(header_.width));
    put32(out, static_cast<std::uint32_t>(header_.height));
    put16(out, header_.planes);
    put16(out, header_.bitCount);
    put32(out, header_.compression);
    put32(out, header_.sizeImage);
    put32(out, static_cast<std::uint32_t>(header_.xPelsPerMeter));
    put32(out, static_cast<std::uint32_t>(header_.yPelsPerMeter));
    put32(out, header_.clrUsed);
    put32(out, header_.clrImportant);
    for (const RgbQuad& q : table_) {
        out.push_back(q.blue);
        out.push_back(q.green);
        out.push_back(q.red);
        out.push_back(q.reserved);
    }
    out.insert(out.end(), bits_.begin(), bits_.end());
    return out;
}

std::optional<std::string> CDib::writeBmp(const std::string& path) const {
    if (empty() || path.empty()) return std::string(WRITE_ERROR_TEXT);
    const std::vector<std::uint8_t> bytes = fileBytes();
    const std::string temporary = temporaryNameFor(path);

    std::FILE* f = std::fopen(temporary.c_str(), "wbx");  // never reuses an existing file
    if (f == nullptr) return std::string(WRITE_ERROR_TEXT);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool flushed = std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (!(written && flushed && closed)) {
        std::filesystem::remove(temporary, ec);
        return std::string(WRITE_ERROR_TEXT);
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return std::string(WRITE_ERROR_TEXT);
    }
    return std::nullopt;
}

}  // namespace colour
