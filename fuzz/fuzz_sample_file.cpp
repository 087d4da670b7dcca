// SampleData.dat as both programs read it, and the delete path that
// rewrites it. The input is the file; its first byte also picks the records
// to delete (record i when bit i % 8 is set). After the delete the file must
// hold exactly the other present records, and whatever lay beyond the 300th.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "common/sample_file.h"
#include "fuzz_check.h"

namespace {

constexpr std::size_t MAX_FILE_BYTES = 1 << 16;

std::vector<std::string> presentNames(const common::SampleTable& table) {
    std::vector<std::string> names;
    for (int i : table.presentIndices()) names.push_back(table.records[static_cast<std::size_t>(i)].name);
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_FILE_BYTES) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const common::SampleTable table = common::parseSamples(bytes);
    FUZZ_CHECK(table.records.size() <= static_cast<std::size_t>(common::SAMPLE_CAPACITY));
    FUZZ_CHECK(table.readEnd <= size);
    for (const common::SampleRecord& r : table.records) {
        FUZZ_CHECK(r.name.size() <= common::SAMPLE_NAME_MAX);
        for (const std::string& t : r.texts) FUZZ_CHECK(t.size() <= common::SAMPLE_TEXT_MAX);
        FUZZ_CHECK(r.fileBegin <= r.fileEnd && r.fileEnd <= size);
    }

    const std::string path = fuzz::scratchDirectory() + "/" + common::SAMPLE_FILE_NAME;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));
    common::SampleFile file;
    FUZZ_CHECK(file.readSamples(path, common::SampleAccess::ReadWrite));
    FUZZ_CHECK(presentNames(file.table()) == presentNames(table));

    const unsigned selector = size > 0 ? data[0] : 0;
    std::vector<int> doomed;
    std::vector<std::string> kept;
    for (int i : table.presentIndices()) {
        if ((selector >> (i % 8)) & 1)
            doomed.push_back(i);
        else
            kept.push_back(table.records[static_cast<std::size_t>(i)].name);
    }
    FUZZ_CHECK(file.deleteSamples(doomed) == common::SampleWriteResult::Written);

    std::ifstream in(path, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const common::SampleTable reread = common::parseSamples(after);
    // Names alone: a kept record after a deleted one may now read further
    // (a file without CRs), but no present name may be lost or gained.
    if (table.readEnd == size) FUZZ_CHECK(presentNames(reread) == kept);
    const std::string_view rest = bytes.substr(table.readEnd);
    FUZZ_CHECK(after.size() >= rest.size() && after.compare(after.size() - rest.size(), rest.size(), rest) == 0);
    return 0;
}
