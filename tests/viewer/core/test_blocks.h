// Analysis and front-end blocks in ordinary memory, laid out as the front end writes them (component
// data after the fixed part, every array at an offset stored in its record), and a render of them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "common/block_layout.h"
#include "common/block_reader.h"
#include "viewer/colour/colour_model.h"
#include "viewer/core/render_engine.h"

namespace render_test {

struct Point { double re, im; };
struct Disk { double re, im, radiusSquared; };

struct Curve {
    std::vector<Point> polyline;
    std::vector<Disk> outer;
    std::vector<Disk> inner;
    std::optional<std::array<double, 8>> octagon;  // from the polyline unless set
};

inline std::array<double, 8> octagonOf(const std::vector<Point>& pts) {
    std::array<double, 8> o{-1e300, 1e300, -1e300, 1e300, -1e300, 1e300, -1e300, 1e300};
    for (const Point& p : pts) {
        const double v[4] = {p.re, p.im, p.re + p.im, p.re - p.im};
        for (int k = 0; k < 4; ++k) {
            o[2 * k] = std::max(o[2 * k], v[k]);
            o[2 * k + 1] = std::min(o[2 * k + 1], v[k]);
        }
    }
    return o;
}

class TestBlock {
public:
    explicit TestBlock(char kind, std::size_t capacity = 1 << 16)
        : storage_((capacity + 7) / 8, 0), used_(common::ANALYSIS_BLOCK_FIXED_SIZE) {
        header().pictureKind = kind;
        header().map.form = common::FORM_POLYNOMIAL;
        setWindow(16, 16, 4);
        view().convergenceRadius = 1e-3;
        for (auto& c : view().colours) c = colour::defaultComponentColour(100);
    }

    common::AnalysisBlockHeader& header() { return *reinterpret_cast<common::AnalysisBlockHeader*>(storage_.data()); }
    common::ViewRecord& view() { return header().currentView; }

    // A w x h picture `across` plane units wide around the centre.
    void setWindow(int w, int h, double across, Point centre = {0, 0}, int loop = 100) {
        view().pictureWidth = w;
        view().pictureHeight = h;
        view().magnification = 1.0 / across;
        view().centreRe = centre.re;
        view().centreIm = centre.im;
        view().loopCount = loop;
    }

    // Numerator / denominator from coefficients, index = power.
    void setMap(int form, const std::vector<Point>& num, const std::vector<Point>& den = {{1, 0}}) {
        setRationalMap(header().map, form, num, den);
    }

    // Any block's map from coefficients, index = power.
    static void setRationalMap(common::RationalMap& m, int form, const std::vector<Point>& num,
                               const std::vector<Point>& den) {
        m.form = form;
        setPoly(m, num, true);
        setPoly(m, den, false);
    }

    // A component entry with raw fields (for invalid ones).
    void addRawEntry(int kind, int count, int dataOffset) {
        auto& h = header();
        h.components[h.componentCount++] = {kind, count, 0, 0, dataOffset};
    }

    void addCycle(const std::vector<Point>& points) { addRawEntry(0, static_cast<int>(points.size()), putPoints(points)); }

    // kind 1: one curve per image; kind 2: pairs (inner, outer).
    void addCurveGroup(int kind, const std::vector<Curve>& curves) {
        const int count = static_cast<int>(kind == 2 ? curves.size() / 2 : curves.size());
        const int at = allocate(8 + 88 * curves.size());
        putInt(at, count);
        for (std::size_t i = 0; i < curves.size(); ++i) {
            const Curve& c = curves[i];
            const std::size_t img = at + 8 + 88 * i;
            const auto oct = c.octagon ? *c.octagon : octagonOf(c.polyline);
            for (int k = 0; k < 8; ++k) putDouble(img + 8 * k, oct[k]);
            // Count and offset of the outer disks, the inner disks and the polyline.
            const int fields[] = {static_cast<int>(c.outer.size()), putDisks(c.outer), static_cast<int>(c.inner.size()),
                                  putDisks(c.inner), static_cast<int>(c.polyline.size()), putPoints(c.polyline)};
            for (int k = 0; k < 6; ++k) putInt(img + 64 + 4 * k, fields[k]);
        }
        addRawEntry(kind, count, at);
    }

