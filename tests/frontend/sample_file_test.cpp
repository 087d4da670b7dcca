#include "common/sample_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using common::SampleAccess;
using common::SampleFile;
using common::SampleWriteResult;

struct TempDir {  // a fresh folder per test, removed afterwards
    std::string path = (fs::temp_directory_path() / "hv-samples-XXXXXX").string();
    TempDir() { ::mkdtemp(path.data()); }
    ~TempDir() { fs::remove_all(path); }
    std::string file() const { return path + "/" + common::SAMPLE_FILE_NAME; }
};

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One record written by hand: 44 texts (text i = texts[i % texts.size()]), the name, then `end`.
std::string record(const std::vector<std::string>& texts, const std::string& name, const std::string& end = "\r") {
    std::string out;
    for (int i = 0; i < common::SAMPLE_TEXT_COUNT; ++i) out += texts[static_cast<std::size_t>(i) % texts.size()] + " ";
    return out + name + end;
}

TEST(SampleFormat, TextsAtTheEdgesOfWhatFits) {
    // 31 digits before the point fit in full ("%.30lf"); 32 only shortened, without the point; 1e32 and
    // non-finite values not at all. (Full texts read back: the sample dialogs' test.)
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<double, bool, const char*> cases[] = {
        {1.0 / 3.0, true, "0.333333333333333314829616256247"}, {0x1p100, true, "1267650600228229401496703205376"},
        {0x1p104, false, "20282409603651670423947251286016"}, {1e32, false, ""}, {inf, false, ""}, {nan, false, ""}};
    for (const auto& [value, full, shortened] : cases) {
        common::RationalMap map{common::FORM_POLYNOMIAL, 2, 0, {}, {}, {}, {1.0}, {}};
        map.numeratorRe[2] = value;  // text 2 * (10 - 2)
        EXPECT_EQ(common::formatSample(map).has_value(), full) << value;
        const auto texts = common::formatSample(map, common::SampleTextStyle::Shortened);
        EXPECT_EQ(texts ? (*texts)[16] + " " + (*texts)[42] : "", *shortened ? std::string(shortened) + " 1" : "");
    }
}

// What must hold for any input: bounded texts and names, at most 300
// records, and record byte ranges that tile the part that was read.
void expectSane(const common::SampleTable& table, std::size_t size) {
    ASSERT_LE(table.records.size(), 300u);
    std::uint64_t expectedBegin = 0;
    for (const auto& r : table.records) {
        EXPECT_EQ(r.fileBegin, expectedBegin);
        EXPECT_LE(r.fileBegin, r.fileEnd);
        expectedBegin = r.fileEnd;
        EXPECT_LE(r.name.size(), common::SAMPLE_NAME_MAX);
        for (const auto& t : r.texts) {
            EXPECT_LE(t.size(), common::SAMPLE_TEXT_MAX);
            EXPECT_EQ(t.find_first_not_of("0123456789.-"), std::string::npos);
        }
    }
    EXPECT_LE(table.readEnd, size);
}

TEST(SampleReader, HostileBytesLoadWithoutHarm) {
    std::mt19937 random(20240601);
    const std::string alphabet = "0123456789.- \t\r\nab\xE3\x81\x82\xFF";
    for (int round = 0; round < 400; ++round) {
        std::string bytes(random() % 20000, '\0');
        const bool structured = round % 2 == 0;  // mostly format bytes, or anything at all
        for (char& c : bytes)
            c = structured ? alphabet[random() % alphabet.size()] : static_cast<char>(random() & 0xFF);
        expectSane(common::parseSamples(bytes), bytes.size());
    }
}

TEST(SampleFileIo, ReadersShareTheFileAWriterHasItAloneAndAppendsAfterACarriageReturn) {
    TempDir dir;
    const std::string old = record({"1"}, "old", "");  // no CR at the end
    writeFile(dir.file(), old);
    SampleFile reader1, reader2, writer;
    ASSERT_TRUE(reader1.readSamples(dir.file(), SampleAccess::ReadOnly));
    ASSERT_TRUE(reader2.readSamples(dir.file(), SampleAccess::ReadOnly));
    EXPECT_EQ(reader1.deleteSamples({0}), SampleWriteResult::NotOpen);  // a reader may not rewrite; it is closed
    EXPECT_FALSE(writer.readSamples(dir.file(), SampleAccess::ReadWrite));
    EXPECT_TRUE(writer.table().records.empty());
    reader2.close();
    common::SampleTexts texts;
    texts.fill("-0.75");
    // The name loses its line break; a file that already ends with CR gets no empty line.
    for (const char* name : {"新しい式\r\n", "third"}) {
        ASSERT_TRUE(writer.readSamples(dir.file(), SampleAccess::ReadWrite));
        EXPECT_FALSE(reader1.readSamples(dir.file(), SampleAccess::ReadOnly));
        ASSERT_EQ(writer.appendSample(texts, name), SampleWriteResult::Written);
        writer.close();
    }
    EXPECT_TRUE(reader1.readSamples(dir.file(), SampleAccess::ReadOnly));
    EXPECT_EQ(readFile(dir.file()), old + "\r" + record({"-0.75"}, "新しい式") + record({"-0.75"}, "third"));
}

TEST(SampleFileIo, CrCrLfAndLfRecordsReadAlikeAndDeleteKeepsEveryOtherRecordsBytes) {
    TempDir dir;
    // Long texts and names, CR, CR LF and LF endings, a record that is not present, a file read in
    // several chunks, and records beyond the 300 that are read (the 300th ends with CR LF: its LF is not read).
    const std::vector<std::string> textsA = {"12345.678900000000000000000000000000", "-0.5", ".25"};
    std::vector<std::string> pieces = {record(textsA, "keep A", "\r\n"), record({"1"}, "drop me", "\r"),
                                       record({"1"}, "", "\r"), record({"2", "3"}, "keep B 日本語", "\n"),
                                       record({"5"}, std::string(100, 'n'))};
    for (int i = 5; i < 300; ++i)
        pieces.push_back(record({std::string(40, '4')}, "k" + std::to_string(i), i == 299 ? "\r\n" : "\r"));
    const std::string tail = record({"9"}, "beyond 300", "\r") + "trailing garbage";
    std::string bytes;
    for (const auto& p : pieces) bytes += p;
    writeFile(dir.file(), bytes + tail);
    ::chmod(dir.file().c_str(), 0640);

    SampleFile file;
    ASSERT_TRUE(file.readSamples(dir.file(), SampleAccess::ReadWrite));
    const common::SampleTable& table = file.table();
    ASSERT_EQ(table.records.size(), 300u);
    for (std::size_t i = 0; i < 44; ++i) EXPECT_EQ(table.records[0].texts[i], textsA[i % 3].substr(0, 32)) << i;
    EXPECT_EQ(table.records[3].name, "keep B 日本語");
    EXPECT_EQ(table.records[4].name, std::string(60, 'n'));
    EXPECT_EQ(table.records[5].name, "k5");
    EXPECT_EQ(table.records.back().name, "k299");
    EXPECT_EQ(table.readEnd, bytes.size() - 1);
    EXPECT_EQ(table.fileSize, bytes.size() + tail.size());
    ASSERT_EQ(file.deleteSamples({1}), SampleWriteResult::Written);

    std::string expected;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (i != 1 && i != 2) expected += pieces[i];
    EXPECT_EQ(readFile(dir.file()), expected + tail);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);  // no temporary file left
}

}  // namespace
