#include "common/block_reader.h"

#include "common/number_text.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace common {
namespace {

constexpr std::int64_t DATA_ALIGNMENT = 8;
constexpr std::int64_t CURVE_IMAGE_SIZE = static_cast<std::int64_t>(sizeof(CurveImage));

bool isAligned(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % DATA_ALIGNMENT == 0; }

// Checked access to the component data area of one mapping.
class DataArea {
public:
    DataArea(const std::byte* base, std::size_t length)
        : base_(base), length_(static_cast<std::int64_t>(length)) {}

    // Pointer to count records of recordSize bytes at offset, or null when
    // any of them would lie outside the data area.
    const std::byte* records(std::int64_t offset, std::int64_t count, std::int64_t recordSize) const {
        if (count < 0 || offset < static_cast<std::int64_t>(ANALYSIS_BLOCK_FIXED_SIZE)) return nullptr;
        if (offset % DATA_ALIGNMENT != 0) return nullptr;
        // offset and count come from 32-bit fields and recordSize is small, so
        // none of this can overflow 64 bits.
        if (offset + count * recordSize > length_) return nullptr;
        return base_ + offset;
    }

private:
    const std::byte* base_;
    std::int64_t length_;
};

bool readPointArray(const DataArea& area, std::int32_t offset, std::int32_t count, PointArray& out) {
    const std::byte* p = area.records(offset, count, POLYLINE_POINT_SIZE);
    if (!p) return false;
    out.data = reinterpret_cast<const double*>(p);
    out.count = count;
    return true;
}

bool readDiskArray(const DataArea& area, std::int32_t offset, std::int32_t count, DiskArray& out) {
    const std::byte* p = area.records(offset, count, DISK_RECORD_SIZE);
    if (!p) return false;
    out.data = reinterpret_cast<const double*>(p);
    out.count = count;
    return true;
}

// Reads imageCount CurveImages starting at first; false when any image or
// any of its arrays lies outside the data area.
bool readImages(const DataArea& area, const std::byte* first, std::int64_t imageCount,
                std::vector<CurveImageView>& out) {
    out.clear();
    out.reserve(static_cast<std::size_t>(imageCount));
    for (std::int64_t i = 0; i < imageCount; ++i) {
        const std::byte* at = first + i * CURVE_IMAGE_SIZE;
        CurveImage image;  // snapshot of counts and offsets
        std::memcpy(&image, at, sizeof image);
        CurveImageView view;
        view.octagon = reinterpret_cast<const double*>(at + offsetof(CurveImage, octagon));
        if (!readDiskArray(area, image.outerDiskOffset, image.outerDiskCount, view.outerDisks) ||
            !readDiskArray(area, image.innerDiskOffset, image.innerDiskCount, view.innerDisks) ||
            !readPointArray(area, image.polylineOffset, image.polylineCount, view.polyline)) {
            out.clear();
            return false;
        }
        out.push_back(view);
    }
    return true;
}

ComponentView readComponent(const DataArea& area, const ComponentEntry& entry) {
    ComponentView view;
    view.kind = entry.kind;
    view.count = entry.count;
    view.pointKind = entry.pointKind;
    view.toInfinity = entry.toInfinity;
    switch (entry.kind) {
    case static_cast<int>(ComponentKind::Cycle):
        view.valid = readPointArray(area, entry.dataOffset, entry.count, view.cyclePoints);
        break;
    case static_cast<int>(ComponentKind::SiegelDisk):
    case static_cast<int>(ComponentKind::HermanRing): {
        // The entry's count is the one that counts; the group header repeats it.
        const std::int64_t imageCount =
            entry.kind == static_cast<int>(ComponentKind::HermanRing) ? 2LL * entry.count : entry.count;
        if (imageCount < 0) break;
        const std::byte* group =
            area.records(entry.dataOffset, 1, GROUP_HEADER_SIZE + imageCount * CURVE_IMAGE_SIZE);
        if (!group) break;
        view.valid = readImages(area, group + GROUP_HEADER_SIZE, imageCount, view.images);
        break;
    }
    default:
        break;
    }
    if (!view.valid) {
        view.cyclePoints = {};
        view.images.clear();
    }
    return view;
}

int clampInt(int v, int lo, int hi) { return std::clamp(v, lo, hi); }

}  // namespace

