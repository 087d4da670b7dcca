#include "frontend/block_writer.h"

#include "common/block_reader.h"
#include "common/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace frontend {
namespace {

using common::AnalysisBlockHeader;
using common::ComponentKind;

constexpr char KIND_JULIA = static_cast<char>(common::PictureKind::Julia);

// Offsets are 32-bit ints in the block: a block never grows beyond them.
constexpr std::size_t MAX_BLOCK_SIZE = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

std::size_t curveArrayBytes(const analysis::ClosedCurve& c) {
    return DISK_BYTES * (c.outerDisks.size() + c.innerDisks.size()) +
           POLYLINE_POINT_BYTES * static_cast<std::size_t>(c.pointCount());
}

int cyclePointCount(const analysis::Cycle& cycle) {
    const std::size_t n = std::min({static_cast<std::size_t>(std::max(cycle.period, 0)), cycle.re.size(),
                                    cycle.im.size()});
    return static_cast<int>(n);
}

const analysis::ClosedCurve* curveAt(const analysis::CurveSet& set, int entry, int curve) {
    if (entry < 0 || entry >= static_cast<int>(set.entries.size())) return nullptr;
    const auto& curves = set.entries[static_cast<std::size_t>(entry)].curves;
    if (curve < 0 || curve >= static_cast<int>(curves.size())) return nullptr;
    return &curves[static_cast<std::size_t>(curve)];
}

// Bytes written from `offset` on, with a running offset.
class DataWriter {
public:
    DataWriter(unsigned char* base, std::size_t offset) : base_(base), offset_(offset) {}
    std::int32_t offset() const { return static_cast<std::int32_t>(offset_); }
    void putInt(std::int32_t v) {
        std::memcpy(base_ + offset_, &v, sizeof v);
        offset_ += sizeof v;
    }
    void skip(std::size_t bytes) { offset_ += bytes; }
    void putDouble(double v) {
        std::memcpy(base_ + offset_, &v, sizeof v);
        offset_ += sizeof v;
    }
    void putImage(std::size_t at, const common::CurveImage& image) { std::memcpy(base_ + at, &image, sizeof image); }

private:
    unsigned char* base_;
    std::size_t offset_;
};

void writeCurveArrays(DataWriter& out, const analysis::ClosedCurve& curve, common::CurveImage& image) {
    image.outerDiskCount = static_cast<std::int32_t>(curve.outerDisks.size());
    image.outerDiskOffset = out.offset();
    for (const analysis::CurveDisk& d : curve.outerDisks) {
        out.putDouble(d.re);
        out.putDouble(d.im);
        out.putDouble(d.radiusSquared);
    }
    image.innerDiskCount = static_cast<std::int32_t>(curve.innerDisks.size());
    image.innerDiskOffset = out.offset();
    for (const analysis::CurveDisk& d : curve.innerDisks) {
        out.putDouble(d.re);
        out.putDouble(d.im);
        out.putDouble(d.radiusSquared);
    }
    image.polylineCount = curve.pointCount();
    image.polylineOffset = out.offset();
    for (int i = 0; i < curve.pointCount(); ++i) {
        out.putDouble(curve.re[static_cast<std::size_t>(i)]);
        out.putDouble(curve.im[static_cast<std::size_t>(i)]);
    }
}

common::CurveImage imageHeader(const analysis::ClosedCurve& curve) {
    common::CurveImage image{};
    const analysis::Octagon& o = curve.octagon;
    image.octagon[common::OCTAGON_MAX_RE] = o.maxRe;
    image.octagon[common::OCTAGON_MIN_RE] = o.minRe;
    image.octagon[common::OCTAGON_MAX_IM] = o.maxIm;
    image.octagon[common::OCTAGON_MIN_IM] = o.minIm;
    image.octagon[common::OCTAGON_MAX_SUM] = o.maxSum;
    image.octagon[common::OCTAGON_MIN_SUM] = o.minSum;
    image.octagon[common::OCTAGON_MAX_DIFF] = o.maxDiff;
    image.octagon[common::OCTAGON_MIN_DIFF] = o.minDiff;
    return image;
}

// Writes one component's data at the writer's offset and fills its entry.
void writeComponent(DataWriter& out, const PlannedComponent& c, common::ComponentEntry& entry) {
    entry.kind = static_cast<std::int32_t>(c.kind);
    entry.count = c.count();
    entry.dataOffset = out.offset();
    if (c.kind == ComponentKind::Cycle) {
        entry.pointKind = static_cast<std::int32_t>(c.cycle->kind);
        entry.toInfinity = c.cycle->toInfinity;
        for (int i = 0; i < entry.count; ++i) {
            out.putDouble(c.cycle->re[static_cast<std::size_t>(i)]);
            out.putDouble(c.cycle->im[static_cast<std::size_t>(i)]);
        }
        return;
    }
    // Group: count, 4 unused bytes, the images, then each curve's arrays.
    const std::size_t groupStart = static_cast<std::size_t>(out.offset());
    out.putInt(entry.count);
    out.skip(common::GROUP_HEADER_SIZE - sizeof(std::int32_t));
    out.skip(sizeof(common::CurveImage) * c.curves.size());
    for (std::size_t i = 0; i < c.curves.size(); ++i) {
        common::CurveImage image = imageHeader(*c.curves[i]);
        writeCurveArrays(out, *c.curves[i], image);
        out.putImage(groupStart + common::GROUP_HEADER_SIZE + i * sizeof(common::CurveImage), image);
    }
}

void writeMapAndCriticalPoints(AnalysisBlockHeader& h, const PictureContent& content) {
    h.map = content.map;
    std::memset(h.map.unused0, 0, sizeof h.map.unused0);
    const common::CriticalPointList& list = content.criticalPoints;
    const int count = std::clamp(list.count, 0, common::MAX_CRITICAL_POINTS);
    h.criticalPointCount = count;
    h.infinityIsCritical = list.infinityIsCritical;
    std::copy(list.re, list.re + count, h.criticalRe);
    std::copy(list.im, list.im + count, h.criticalIm);
}

void writeFixedPoints(AnalysisBlockHeader& h, const analysis::FixedPointList& fixed) {
    const int available = static_cast<int>(std::min(fixed.re.size(), fixed.im.size()));
    const int count = std::clamp(std::min(fixed.count, available), 0, common::MAX_FIXED_POINTS);
    h.fixedPointCount = count;
    for (int i = 0; i < count; ++i) {
        h.fixedRe[i] = fixed.re[static_cast<std::size_t>(i)];
        h.fixedIm[i] = fixed.im[static_cast<std::size_t>(i)];
    }
}

}  // namespace