    std::size_t size() const { return used_; }

    common::AnalysisBlockView read() {
        header().blockSize = static_cast<std::uint32_t>(used_);
        return *common::readAnalysisBlock(storage_.data(), used_);
    }

private:
    static void setPoly(common::RationalMap& m, const std::vector<Point>& c, bool numerator) {
        double* re = numerator ? m.numeratorRe : m.denominatorRe;
        double* im = numerator ? m.numeratorIm : m.denominatorIm;
        int degree = -1;
        for (std::size_t k = 0; k < c.size(); ++k) {
            re[k] = c[k].re;
            im[k] = c[k].im;
            if (c[k].re != 0 || c[k].im != 0) degree = static_cast<int>(k);
        }
        (numerator ? m.numeratorDegree : m.denominatorDegree) = degree;
    }
    int allocate(std::size_t bytes) {
        const int at = static_cast<int>(used_);
        used_ += (bytes + 7) / 8 * 8;
        if (used_ > storage_.size() * 8) std::abort();
        return at;
    }
    int putPoints(const std::vector<Point>& points) {
        const int at = allocate(16 * points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            putDouble(at + 16 * i, points[i].re);
            putDouble(at + 16 * i + 8, points[i].im);
        }
        return at;
    }
    int putDisks(const std::vector<Disk>& disks) {
        const int at = allocate(24 * disks.size());
        for (std::size_t i = 0; i < disks.size(); ++i) {
            putDouble(at + 24 * i, disks[i].re);
            putDouble(at + 24 * i + 8, disks[i].im);
            putDouble(at + 24 * i + 16, disks[i].radiusSquared);
        }
        return at;
    }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(storage_.data()); }
    void putDouble(std::size_t at, double v) { std::memcpy(bytes() + at, &v, 8); }
    void putInt(std::size_t at, int v) { std::memcpy(bytes() + at, &v, 4); }

    std::vector<std::uint64_t> storage_;
    std::size_t used_;
};

// A front-end block holding the formula of a Mandelbrot picture.
inline std::unique_ptr<common::FrontEndBlock> frontEndBlock(int form, const std::vector<Point>& num,
                                                            const std::vector<Point>& den,
                                                            const std::vector<Point>& critical,
                                                            const std::vector<bool>& selected) {
    auto b = std::make_unique<common::FrontEndBlock>();
    std::memset(b.get(), 0, sizeof *b);
    TestBlock::setRationalMap(b->currentMap, form, num, den);
    b->criticalPoints.count = static_cast<int>(critical.size());
    for (std::size_t i = 0; i < critical.size(); ++i) {
        b->criticalPoints.re[i] = critical[i].re;
        b->criticalPoints.im[i] = critical[i].im;
        b->criticalPoints.selected[i] = selected[i] ? 1 : 0;
    }
    return b;
}

// The Mandelbrot family z^2 + c from the critical point 0.
inline std::unique_ptr<common::FrontEndBlock> squareFamily() {
    return frontEndBlock(common::FORM_POLYNOMIAL, {{0, 0}, {0, 0}, {1, 0}}, {{1, 0}}, {{0, 0}}, {true});
}

// Everything a viewer holds for one picture.
struct Render {
    std::unique_ptr<render::PixelMaps> maps = render::makePixelMaps();
    colour::ColourTable colours;
    colour::RenderStatistics stats;
    render::RenderEngine engine{*maps, colours, stats};

    // Takes the block's picture (false: refused) and renders it unless told not to.
    bool run(TestBlock& b, const common::FrontEndBlock* fe, render::RenderOptions o = {}, bool start = true) {
        stats.reset();
        colours.seedOnce(b.view());
        if (engine.prepare(b.read(), b.view(), fe, o) != render::SceneStatus::Ready) return false;
        if (start) engine.renderThread();
        return true;
    }
};

}  // namespace render_test
