// Byte layouts of the blocks the front end and the viewers share.
//
// Conventions
//  - Every record here is the exact image of a region of a named shared
//    memory block: little-endian, int = 32-bit signed, double = IEEE 754
//    binary64, strings zero-terminated UTF-8. Offsets are pinned below with
//    static_assert so a change of layout cannot go unnoticed.
//  - A fresh block is all zero bytes; bytes no field names stay zero.
//  - Complex numbers are stored as two parallel double arrays (real parts,
//    imaginary parts) indexed by position or by the power of z.
//  - Nothing here validates: a block mapped from another process may hold
//    anything. Readers go through block_reader.h, which checks every count
//    and offset against the mapped size before use.
//
// Thread-safety: plain data. Fields written by one thread while another
// reads them (busyState) are accessed through std::atomic_ref by their users.
#pragma once

#include <cstddef>
#include <cstdint>

namespace common {

inline constexpr int COEFFICIENT_COUNT = 11;       // powers 0..10
inline constexpr int MAX_DEGREE = 10;
inline constexpr int MAX_CRITICAL_POINTS = 41;
inline constexpr int MAX_FIXED_POINTS = 21;
inline constexpr int COMPONENT_TABLE_SIZE = 21;    // room in the block
inline constexpr int MAX_WRITTEN_COMPONENTS = 20;  // codes 1..20; 0 is infinity
inline constexpr int COLOUR_RECORD_COUNT = 21;     // indexed by component code 0..20
inline constexpr int EXCEPTION_ROW_COUNT = 10;
inline constexpr int TITLE_SIZE = 256;             // at most 255 bytes + NUL
inline constexpr int START_DIRECTORY_SIZE = 260;

inline constexpr std::uint32_t FRONT_END_BLOCK_SIZE = 1368;
inline constexpr std::uint32_t ANALYSIS_BLOCK_FIXED_SIZE = 12936;

// Component codes of a pixel.
inline constexpr int COMPONENT_INFINITY = 0;
inline constexpr int COMPONENT_UNKNOWN = 255;

enum class PictureKind : char { Mandelbrot = 'M', Julia = 'J' };

enum class ComponentKind : int { Cycle = 0, SiegelDisk = 1, HermanRing = 2 };

// Stability of a cycle. The engine records the first three.
enum class PointKind : int {
    SuperAttracting = 0,  // S_ATTRACTING
    Attracting = 1,       // ATTRACTING
    Indifferent = 2,      // INDIFFERENT
    Repelling = 3,        // REPELLING
};

// Map form as stored in a block.
inline constexpr int FORM_POLYNOMIAL = 1;  // denominator is the constant 1: R = P
inline constexpr int FORM_RATIONAL = 2;    // R = P / Q

struct RationalMap {                     // 368 bytes
    std::int32_t form;                   // FORM_POLYNOMIAL or FORM_RATIONAL
    std::int32_t numeratorDegree;        // 0..10, -1 when all coefficients are 0
    std::int32_t denominatorDegree;      // same rule
    std::uint8_t unused0[4];
    double numeratorRe[COEFFICIENT_COUNT];    // index = power of z
    double numeratorIm[COEFFICIENT_COUNT];
    double denominatorRe[COEFFICIENT_COUNT];
    double denominatorIm[COEFFICIENT_COUNT];
};

struct CriticalPointList {               // 712 bytes
    std::int32_t count;                  // at most MAX_CRITICAL_POINTS
    std::int32_t infinityIsCritical;     // 0 or 1
    double re[MAX_CRITICAL_POINTS];
    double im[MAX_CRITICAL_POINTS];
    std::uint8_t selected[MAX_CRITICAL_POINTS];  // 1 = chosen for a Mandelbrot picture
    std::uint8_t unused0[7];
};

struct FrontEndBlock {                   // "FData%u", 1368 bytes
    std::uint32_t frontEndProcessId;
    std::int32_t busyState;              // BUSY_* below
    std::int32_t mainWindow;             // message handle of the main dialog
    std::uint8_t displayForm;            // 0 = X + Yi, 1 = polar
    std::uint8_t unused0[3];
    std::int32_t reserved;
    std::uint8_t unused1[4];
    RationalMap currentMap;
    CriticalPointList criticalPoints;
    char startDirectory[START_DIRECTORY_SIZE];
    std::uint8_t unused2[4];
};

inline constexpr int BUSY_NEVER_RUN = 0;
inline constexpr int BUSY_IDLE = 1;
inline constexpr int BUSY_ANALYSING = 2;

struct ChannelCurve {                    // 28 bytes
    std::int32_t frame1Start;
    std::int32_t frame1End;
    std::int32_t frame2Start;
    std::int32_t frame2End;
    std::int32_t cycle;
    std::int32_t phase;
    std::int32_t distortion;
};

struct ExceptionColour {                 // 16 bytes; number -1 = row unused
    std::int32_t number;
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

struct ComponentColour {                 // 252 bytes
    std::int32_t lowCount;
    std::int32_t highCount;
    ChannelCurve redCurve;
    ChannelCurve greenCurve;
    ChannelCurve blueCurve;
    ExceptionColour exceptions[EXCEPTION_ROW_COUNT];
};

struct ViewRecord {                      // 5368 bytes
    std::int32_t loopCount;
    std::uint8_t unused0[4];
    double fixedTolerance;
    double convergenceRadius;
    double continuityDistance;
    std::int32_t pictureWidth;
    std::int32_t pictureHeight;
    double magnification;                // pixels per unit divided by pictureWidth
    double centreRe;
    double centreIm;
    std::int32_t reserved;
    std::int32_t unknownColour;          // colour word
    ComponentColour colours[COLOUR_RECORD_COUNT];
    std::uint8_t unused1[4];
};

struct ComponentEntry {                  // 20 bytes
    std::int32_t kind;                   // ComponentKind
    std::int32_t count;                  // period / curves / curve pairs
    std::int32_t pointKind;              // PointKind, cycles only
    std::int32_t toInfinity;             // cycles only
    std::int32_t dataOffset;             // from the start of the block
};

struct CurveImage {                      // 88 bytes
    // Octagon bounds: max re, min re, max im, min im, max (re+im),
    // min (re+im), max (re-im), min (re-im).
    double octagon[8];
    std::int32_t outerDiskCount;
    std::int32_t outerDiskOffset;
    std::int32_t innerDiskCount;
    std::int32_t innerDiskOffset;
    std::int32_t polylineCount;
    std::int32_t polylineOffset;
};

inline constexpr int OCTAGON_MAX_RE = 0;
inline constexpr int OCTAGON_MIN_RE = 1;
inline constexpr int OCTAGON_MAX_IM = 2;
inline constexpr int OCTAGON_MIN_IM = 3;
inline constexpr int OCTAGON_MAX_SUM = 4;
inline constexpr int OCTAGON_MIN_SUM = 5;
inline constexpr int OCTAGON_MAX_DIFF = 6;
inline constexpr int OCTAGON_MIN_DIFF = 7;

inline constexpr int DISK_RECORD_SIZE = 24;      // centre re, centre im, squared radius
inline constexpr int POLYLINE_POINT_SIZE = 16;   // re, im
inline constexpr int CYCLE_POINT_SIZE = 16;      // re, im
inline constexpr int GROUP_HEADER_SIZE = 8;      // int count + 4 unused bytes

// The fixed part of an "PData%d_%u" block; component data follow at 12936.
struct AnalysisBlockHeader {             // 12936 bytes
    std::uint32_t blockSize;
    char pictureKind;                    // PictureKind
    std::uint8_t unused0[3];
    std::int32_t viewerWindow;           // message handle of the viewer's frame
    std::uint8_t unused1[4];
    RationalMap map;
    std::int32_t criticalPointCount;
    std::int32_t infinityIsCritical;
    double criticalRe[MAX_CRITICAL_POINTS];
    double criticalIm[MAX_CRITICAL_POINTS];
    std::uint8_t unused2[48];
    std::int32_t fixedPointCount;
    std::uint8_t unused3[4];
    double fixedRe[MAX_FIXED_POINTS];
    double fixedIm[MAX_FIXED_POINTS];
    ViewRecord drawnView;                // view when drawing last started; requests
    ViewRecord currentView;
    std::uint8_t unused4[16];
    std::int32_t componentCount;
    ComponentEntry components[COMPONENT_TABLE_SIZE];
    char title[TITLE_SIZE];
    std::uint8_t reserved;
    std::uint8_t unused5[63];
};

static_assert(sizeof(RationalMap) == 368);
static_assert(offsetof(RationalMap, numeratorDegree) == 4);
static_assert(offsetof(RationalMap, denominatorDegree) == 8);
static_assert(offsetof(RationalMap, numeratorRe) == 16);
static_assert(offsetof(RationalMap, numeratorIm) == 104);
static_assert(offsetof(RationalMap, denominatorRe) == 192);
static_assert(offsetof(RationalMap, denominatorIm) == 280);

static_assert(sizeof(CriticalPointList) == 712);
static_assert(offsetof(CriticalPointList, infinityIsCritical) == 4);
static_assert(offsetof(CriticalPointList, re) == 8);
static_assert(offsetof(CriticalPointList, im) == 336);
static_assert(offsetof(CriticalPointList, selected) == 664);

static_assert(sizeof(FrontEndBlock) == FRONT_END_BLOCK_SIZE);
static_assert(offsetof(FrontEndBlock, busyState) == 4);
static_assert(offsetof(FrontEndBlock, mainWindow) == 8);
static_assert(offsetof(FrontEndBlock, displayForm) == 12);
static_assert(offsetof(FrontEndBlock, reserved) == 16);
static_assert(offsetof(FrontEndBlock, currentMap) == 24);
static_assert(offsetof(FrontEndBlock, criticalPoints) == 392);
static_assert(offsetof(FrontEndBlock, startDirectory) == 1104);

static_assert(sizeof(ChannelCurve) == 28);
static_assert(sizeof(ExceptionColour) == 16);
static_assert(sizeof(ComponentColour) == 252);
static_assert(offsetof(ComponentColour, redCurve) == 8);
static_assert(offsetof(ComponentColour, greenCurve) == 36);
static_assert(offsetof(ComponentColour, blueCurve) == 64);
static_assert(offsetof(ComponentColour, exceptions) == 92);
static_assert(offsetof(ComponentColour, highCount) == 4);
static_assert(offsetof(ChannelCurve, distortion) == 24);
static_assert(offsetof(ExceptionColour, blue) == 12);

static_assert(sizeof(ViewRecord) == 5368);
static_assert(offsetof(ViewRecord, fixedTolerance) == 8);
static_assert(offsetof(ViewRecord, convergenceRadius) == 16);
static_assert(offsetof(ViewRecord, continuityDistance) == 24);
static_assert(offsetof(ViewRecord, pictureWidth) == 32);
static_assert(offsetof(ViewRecord, pictureHeight) == 36);
static_assert(offsetof(ViewRecord, magnification) == 40);
static_assert(offsetof(ViewRecord, centreRe) == 48);
static_assert(offsetof(ViewRecord, centreIm) == 56);
static_assert(offsetof(ViewRecord, reserved) == 64);
static_assert(offsetof(ViewRecord, unknownColour) == 68);
static_assert(offsetof(ViewRecord, colours) == 72);

static_assert(sizeof(ComponentEntry) == 20);
static_assert(offsetof(ComponentEntry, count) == 4);
static_assert(offsetof(ComponentEntry, pointKind) == 8);
static_assert(offsetof(ComponentEntry, toInfinity) == 12);
static_assert(offsetof(ComponentEntry, dataOffset) == 16);

static_assert(sizeof(CurveImage) == 88);
static_assert(offsetof(CurveImage, outerDiskCount) == 64);
static_assert(offsetof(CurveImage, outerDiskOffset) == 68);
static_assert(offsetof(CurveImage, innerDiskCount) == 72);
static_assert(offsetof(CurveImage, innerDiskOffset) == 76);
static_assert(offsetof(CurveImage, polylineCount) == 80);
static_assert(offsetof(CurveImage, polylineOffset) == 84);

static_assert(sizeof(AnalysisBlockHeader) == ANALYSIS_BLOCK_FIXED_SIZE);
static_assert(offsetof(AnalysisBlockHeader, pictureKind) == 4);
static_assert(offsetof(AnalysisBlockHeader, viewerWindow) == 8);
static_assert(offsetof(AnalysisBlockHeader, map) == 16);
static_assert(offsetof(AnalysisBlockHeader, criticalPointCount) == 384);
static_assert(offsetof(AnalysisBlockHeader, infinityIsCritical) == 388);
static_assert(offsetof(AnalysisBlockHeader, criticalRe) == 392);
static_assert(offsetof(AnalysisBlockHeader, criticalIm) == 720);
static_assert(offsetof(AnalysisBlockHeader, fixedPointCount) == 1096);
static_assert(offsetof(AnalysisBlockHeader, fixedRe) == 1104);
static_assert(offsetof(AnalysisBlockHeader, fixedIm) == 1272);
static_assert(offsetof(AnalysisBlockHeader, drawnView) == 1440);
static_assert(offsetof(AnalysisBlockHeader, currentView) == 6808);
static_assert(offsetof(AnalysisBlockHeader, componentCount) == 12192);
static_assert(offsetof(AnalysisBlockHeader, components) == 12196);
static_assert(offsetof(AnalysisBlockHeader, title) == 12616);
static_assert(offsetof(AnalysisBlockHeader, reserved) == 12872);
static_assert(offsetof(AnalysisBlockHeader, unused5) == 12873);
static_assert(offsetof(AnalysisBlockHeader, unused2) == 1048);
static_assert(offsetof(AnalysisBlockHeader, unused4) == 12176);
static_assert(offsetof(FrontEndBlock, frontEndProcessId) == 0);
static_assert(offsetof(FrontEndBlock, unused2) == 1364);
static_assert(offsetof(CriticalPointList, unused0) == 705);
static_assert(offsetof(ViewRecord, unused1) == 5364);

}  // namespace common