int PlannedComponent::count() const {
    switch (kind) {
    case ComponentKind::Cycle: return cycle ? cyclePointCount(*cycle) : 0;
    case ComponentKind::SiegelDisk: return static_cast<int>(curves.size());
    case ComponentKind::HermanRing: return static_cast<int>(curves.size() / 2);
    }
    return 0;
}

std::size_t PlannedComponent::sizedBytes() const {
    switch (kind) {
    case ComponentKind::Cycle: return CYCLE_POINT_BYTES * static_cast<std::size_t>(count());
    case ComponentKind::SiegelDisk: {
        std::size_t bytes = 0;
        for (const auto* c : curves) bytes += SIEGEL_CURVE_BYTES + curveArrayBytes(*c);
        return bytes;
    }
    case ComponentKind::HermanRing: {
        std::size_t bytes = HERMAN_PAIR_BYTES * (curves.size() / 2);
        for (const auto* c : curves) bytes += curveArrayBytes(*c);
        return bytes;
    }
    }
    return 0;
}

std::vector<PlannedComponent> planComponents(const analysis::JuliaAnalysis& julia) {
    std::vector<PlannedComponent> plan;
    std::size_t size = common::ANALYSIS_BLOCK_FIXED_SIZE;
    auto add = [&](PlannedComponent c) {
        if (plan.size() >= static_cast<std::size_t>(common::MAX_WRITTEN_COMPONENTS)) return;
        const std::size_t bytes = c.sizedBytes();
        if (bytes > MAX_BLOCK_SIZE - size) return;  // would not be addressable
        size += bytes;
        plan.push_back(std::move(c));
    };

    // Cycles in list order; the entry for infinity is not a cycle of points.
    for (const analysis::Cycle& cycle : julia.orbits.cycles.cycles) {
        if (cycle.period <= 0 || cycle.toInfinity != 0 || cyclePointCount(cycle) <= 0) continue;
        PlannedComponent c;
        c.kind = ComponentKind::Cycle;
        c.cycle = &cycle;
        add(std::move(c));
    }

    const auto groups = analysis::groupRotationDomains(julia.domains);
    const analysis::CurveSet& set = julia.orbits.curves;
    for (const ComponentKind kind : {ComponentKind::SiegelDisk, ComponentKind::HermanRing}) {
        for (const analysis::RotationDomainGroup& g : groups) {
            if (g.kind != kind) continue;
            PlannedComponent c;
            c.kind = kind;
            for (int member : g.members) {
                if (kind == ComponentKind::SiegelDisk) {
                    if (member < 0 || member >= static_cast<int>(julia.domains.siegelDisks.size())) continue;
                    const analysis::SiegelDisk& d = julia.domains.siegelDisks[static_cast<std::size_t>(member)];
                    if (const auto* curve = curveAt(set, d.entry, d.curve)) c.curves.push_back(curve);
                } else {
                    if (member < 0 || member >= static_cast<int>(julia.domains.hermanRings.size())) continue;
                    const analysis::HermanRing& r = julia.domains.hermanRings[static_cast<std::size_t>(member)];
                    const auto* inner = curveAt(set, r.innerEntry, r.innerCurve);
                    const auto* outer = curveAt(set, r.outerEntry, r.outerCurve);
                    if (inner && outer) {
                        c.curves.push_back(inner);
                        c.curves.push_back(outer);
                    }
                }
            }
            if (!c.curves.empty()) add(std::move(c));
        }
    }
    return plan;
}