RationalMap checkedMap(const RationalMap& stored) {
    RationalMap map = stored;
    map.numeratorDegree = clampInt(map.numeratorDegree, -1, MAX_DEGREE);
    map.denominatorDegree = clampInt(map.denominatorDegree, -1, MAX_DEGREE);
    return map;
}

CriticalPointList checkedCriticalPoints(const CriticalPointList& stored) {
    CriticalPointList list = stored;
    list.count = clampInt(list.count, 0, MAX_CRITICAL_POINTS);
    return list;
}

std::string boundedText(const char* field, std::size_t fieldSize, std::size_t maxBytes) {
    const void* end = std::memchr(field, 0, fieldSize);
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : fieldSize;
    return cutUtf8(std::string_view(field, length), maxBytes);
}

std::optional<AnalysisBlockView> readAnalysisBlock(void* base, std::size_t mappedLength) {
    if (!base || !isAligned(base) || mappedLength < ANALYSIS_BLOCK_FIXED_SIZE) return std::nullopt;
    AnalysisBlockView view;
    view.header = static_cast<AnalysisBlockHeader*>(base);
    view.mappedLength = mappedLength;
    const AnalysisBlockHeader& h = *view.header;

    view.blockSize = h.blockSize;
    view.pictureKind = h.pictureKind;
    view.map = checkedMap(h.map);

    view.criticalPoints = {};
    view.criticalPoints.count = clampInt(h.criticalPointCount, 0, MAX_CRITICAL_POINTS);
    view.criticalPoints.infinityIsCritical = h.infinityIsCritical;
    std::memcpy(view.criticalPoints.re, h.criticalRe, sizeof h.criticalRe);
    std::memcpy(view.criticalPoints.im, h.criticalIm, sizeof h.criticalIm);

    view.fixedPoints.count = clampInt(h.fixedPointCount, 0, MAX_FIXED_POINTS);
    std::memcpy(view.fixedPoints.re, h.fixedRe, sizeof h.fixedRe);
    std::memcpy(view.fixedPoints.im, h.fixedIm, sizeof h.fixedIm);

    const DataArea area(static_cast<const std::byte*>(base), mappedLength);
    const int componentCount = clampInt(h.componentCount, 0, MAX_WRITTEN_COMPONENTS);
    view.components.reserve(static_cast<std::size_t>(componentCount));
    for (int i = 0; i < componentCount; ++i) {
        ComponentEntry entry;
        std::memcpy(&entry, &h.components[i], sizeof entry);
        view.components.push_back(readComponent(area, entry));
    }

    view.title = boundedText(h.title, TITLE_SIZE, TITLE_SIZE - 1);
    return view;
}

std::optional<FrontEndBlockView> readFrontEndBlock(void* base, std::size_t mappedLength) {
    if (!base || !isAligned(base) || mappedLength < FRONT_END_BLOCK_SIZE) return std::nullopt;
    FrontEndBlockView view;
    view.block = static_cast<FrontEndBlock*>(base);
    const FrontEndBlock& b = *view.block;
    view.frontEndProcessId = b.frontEndProcessId;
    view.mainWindow = b.mainWindow;
    view.displayForm = b.displayForm;
    view.currentMap = checkedMap(b.currentMap);
    view.criticalPoints = checkedCriticalPoints(b.criticalPoints);
    // A directory that does not fit its field is no directory.
    if (std::memchr(b.startDirectory, 0, START_DIRECTORY_SIZE))
        view.startDirectory = b.startDirectory;
    return view;
}

int readBusyState(const FrontEndBlock& block) {
    return std::atomic_ref<std::int32_t>(const_cast<std::int32_t&>(block.busyState)).load();
}

void writeBusyState(FrontEndBlock& block, int state) {
    std::atomic_ref<std::int32_t>(block.busyState).store(state);
}

}  // namespace common
