#include "common/sample_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/number_text.h"

namespace common {
namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr std::size_t READ_CHUNK = 64 * 1024;
// A name is collected a few bytes past its limit so that the cut can tell
// whether the byte at the limit continues a character.
constexpr std::size_t NAME_COLLECT_MAX = SAMPLE_NAME_MAX + 4;

bool isTextByte(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }
bool isSeparator(char c) { return c == ' ' || c == '\t' || c == CR || c == LF; }
bool isRecordEnd(char c) { return c == CR || c == LF; }

// The reader's state machine; fed with the file's bytes in order.
class SampleParser {
public:
    explicit SampleParser(SampleTable& table) : table_(table) { table_ = SampleTable{}; }

    // Returns false once the table is full; `offset` is the file offset of bytes[0].
    bool feed(const char* bytes, std::size_t count, std::uint64_t offset) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!take(bytes[i], offset + i)) {
                table_.readEnd = offset + i + 1;
                return false;
            }
        }
        return true;
    }

    void finish(std::uint64_t fileSize) {
        table_.fileSize = fileSize;
        if (full()) return;
        table_.readEnd = fileSize;
        // A last record cut off by the end of the file keeps what was read.
        if (inName_ || textIndex_ > 0 || !current_.texts[0].empty()) {
            current_.fileEnd = fileSize;
            current_.terminated = false;
            closeRecord();
        }
    }

private:
    bool full() const { return static_cast<int>(table_.records.size()) >= SAMPLE_CAPACITY; }

    bool take(char c, std::uint64_t offset) {
        if (afterCr_) {
            afterCr_ = false;
            if (c == LF) {  // the LF of a CR LF pair belongs to the record it ends
                table_.records.back().fileEnd = offset + 1;
                current_.fileBegin = offset + 1;
                return true;
            }
        }
        if (!inName_) {
            std::string& text = current_.texts[static_cast<std::size_t>(textIndex_)];
            if (isTextByte(c)) {
                if (text.size() < SAMPLE_TEXT_MAX) text.push_back(c);
            } else if (isSeparator(c) && !text.empty()) {
                if (++textIndex_ == SAMPLE_TEXT_COUNT) inName_ = true;
            }
            return true;
        }
        if (isRecordEnd(c)) {
            current_.fileEnd = offset + 1;
            current_.terminated = true;
            closeRecord();
            afterCr_ = c == CR;
            return !full();
        }
        if (current_.name.size() < NAME_COLLECT_MAX) current_.name.push_back(c);
        return true;
    }

    void closeRecord() {
        current_.name = cutUtf8(current_.name, SAMPLE_NAME_MAX);
        const std::uint64_t nextBegin = current_.fileEnd;
        table_.records.push_back(std::move(current_));
        current_ = SampleRecord{};
        current_.fileBegin = nextBegin;
        textIndex_ = 0;
        inName_ = false;
    }

    SampleTable& table_;
    SampleRecord current_;
    int textIndex_ = 0;
    bool inName_ = false;
    bool afterCr_ = false;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies [begin, end) of `from` to the current position of `to`.
bool copyRange(int from, int to, std::uint64_t begin, std::uint64_t end) {
    char buffer[READ_CHUNK];
    while (begin < end) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(end - begin, READ_CHUNK));
        const ssize_t n = ::pread(from, buffer, want, static_cast<off_t>(begin));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        if (!writeAll(to, buffer, static_cast<std::size_t>(n))) return false;
        begin += static_cast<std::uint64_t>(n);
    }
    return true;
}

std::string recordBytes(const SampleTexts& texts, std::string_view name) {
    std::string out;
    for (const std::string& text : texts) {
        out += text;
        out.push_back(' ');
    }
    out += sampleName(name);
    out.push_back(CR);
    return out;
}

