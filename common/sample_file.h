// SampleData.dat: the library of named formulas shared by the front end
// (load, save, delete) and the viewers (append).
//
// File format
//  - A sequence of records, each ended by a carriage return (byte 13); a lone
//    line feed also ends a record, and a line feed at the start of a record is
//    skipped, so CR, CR LF and LF files read alike. No header, no count.
//  - A record is 44 coefficient texts, each followed by one space, then the
//    name (every byte up to the record's end).
//  - Text order: numerator degree 10 real, degree 10 imaginary, degree 9 real,
//    ... degree 0 imaginary (texts 0..21), then the denominator the same way
//    (texts 22..43). So text 2*(10-k) is the real part of the numerator
//    coefficient of degree k; add 22 for the denominator.
//  - Names are at most 60 bytes of UTF-8, unique within the file (byte for
//    byte, case-sensitive), without CR or LF.
//
// Reading is tolerant: bytes outside the format are skipped, a text keeps at
// most 32 characters, a name at most 60 bytes (never half a character), and
// at most 300 records are read. Nothing a file holds can make the reader
// read or grow without bound.
//
// Locking: a reader holds a shared flock, a writer an exclusive one, for as
// long as its SampleFile is open. A lock that cannot be had at once is
// treated like a file that cannot be opened.
//
// Thread-safety: a SampleFile is used by one thread; distinct objects are
// independent (the flock serialises processes and objects alike).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/block_layout.h"

namespace common {

inline constexpr int SAMPLE_CAPACITY = 300;            // records read at most
inline constexpr int SAMPLE_TEXT_COUNT = 44;           // coefficient texts per record
inline constexpr std::size_t SAMPLE_TEXT_MAX = 32;     // characters kept per text
inline constexpr std::size_t SAMPLE_NAME_MAX = 60;     // bytes kept per name
inline constexpr const char* SAMPLE_FILE_NAME = "SampleData.dat";
// Values at or beyond this magnitude do not fit a 32-character text.
inline constexpr double SAMPLE_VALUE_LIMIT = 1e32;

using SampleTexts = std::array<std::string, SAMPLE_TEXT_COUNT>;

struct SampleRecord {
    SampleTexts texts;      // each at most SAMPLE_TEXT_MAX characters
    std::string name;       // at most SAMPLE_NAME_MAX bytes
    // Where the record's bytes lie in the file: [fileBegin, fileEnd), the
    // ending CR or LF included when there was one.
    std::uint64_t fileBegin = 0;
    std::uint64_t fileEnd = 0;
    bool terminated = false;  // false only for a last record cut off by the end of the file

    // Only present records are listed, kept and compared against.
    bool present() const { return !texts[0].empty() && !name.empty(); }
};

struct SampleTable {
    std::vector<SampleRecord> records;  // in file order, at most SAMPLE_CAPACITY
    std::uint64_t readEnd = 0;          // where reading stopped; later bytes are kept as they are
    std::uint64_t fileSize = 0;

    // Indices into records of the present records, in file order (the list
    // position n shows records[presentIndices()[n]]).
    std::vector<int> presentIndices() const;
    int presentCount() const;
    // True when a present record has exactly this name.
    bool hasName(std::string_view name) const;
};

// The record table of the bytes of a file (at most SAMPLE_CAPACITY records).
SampleTable parseSamples(std::string_view bytes);

// Grid field (4k + column, Part of the formula grid) <-> record text index.
// Column 0/1: numerator real/imaginary; 2/3: denominator real/imaginary.
int sampleTextIndexOfField(int field);

// How the coefficient texts of a new record are written.
enum class SampleTextStyle {
    Full,       // the whole "%.30lf" text (the front end's save)
    Shortened,  // "%.30lf", trailing zeros and a bare ".0" removed, cut to 32 characters (the viewer's save)
};

// The 44 texts of a record for map (block form). Fails (nullopt) when a
// value is not finite, |value| >= SAMPLE_VALUE_LIMIT, or more than 32
// characters stand before the decimal point: the overflow message.
std::optional<SampleTexts> formatSample(const RationalMap& map,
                                        SampleTextStyle style = SampleTextStyle::Full);

// A name as a record stores it: CR and LF removed, cut to SAMPLE_NAME_MAX
// bytes on a character boundary.
std::string sampleName(std::string_view text);

// "SampleData.dat" in startDirectory, joined with '/'; an empty directory
// gives the bare file name (the working directory).
std::string samplePath(std::string_view startDirectory);

enum class SampleAccess { ReadOnly, ReadWrite };

enum class SampleWriteResult {
    Written,
    NotOpen,       // no file is open for writing (missing, locked, read-only)
    WriteFailed,   // an I/O error; the file is as it was
};

// An open SampleData.dat with its lock and its record table. Move-only;
// closing (or destruction) releases the lock.
class SampleFile {
public:
    SampleFile() = default;
    ~SampleFile();
    SampleFile(SampleFile&& other) noexcept;
    SampleFile& operator=(SampleFile&& other) noexcept;
    SampleFile(const SampleFile&) = delete;
    SampleFile& operator=(const SampleFile&) = delete;

    // readSamples: opens an existing file (never creates it), takes the lock
    // and fills the table. False when the file cannot be opened or locked or
    // read; the table is then empty and nothing is held.
    bool readSamples(const std::string& path, SampleAccess access);

    const SampleTable& table() const { return table_; }
    bool isOpen() const { return fd_ >= 0; }
    bool isWritable() const { return fd_ >= 0 && access_ == SampleAccess::ReadWrite; }
    // True when the last readSamples failed because the file does not exist.
    bool wasMissing() const { return missing_; }

    // Appends one record (texts, one space each, name, CR) at the end of the
    // file, first a CR when the file does not end with one. Needs a file open
    // read-write. On failure the file is cut back to its former length.
    SampleWriteResult appendSample(const SampleTexts& texts, std::string_view name);

    // Creates the missing file at path and appends the record, holding the
    // lock meanwhile. Used when the save dialog found no file; fails
    // (NotOpen) when a file has appeared there in the meantime.
    SampleWriteResult createWithSample(const std::string& path, const SampleTexts& texts,
                                       std::string_view name);

    // Rewrites the file without the records at the given table indices: the
    // other present records keep their bytes, records beyond the table are
    // kept as they are, records that are not present are dropped. Writes a
    // temporary file in the same folder and renames it over the old one while
    // the lock is held. Closes this object afterwards (also on failure).
    SampleWriteResult deleteSamples(const std::vector<int>& recordIndices);

    void close();

private:
    int fd_ = -1;
    SampleAccess access_ = SampleAccess::ReadOnly;
    bool missing_ = false;
    std::string path_;
    SampleTable table_;
};

}  // namespace common
