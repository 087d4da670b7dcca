// The reader against hand-laid blocks: well-formed data read back, and corrupted counts, offsets and texts
// that must never lead to a read outside the mapping (under AddressSanitizer in the sanitizer build, with
// buffers exactly as long as the "mapping").
#include "common/block_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using common::AnalysisBlockHeader;
using common::ComponentEntry;
using common::CurveImage;

constexpr std::int32_t DATA = static_cast<std::int32_t>(common::ANALYSIS_BLOCK_FIXED_SIZE);

// A "mapping" of exactly `length` bytes (operator new gives 16-byte alignment).
struct Mapping {
    explicit Mapping(std::size_t length) : bytes(length) {}
    std::vector<std::byte> bytes;
    AnalysisBlockHeader& header() { return *reinterpret_cast<AnalysisBlockHeader*>(bytes.data()); }
    void putDoubles(std::size_t offset, std::initializer_list<double> values) {
        std::memcpy(bytes.data() + offset, values.begin(), values.size() * sizeof(double));
    }
    template <typename T> void put(std::size_t offset, const T& value) { std::memcpy(bytes.data() + offset, &value, sizeof value); }
    CurveImage* imageAt(std::size_t offset) { return reinterpret_cast<CurveImage*>(bytes.data() + offset); }
    std::optional<common::AnalysisBlockView> read() { return common::readAnalysisBlock(bytes.data(), bytes.size()); }
};

// Layout used by the well-formed block below:
//   12936  cycle of 2 points (32 bytes)
//   12968  Siegel group: header, 1 image (96 bytes)
//   13064  its outer disk (24), inner disk (24), 3 polyline points (48)
//   13160  Herman group: header, 1 pair of images (184 bytes)
//   13344  inner curve: 0 disks, 2 points (32); outer curve: 1 outer disk (24), 2 points (32)
constexpr std::size_t WELL_FORMED_SIZE = 13432;  // the end

CurveImage image(double scale, std::int32_t outerCount, std::int32_t outerOffset, std::int32_t innerCount,
                 std::int32_t innerOffset, std::int32_t pointCount, std::int32_t pointOffset) {
    return {{scale, 2 * scale, 3 * scale, 4 * scale, 5 * scale, 6 * scale, 7 * scale, 8 * scale},
            outerCount, outerOffset, innerCount, innerOffset, pointCount, pointOffset};
}

Mapping wellFormed() {
    Mapping m(WELL_FORMED_SIZE);
    AnalysisBlockHeader& h = m.header();
    h.blockSize = WELL_FORMED_SIZE;
    h.pictureKind = 'J';
    h.componentCount = 3;
    h.components[0] = {0, 2, 1, 0, 12936};
    m.putDoubles(12936, {0.5, -0.25, -1.5, 2.0});
    h.components[1] = {1, 1, 0, 0, 12968};
    m.put(12968, 1);
    m.put(12976, image(1.0, 1, 13064, 1, 13088, 3, 13112));
    m.putDoubles(13064, {3.0, 4.0, 0.01});
    m.putDoubles(13088, {0.1, 0.2, 0.04});
    m.putDoubles(13112, {1.0, 0.0, 0.0, 1.0, -1.0, 0.0});
    h.components[2] = {2, 1, 0, 0, 13160};
    m.put(13160, 1);
    m.put(13168, image(0.5, 0, 13344, 0, 13344, 2, 13344));
    m.put(13256, image(2.0, 1, 13376, 0, 13400, 2, 13400));
    m.putDoubles(13344, {0.25, 0.0, 0.0, 0.25});
    m.putDoubles(13376, {9.0, 9.0, 1.0});
    m.putDoubles(13400, {2.0, 0.0, 0.0, 2.0});
    const char title[] = "J1\xE2\x86\x90M1";  // "J1←M1"
    std::memcpy(h.title, title, sizeof title);
    return m;
}

TEST(BlockReader, WellFormedBlockReadsBackEveryComponent) {
    Mapping m = wellFormed();
    const auto view = m.read();
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(std::make_pair(view->pictureKind, view->title), std::make_pair('J', std::string("J1\xE2\x86\x90M1")));
    ASSERT_EQ(view->components.size(), 3u);
    const common::ComponentView& cycle = view->components[0];
    ASSERT_TRUE(cycle.valid);
    ASSERT_EQ(cycle.cyclePoints.count, 2);
    EXPECT_EQ(std::make_tuple(cycle.cyclePoints.re(1), cycle.cyclePoints.im(1), cycle.pointKind), std::make_tuple(-1.5, 2.0, 1));

    const common::ComponentView& siegel = view->components[1];
    ASSERT_TRUE(siegel.valid);
    ASSERT_EQ(siegel.images.size(), 1u);
    const common::CurveImageView& curve = siegel.images[0];
    ASSERT_EQ(std::make_tuple(curve.outerDisks.count, curve.innerDisks.count, curve.polyline.count), std::make_tuple(1, 1, 3));
    EXPECT_EQ(curve.octagon[common::OCTAGON_MIN_DIFF], 8.0);
    EXPECT_EQ(std::make_tuple(curve.outerDisks.centreIm(0), curve.innerDisks.radiusSquared(0), curve.polyline.re(2)),
              std::make_tuple(4.0, 0.04, -1.0));

    const common::ComponentView& herman = view->components[2];
    ASSERT_TRUE(herman.valid);
    ASSERT_EQ(herman.images.size(), 2u);  // inner, outer
    EXPECT_EQ(std::make_tuple(herman.images[0].octagon[0], herman.images[1].octagon[0]), std::make_tuple(0.5, 2.0));
    EXPECT_EQ(std::make_tuple(herman.images[1].outerDisks.radiusSquared(0), herman.images[1].polyline.im(1)),
              std::make_tuple(1.0, 2.0));
}