// Appends at the end of fd, a CR first when the file does not end with one.
// On failure the file is cut back to its former length.
SampleWriteResult appendTo(int fd, const SampleTexts& texts, std::string_view name) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return SampleWriteResult::WriteFailed;
    const off_t oldSize = st.st_size;
    std::string bytes;
    if (oldSize > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, oldSize - 1) != 1) return SampleWriteResult::WriteFailed;
        if (last != CR) bytes.push_back(CR);
    }
    bytes += recordBytes(texts, name);
    if (::lseek(fd, oldSize, SEEK_SET) < 0) return SampleWriteResult::WriteFailed;
    if (!writeAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) {
        (void)!::ftruncate(fd, oldSize);
        return SampleWriteResult::WriteFailed;
    }
    return SampleWriteResult::Written;
}

// Directory part of path for the temporary file ("" = working directory).
std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Opens path without following it into a FIFO or device: only a regular
// file counts as a sample file.
int openRegular(const std::string& path, int flags, bool& missing) {
    missing = false;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        missing = errno == ENOENT;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    // Back to blocking I/O for the regular file.
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

}  // namespace

std::vector<int> SampleTable::presentIndices() const {
    std::vector<int> out;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].present()) out.push_back(static_cast<int>(i));
    return out;
}

int SampleTable::presentCount() const {
    return static_cast<int>(std::count_if(records.begin(), records.end(),
                                          [](const SampleRecord& r) { return r.present(); }));
}

bool SampleTable::hasName(std::string_view name) const {
    return std::any_of(records.begin(), records.end(),
                       [&](const SampleRecord& r) { return r.present() && r.name == name; });
}

SampleTable parseSamples(std::string_view bytes) {
    SampleTable table;
    SampleParser parser(table);
    if (parser.feed(bytes.data(), bytes.size(), 0)) parser.finish(bytes.size());
    else table.fileSize = bytes.size();
    return table;
}

int sampleTextIndexOfField(int field) {
    const int degree = field / 4;
    const int column = field % 4;
    const int base = column >= 2 ? 2 * COEFFICIENT_COUNT : 0;
    return base + 2 * (MAX_DEGREE - degree) + (column % 2);
}

std::optional<SampleTexts> formatSample(const RationalMap& map, SampleTextStyle style) {
    SampleTexts texts;
    const double* parts[4] = {map.numeratorRe, map.numeratorIm, map.denominatorRe, map.denominatorIm};
    for (int i = 0; i < SAMPLE_TEXT_COUNT; ++i) {
        const int half = i / (2 * COEFFICIENT_COUNT);          // 0 numerator, 1 denominator
        const int within = i % (2 * COEFFICIENT_COUNT);
        const int degree = MAX_DEGREE - within / 2;
        const double value = parts[2 * half + within % 2][degree];
        if (!std::isfinite(value) || std::fabs(value) >= SAMPLE_VALUE_LIMIT) return std::nullopt;
        std::string text = formatFixed30(value);
        const std::size_t point = text.find('.');
        if (point == std::string::npos) return std::nullopt;
        // The reader keeps 32 characters: the full text needs its point within
        // them, the shortened one at most 32 characters before it.
        if (style == SampleTextStyle::Full ? point >= SAMPLE_TEXT_MAX : point > SAMPLE_TEXT_MAX)
            return std::nullopt;
        if (style == SampleTextStyle::Shortened) {
            std::size_t end = text.size();
            while (end > point + 2 && text[end - 1] == '0') --end;
            if (end == point + 2 && text[point + 1] == '0') end = point;
            text.resize(end);
            if (text.size() > SAMPLE_TEXT_MAX)
                text.resize(point + 1 == SAMPLE_TEXT_MAX ? point : SAMPLE_TEXT_MAX);
        }
        texts[static_cast<std::size_t>(i)] = std::move(text);
    }
    return texts;
}

std::string sampleName(std::string_view text) {
    return cutUtf8(withoutLineBreaks(text), SAMPLE_NAME_MAX);
}

std::string samplePath(std::string_view startDirectory) {
    std::string path(startDirectory);
    if (!path.empty() && path.back() != '/') path.push_back('/');
    return path + SAMPLE_FILE_NAME;
}

SampleFile::~SampleFile() { close(); }