std::size_t pictureBlockSize(const PictureContent& content) {
    std::size_t size = common::ANALYSIS_BLOCK_FIXED_SIZE;
    if (content.kind == KIND_JULIA && content.julia)
        for (const PlannedComponent& c : planComponents(*content.julia)) size += c.sizedBytes();
    return size;
}

PictureWindow mandelbrotWindow() {
    PictureWindow w;
    const double side = 2.0 * MANDELBROT_HALF_SIDE;
    w.magnification = 1.0 / (2.0 * side);
    return w;
}

PictureWindow juliaWindow(const common::CriticalPointList& criticalPoints, const analysis::FixedPointList& fixedPoints) {
    double minRe = 0, maxRe = 0, minIm = 0, maxIm = 0;
    bool any = false;
    auto include = [&](double re, double im) {
        if (!std::isfinite(re) || !std::isfinite(im)) return;
        if (!any) {
            minRe = maxRe = re;
            minIm = maxIm = im;
            any = true;
            return;
        }
        minRe = std::min(minRe, re);
        maxRe = std::max(maxRe, re);
        minIm = std::min(minIm, im);
        maxIm = std::max(maxIm, im);
    };
    const int fixedCount = std::clamp(
        std::min(fixedPoints.count, static_cast<int>(std::min(fixedPoints.re.size(), fixedPoints.im.size()))), 0,
        common::MAX_FIXED_POINTS);
    // The box is seeded with fixed point entry 0, which is 0 when none was found.
    if (fixedCount > 0)
        include(fixedPoints.re[0], fixedPoints.im[0]);
    else
        include(0.0, 0.0);
    for (int i = 0; i < fixedCount; ++i) include(fixedPoints.re[static_cast<std::size_t>(i)], fixedPoints.im[static_cast<std::size_t>(i)]);
    const int criticalCount = std::clamp(criticalPoints.count, 0, common::MAX_CRITICAL_POINTS);
    for (int i = 0; i < criticalCount; ++i) include(criticalPoints.re[i], criticalPoints.im[i]);

    PictureWindow w;
    w.centreRe = (minRe + maxRe) / 2.0;
    w.centreIm = (minIm + maxIm) / 2.0;
    double side = std::max(maxRe - minRe, maxIm - minIm);
    if (!std::isfinite(w.centreRe) || !std::isfinite(w.centreIm)) {
        // Points near the ends of the double range: halve first.
        w.centreRe = minRe / 2.0 + maxRe / 2.0;
        w.centreIm = minIm / 2.0 + maxIm / 2.0;
    }
    if (side == 0.0) side = FLAT_WINDOW_SIDE;
    w.magnification = 1.0 / (2.0 * side);
    if (!(w.magnification > 0.0)) w.magnification = std::numeric_limits<double>::min();
    return w;
}