TEST(BlockReader, CountsAndDegreesAreClamped) {
    // Components (the 21st slot is never read), critical points, fixed points, degrees: as stored, as read.
    using Counts = std::tuple<int, int, int, int, int>;
    const std::pair<Counts, Counts> cases[] = {{{1000000, 1000, 99, 11, -7}, {20, 41, 21, 10, -1}},
                                               {{-5, -1, -2147483647 - 1, -7, 99}, {0, 0, 0, -1, 10}}};
    for (const auto& [stored, read] : cases) {
        Mapping m = wellFormed();
        AnalysisBlockHeader& h = m.header();
        std::tie(h.componentCount, h.criticalPointCount, h.fixedPointCount, h.map.numeratorDegree, h.map.denominatorDegree) =
            stored;
        const auto v = m.read();
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(Counts(static_cast<int>(v->components.size()), v->criticalPoints.count, v->fixedPoints.count,
                         v->map.numeratorDegree, v->map.denominatorDegree), read);
        // Entries beyond the three written ones are zero: cycles of no points at offset 0, inside the header.
        for (std::size_t e = 3; e < v->components.size(); ++e) EXPECT_FALSE(v->components[e].valid);
    }
}

TEST(BlockReader, EntryWithAnyDataOutsideTheMappingIsInvalidAndTheOthersStayValid) {
    const struct { const char* what; int entry; void (*corrupt)(Mapping&); } cases[] = {
        {"cycle offset past the end", 0, [](Mapping& m) { m.header().components[0].dataOffset = 2147483640; }},
        {"cycle offset negative", 0, [](Mapping& m) { m.header().components[0].dataOffset = -16; }},
        {"cycle offset into the header", 0, [](Mapping& m) { m.header().components[0].dataOffset = DATA - 8; }},
        {"cycle offset misaligned", 0, [](Mapping& m) { m.header().components[0].dataOffset = 12937; }},
        {"cycle count too large", 0, [](Mapping& m) { m.header().components[0].count = 2147483647; }},
        {"cycle count negative", 0, [](Mapping& m) { m.header().components[0].count = -1; }},
        {"cycle just one point too long", 0, [](Mapping& m) {
             m.header().components[0].dataOffset = static_cast<std::int32_t>(WELL_FORMED_SIZE - 16);
             m.header().components[0].count = 2;
         }},
        {"unknown kind", 0, [](Mapping& m) { m.header().components[0].kind = 3; }},
        {"negative kind", 0, [](Mapping& m) { m.header().components[0].kind = -1; }},
        {"group count beyond the mapping", 1, [](Mapping& m) { m.header().components[1].count = 100; }},
        {"group count negative", 1, [](Mapping& m) { m.header().components[1].count = -3; }},
        {"pair count overflowing 32 bits when doubled", 2, [](Mapping& m) { m.header().components[2].count = 2147483647; }},
        {"outer disks past the end", 1, [](Mapping& m) { m.imageAt(12976)->outerDiskCount = 1000; }},
        {"inner disk offset negative", 1, [](Mapping& m) { m.imageAt(12976)->innerDiskOffset = -24; }},
        {"polyline count negative", 1, [](Mapping& m) { m.imageAt(12976)->polylineCount = -1; }},
        {"polyline offset misaligned", 1, [](Mapping& m) { m.imageAt(12976)->polylineOffset = 13113; }},
        {"outer curve's disks one byte past the end", 2, [](Mapping& m) {
             m.imageAt(13256)->outerDiskOffset = static_cast<std::int32_t>(WELL_FORMED_SIZE - 16);
         }},
        {"inner curve's polyline offset huge", 2, [](Mapping& m) { m.imageAt(13168)->polylineOffset = 2147483647; }},
        {"group header past the end", 2,
         [](Mapping& m) { m.header().components[2].dataOffset = static_cast<std::int32_t>(WELL_FORMED_SIZE); }}};
    for (const auto& c : cases) {
        Mapping m = wellFormed();
        c.corrupt(m);
        const auto view = m.read();
        ASSERT_TRUE(view.has_value()) << c.what;
        for (int e = 0; e < 3; ++e) EXPECT_EQ(view->components[e].valid, e != c.entry) << c.what << " " << e;
        EXPECT_EQ(view->components[c.entry].cyclePoints.data, nullptr) << c.what;
        EXPECT_TRUE(view->components[c.entry].images.empty()) << c.what;
    }
}