SampleFile::SampleFile(SampleFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      access_(other.access_),
      missing_(other.missing_),
      path_(std::move(other.path_)),
      table_(std::move(other.table_)) {}

SampleFile& SampleFile::operator=(SampleFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        access_ = other.access_;
        missing_ = other.missing_;
        path_ = std::move(other.path_);
        table_ = std::move(other.table_);
    }
    return *this;
}

void SampleFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the flock
        fd_ = -1;
    }
}

bool SampleFile::readSamples(const std::string& path, SampleAccess access) {
    close();
    table_ = SampleTable{};
    access_ = access;
    path_ = path;
    const int flags = access == SampleAccess::ReadWrite ? O_RDWR : O_RDONLY;
    fd_ = openRegular(path, flags, missing_);
    if (fd_ < 0) return false;
    const int lock = (access == SampleAccess::ReadWrite ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (::flock(fd_, lock) != 0) {
        close();
        return false;
    }

    SampleParser parser(table_);
    std::uint64_t offset = 0;
    char buffer[READ_CHUNK];
    bool more = true;
    while (more) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close();
            table_ = SampleTable{};
            return false;
        }
        if (n == 0) break;
        more = parser.feed(buffer, static_cast<std::size_t>(n), offset);
        offset += static_cast<std::uint64_t>(n);
    }
    struct stat st {};
    const std::uint64_t size = ::fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : offset;
    if (more) parser.finish(size);
    else table_.fileSize = size;
    return true;
}

SampleWriteResult SampleFile::appendSample(const SampleTexts& texts, std::string_view name) {
    if (!isWritable()) return SampleWriteResult::NotOpen;
    return appendTo(fd_, texts, name);
}

SampleWriteResult SampleFile::createWithSample(const std::string& path, const SampleTexts& texts,
                                               std::string_view name) {
    close();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno == EEXIST ? SampleWriteResult::NotOpen : SampleWriteResult::WriteFailed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return SampleWriteResult::NotOpen;
    }
    const SampleWriteResult result = appendTo(fd, texts, name);
    ::close(fd);
    if (result != SampleWriteResult::Written) ::unlink(path.c_str());
    return result;
}

SampleWriteResult SampleFile::deleteSamples(const std::vector<int>& recordIndices) {
    if (!isWritable()) {
        close();
        return SampleWriteResult::NotOpen;
    }
    std::vector<bool> drop(table_.records.size(), false);
    for (int index : recordIndices)
        if (index >= 0 && static_cast<std::size_t>(index) < drop.size()) drop[static_cast<std::size_t>(index)] = true;

    std::string tempPath = directoryOf(path_) + ".SampleData.dat.XXXXXX";
    const int temp = ::mkstemp(tempPath.data());
    if (temp < 0) {
        close();
        return SampleWriteResult::WriteFailed;
    }
    bool ok = true;
    struct stat st {};
    if (::fstat(fd_, &st) == 0) (void)::fchmod(temp, st.st_mode & 07777);
    for (std::size_t i = 0; ok && i < table_.records.size(); ++i) {
        const SampleRecord& record = table_.records[i];
        if (drop[i] || !record.present()) continue;
        ok = copyRange(fd_, temp, record.fileBegin, record.fileEnd);
        // Keep the record apart from whatever follows it.
        const bool followed = i + 1 < table_.records.size() || table_.readEnd < table_.fileSize;
        if (ok && !record.terminated && followed) ok = writeAll(temp, &CR, 1);
    }
    if (ok) ok = copyRange(fd_, temp, table_.readEnd, table_.fileSize);
    if (ok) ok = ::fsync(temp) == 0;
    if (::close(temp) != 0) ok = false;
    // The rename happens while this object still holds the old file's lock.
    if (ok) ok = ::rename(tempPath.c_str(), path_.c_str()) == 0;
    if (!ok) ::unlink(tempPath.c_str());
    close();
    return ok ? SampleWriteResult::Written : SampleWriteResult::WriteFailed;
}

}  // namespace common
