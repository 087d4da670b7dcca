// Checked read access to the shared blocks.
//
// A block mapped from another process may hold anything, so nothing in it is
// used before it has been checked against the mapped length:
//  - componentCount is clamped to 0..20 (MAX_WRITTEN_COMPONENTS), critical
//    point counts to 0..41, fixed point counts to 0..21, degrees to -1..10;
//  - every component entry's data, and for curve groups every CurveImage and
//    each of its disk and polyline arrays, must lie wholly inside
//    [ANALYSIS_BLOCK_FIXED_SIZE, mappedLength), start on an 8-byte boundary
//    and have a non-negative count, all computed in 64-bit arithmetic;
//    otherwise the entry reads as invalid (its pixels are unknown);
//  - the title and startDirectory are read with a length bound.
//
// The views below are snapshots of the counts and offsets taken when the
// block is read; their pointers refer into the mapping, so the arrays they
// describe stay inside the mapping even if another process rewrites the
// counts later. The values in the arrays are read live. A view is valid as
// long as the mapping it was read from.
//
// The base address must be 8-byte aligned (a mapping always is); a misaligned
// or null base reads as no block at all.
//
// Thread-safety: reading is pure; the resulting views may be shared between
// threads for reading.
#pragma once

#include "common/block_layout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace common {

// count {re, im} pairs, interleaved as the block stores them.
struct PointArray {
    const double* data = nullptr;
    int count = 0;
    double re(int i) const { return data[2 * i]; }
    double im(int i) const { return data[2 * i + 1]; }
};

// count {centre re, centre im, squared radius} records.
struct DiskArray {
    const double* data = nullptr;
    int count = 0;
    double centreRe(int i) const { return data[3 * i]; }
    double centreIm(int i) const { return data[3 * i + 1]; }
    double radiusSquared(int i) const { return data[3 * i + 2]; }
};

// One CurveImage with its arrays. The polyline may have fewer than two
// vertices; membership tests treat such a curve as containing nothing.
struct CurveImageView {
    const double* octagon = nullptr;  // 8 bounds, indexed by OCTAGON_*
    DiskArray outerDisks;
    DiskArray innerDisks;
    PointArray polyline;
};

struct ComponentView {
    int kind = -1;        // as stored; meaningful as ComponentKind only when valid
    int count = 0;        // as stored: period, curves or curve pairs
    int pointKind = 0;    // as stored (cycles)
    int toInfinity = 0;   // as stored (cycles)
    bool valid = false;   // kind is 0, 1 or 2 and all its data lie inside the block
    PointArray cyclePoints;              // kind Cycle: count points in orbit order
    // kind SiegelDisk: count images; kind HermanRing: 2 * count images, pairs
    // of (inner "In" curve, outer "Out" curve).
    std::vector<CurveImageView> images;

    ComponentKind componentKind() const { return static_cast<ComponentKind>(kind); }
};

struct FixedPoints {
    int count = 0;  // 0..MAX_FIXED_POINTS
    double re[MAX_FIXED_POINTS] = {};
    double im[MAX_FIXED_POINTS] = {};
};

// A RationalMap copy with both degrees clamped to -1..MAX_DEGREE (the form is
// kept as stored; users treat forms other than 1 and 2 as invalid).
RationalMap checkedMap(const RationalMap& stored);

// A CriticalPointList copy with the count clamped to 0..MAX_CRITICAL_POINTS.
CriticalPointList checkedCriticalPoints(const CriticalPointList& stored);

// Reads a zero-terminated text of a field of fieldSize bytes. Without a
// terminating zero the text is cut to maxBytes (on a UTF-8 boundary).
std::string boundedText(const char* field, std::size_t fieldSize, std::size_t maxBytes);

struct AnalysisBlockView {
    // The block itself, for the fields the viewer writes (viewerWindow,
    // drawnView, currentView) and reads as they change.
    AnalysisBlockHeader* header = nullptr;
    std::size_t mappedLength = 0;

    std::uint32_t blockSize = 0;     // as stored; not trusted for anything
    char pictureKind = 0;            // as stored ('M', 'J' or anything)
    RationalMap map{};               // degrees clamped
    CriticalPointList criticalPoints{};  // count clamped; selection bytes zero
    FixedPoints fixedPoints;         // count clamped
    std::vector<ComponentView> components;  // componentCount clamped to 0..20
    std::string title;               // at most 255 bytes
};

// Reads the AnalysisBlock at base, mapped with mappedLength bytes.
// nullopt when base is null or misaligned or mappedLength is below
// ANALYSIS_BLOCK_FIXED_SIZE.
std::optional<AnalysisBlockView> readAnalysisBlock(void* base, std::size_t mappedLength);

struct FrontEndBlockView {
    FrontEndBlock* block = nullptr;  // for busyState (read with readBusyState)
    std::uint32_t frontEndProcessId = 0;
    std::int32_t mainWindow = 0;
    std::uint8_t displayForm = 0;
    RationalMap currentMap{};            // degrees clamped
    CriticalPointList criticalPoints{};  // count clamped, with selection bytes
    std::string startDirectory;          // empty when not zero-terminated
};

// Reads the FrontEndBlock at base; nullopt when base is null or misaligned or
// mappedLength is below FRONT_END_BLOCK_SIZE.
std::optional<FrontEndBlockView> readFrontEndBlock(void* base, std::size_t mappedLength);

// busyState as it is now (it changes while a viewer runs).
int readBusyState(const FrontEndBlock& block);
void writeBusyState(FrontEndBlock& block, int state);

}  // namespace common