void writeDefaultColours(common::ViewRecord& view, int loopCount) {
    for (common::ComponentColour& c : view.colours) {
        c.lowCount = 0;
        c.highCount = loopCount;
        c.redCurve = DEFAULT_RED_CURVE;
        c.greenCurve = DEFAULT_GREEN_CURVE;
        c.blueCurve = DEFAULT_BLUE_CURVE;
        for (common::ExceptionColour& e : c.exceptions) e = {UNUSED_EXCEPTION_ROW, 0, 0, 0};
    }
}

bool writePictureBlock(void* memory, std::size_t size, const PictureContent& content) {
    const bool julia = content.kind == KIND_JULIA;
    std::vector<PlannedComponent> plan;
    if (julia && content.julia) plan = planComponents(*content.julia);
    std::size_t needed = common::ANALYSIS_BLOCK_FIXED_SIZE;
    for (const PlannedComponent& c : plan) needed += c.sizedBytes();
    if (!memory || size < needed) return false;

    auto* bytes = static_cast<unsigned char*>(memory);
    std::memset(bytes, 0, size);
    AnalysisBlockHeader& h = *static_cast<AnalysisBlockHeader*>(memory);

    h.blockSize = static_cast<std::uint32_t>(needed);
    h.pictureKind = content.kind;
    const std::string title = common::cutUtf8(content.title, MAX_TITLE_BYTES);
    std::memcpy(h.title, title.data(), title.size());
    writeMapAndCriticalPoints(h, content);

    common::ViewRecord& view = h.currentView;
    const int loopCount = julia ? JULIA_LOOP_COUNT : MANDELBROT_LOOP_COUNT;
    view.loopCount = loopCount;
    view.fixedTolerance = FIXED_TOLERANCE;
    view.convergenceRadius = content.convergenceRadius;
    view.continuityDistance = content.continuityDistance;
    view.pictureWidth = content.pictureWidth;
    view.pictureHeight = content.pictureHeight;
    view.reserved = 0;
    view.unknownColour = 0;

    writeFixedPoints(h, content.fixedPoints);
    const PictureWindow window = julia ? juliaWindow(content.criticalPoints, content.fixedPoints) : mandelbrotWindow();
    view.magnification = window.magnification;
    view.centreRe = window.centreRe;
    view.centreIm = window.centreIm;
    writeDefaultColours(view, loopCount);

    DataWriter out(bytes, common::ANALYSIS_BLOCK_FIXED_SIZE);
    h.componentCount = 0;
    for (const PlannedComponent& c : plan) {
        writeComponent(out, c, h.components[h.componentCount]);
        ++h.componentCount;
    }
    return true;
}

std::string derivedTitle(char kind, int childCount, std::string_view parentTitle) {
    std::string title(1, kind);
    title += std::to_string(childCount);
    title += "\xE2\x86\x90";  // "←"
    title += parentTitle;
    return common::cutUtf8(title, MAX_TITLE_BYTES);
}

std::string derivedTitle(char kind, int childCount, const char (&parentTitle)[common::TITLE_SIZE]) {
    return derivedTitle(kind, childCount, common::boundedText(parentTitle, common::TITLE_SIZE, MAX_TITLE_BYTES));
}

bool copyPictureBlock(void* to, const void* from, std::size_t size, const std::string& title) {
    if (!to || !from || size < common::ANALYSIS_BLOCK_FIXED_SIZE) return false;
    std::memcpy(to, from, size);
    AnalysisBlockHeader& h = *static_cast<AnalysisBlockHeader*>(to);
    // The request the viewer wrote into its drawn copy becomes the new view.
    h.currentView = h.drawnView;
    h.blockSize = static_cast<std::uint32_t>(size);
    std::memset(h.title, 0, sizeof h.title);
    const std::string cut = common::cutUtf8(title, MAX_TITLE_BYTES);
    std::memcpy(h.title, cut.data(), cut.size());
    return true;
}

}  // namespace frontend