TEST(BlockReader, FrontEndBlockIsReadWithBoundsAndShortMappingsAreRefused) {
    std::vector<std::byte> bytes(common::FRONT_END_BLOCK_SIZE);
    auto* block = reinterpret_cast<common::FrontEndBlock*>(bytes.data());
    block->frontEndProcessId = 4242;
    block->mainWindow = 4242 * 256 + 1;
    block->criticalPoints.count = 500;
    block->criticalPoints.selected[40] = 1;
    block->currentMap.numeratorDegree = 12345;
    std::strcpy(block->startDirectory, "/home/user/halvatrine");
    common::writeBusyState(*block, common::BUSY_ANALYSING);

    const auto view = common::readFrontEndBlock(bytes.data(), bytes.size());
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(std::make_tuple(view->frontEndProcessId, view->mainWindow, view->criticalPoints.count,
                              view->criticalPoints.selected[40], view->currentMap.numeratorDegree, view->startDirectory),
              std::make_tuple(4242u, 4242 * 256 + 1, 41, 1, 10, std::string("/home/user/halvatrine")));
    EXPECT_EQ(common::readBusyState(*view->block), common::BUSY_ANALYSING);

    std::memset(block->startDirectory, 'd', common::START_DIRECTORY_SIZE);
    EXPECT_EQ(common::readFrontEndBlock(bytes.data(), bytes.size())->startDirectory, "");  // not terminated: none

    Mapping m = wellFormed();  // a title without terminator, a character across the end of its field
    std::memset(m.header().title, 'T', common::TITLE_SIZE);
    std::memcpy(m.header().title + common::TITLE_SIZE - 3, "\xE2\x86\x90", 3);
    EXPECT_EQ(m.read()->title, std::string(common::TITLE_SIZE - 3, 'T'));
    // Mappings too short for the fixed part, or not 8-byte aligned, are refused.
    EXPECT_FALSE(common::readFrontEndBlock(bytes.data(), bytes.size() - 1).has_value());
    EXPECT_FALSE(common::readAnalysisBlock(wellFormed().bytes.data(), DATA - 1).has_value());
    std::vector<std::uint64_t> aligned(DATA / 8 + 1);
    EXPECT_FALSE(common::readAnalysisBlock(reinterpret_cast<char*>(aligned.data()) + 4, DATA).has_value());
    EXPECT_TRUE(common::readAnalysisBlock(aligned.data(), DATA).has_value());
}

// Random component tables over random data: whatever the reader accepts lies
// inside the mapping. Under AddressSanitizer a read outside would also abort.
TEST(BlockReader, RandomCorruptionNeverLeadsOutsideTheMapping) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> smallOffset(DATA - 64, DATA + 2048);
    std::uniform_int_distribution<int> smallCount(-2, 40);
    std::uniform_int_distribution<int> anyInt(-2147483647 - 1, 2147483647);
    std::uniform_int_distribution<int> coin(0, 3);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> lengthDist(DATA, DATA + 4096);
    std::size_t validSeen = 0;
    for (int round = 0; round < 300; ++round) {
        Mapping m(static_cast<std::size_t>(lengthDist(random)));
        for (std::size_t i = DATA; i < m.bytes.size(); ++i) m.bytes[i] = static_cast<std::byte>(byte(random));
        // Plausible offsets and counts inside the data area, so that many images are reached.
        auto aligned = [&] { return smallOffset(random) / 8 * 8; };
        for (std::size_t off = DATA; off + 88 <= m.bytes.size(); off += 88)
            m.put(off, image(0, smallCount(random), aligned(), smallCount(random), aligned(), smallCount(random),
                             coin(random) ? aligned() : anyInt(random)));
        AnalysisBlockHeader& h = m.header();
        h.componentCount = coin(random) ? 20 : anyInt(random);
        for (auto& e : h.components) {
            e.kind = coin(random) ? coin(random) % 3 : anyInt(random);
            e.count = coin(random) ? smallCount(random) / 4 : anyInt(random);
            e.dataOffset = coin(random) ? aligned() : anyInt(random);
        }
        const auto view = m.read();
        ASSERT_TRUE(view.has_value());
        const auto* lo = reinterpret_cast<const char*>(m.bytes.data()) + DATA;
        const auto* hi = reinterpret_cast<const char*>(m.bytes.data()) + m.bytes.size();
        auto inside = [&](const double* p, std::int64_t doubles) {
            const auto* b = reinterpret_cast<const char*>(p);
            return doubles == 0 || (b >= lo && b + doubles * 8 <= hi);
        };
        for (const auto& c : view->components) {
            if (!c.valid) continue;
            ++validSeen;
            EXPECT_TRUE(inside(c.cyclePoints.data, 2LL * c.cyclePoints.count));
            for (const auto& img : c.images) {
                EXPECT_TRUE(inside(img.octagon, 8) && inside(img.outerDisks.data, 3LL * img.outerDisks.count) &&
                            inside(img.innerDisks.data, 3LL * img.innerDisks.count) &&
                            inside(img.polyline.data, 2LL * img.polyline.count));
            }
        }
    }
    EXPECT_GT(validSeen, 0u);  // the generator does reach the accepting paths
}

}  // namespace
