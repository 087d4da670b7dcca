// Everything the render kernels read, decoded once at draw start from the
// checked views of the two blocks and from the current ViewRecord.
//
// Conventions
//  - Polynomials keep the block's coefficient order: index = power of z,
//    real and imaginary parts in parallel arrays, degree -1..10 (-1: the
//    zero polynomial).
//  - Geometry: pixel (x, y), y counted from the bottom, is the plane point
//    ((x - W/2) / (W * m) + centreRe, (y - H/2) / (W * m) + centreIm) with
//    integer halves; both axes use the width-based scale.
//  - Julia pictures: component code k (1..K) is entry k - 1 of the block's
//    table. Cycle points are copied into flat arrays; rotation domains keep
//    their checked CurveImageViews, which point into the mapping, so the
//    mapping must outlive the render.
//  - Mandelbrot pictures take their map, critical points and selection from
//    the FrontEndBlock (the formula being edited), the point p that plays
//    infinity's role from the analysis block's first fixed point.
//
// Failure modes: buildScene refuses a picture size outside 1..MAP_SIZE (the
// maps cannot hold it), or, for a tile, a picture above
// MAX_TILED_PICTURE_SIZE or a tile not inside it or larger than the maps. Every other value is taken as it is and can at worst
// give a picture without escapes or captures: the block reader has already
// bounded counts, degrees and offsets.
//
// Thread-safety: built on the interface thread before the render thread
// starts; read-only afterwards.
#pragma once

#include <optional>
#include <vector>

#include "common/block_layout.h"
#include "common/block_reader.h"
#include "viewer/maps/pixel_maps.h"

namespace render {

inline constexpr int MAX_PICTURE_SIZE = MAP_SIZE;
// Largest picture rendered in tiles of at most MAP_SIZE x MAP_SIZE (batch
// rendering); the viewer's pictures are at most MAX_PICTURE_SIZE.
inline constexpr int MAX_TILED_PICTURE_SIZE = 20000;
// Count reported for a pixel whose orbit reached an entry of invalid kind.
inline constexpr int INVALID_KIND_COUNT = 16777215;

enum class PictureType { Julia, Mandelbrot };

struct Polynomial {
    int degree = -1;  // -1..MAX_DEGREE
    double re[common::COEFFICIENT_COUNT] = {};
    double im[common::COEFFICIENT_COUNT] = {};
};

// How a component entry is tested.
enum class ComponentTest { Cycle, SiegelDisk, HermanRing, Invalid };

struct SceneComponent {
    ComponentTest test = ComponentTest::Invalid;
    int first = 0;  // first cycle point, or first image in RenderScene::images
    int count = 0;  // cycle points, Siegel curves, or Herman pairs
};

// A kernel specialised for one frequent map: P(z) = z^2 + a0 (form 1).
// Its results equal the general Horner path's, count for count.
enum class FastPath { None, SquarePlusConstant, Square };

// A part of a larger picture, rendered into the maps' corner: map entry
// [x][y] holds picture pixel (x + x0, y + y0). Same geometry, so the same
// values, as the whole picture.
struct RenderTile {
    int x0 = 0;
    int y0 = 0;
    int width = 0;   // 1..MAP_SIZE
    int height = 0;  // 1..MAP_SIZE
};

struct RenderOptions {
    bool fastPaths = true;  // false: always the general path (for comparison)
    bool lanes = true;      // false: one pixel at a time (the reference kernels)
    int threads = 0;        // worker threads; 0: renderThreadCount()
    std::optional<RenderTile> tile{};  // a tile of a picture of up to MAX_TILED_PICTURE_SIZE
};

struct RenderScene {
    PictureType type = PictureType::Julia;
    int form = common::FORM_POLYNOMIAL;  // of the picture's map; others leave z unchanged

    int width = 0;                   // of the part rendered (the maps' corner)
    int height = 0;
    int originX = 0;                 // picture pixel of map entry [0][0]
    int originY = 0;
    int halfWidth = 0;               // of the whole picture
    int halfHeight = 0;
    int loopCount = 0;               // n
    double rr = 0;                   // squared convergence radius
    double escapeRadiusSquared = 0;  // 1 / rr
    double scale = 0;                // W * magnification: pixels per unit
    double centreRe = 0;
    double centreIm = 0;

    Polynomial numerator;            // of the map iterated
    Polynomial denominator;
    FastPath fastPath = FastPath::None;

    // Julia: the component table.
    int componentCount = 0;          // K, 0..20
    std::vector<SceneComponent> components;
    std::vector<double> cycleRe;     // all cycle points, in table order
    std::vector<double> cycleIm;
    std::vector<int> cycleCode;      // component code of each cycle point
    bool cyclesOnly = true;          // every entry is a valid cycle
    std::vector<common::CurveImageView> images;

    // Mandelbrot: the selected critical points in list order.
    int selectedCount = 0;
    double criticalRe[common::MAX_CRITICAL_POINTS] = {};
    double criticalIm[common::MAX_CRITICAL_POINTS] = {};
    bool escapeAtInfinity = true;
    double pRe = 0;
    double pIm = 0;

    bool lanes = true;               // several pixels at once where a lane kernel exists
    int threads = 1;                 // worker threads, >= 1
};

enum class SceneStatus { Ready, BadWidth, BadHeight };

// Decodes the picture. `frontEnd` is needed for a Mandelbrot picture only; a
// null one gives a Mandelbrot picture with nothing selected.
SceneStatus buildScene(const common::AnalysisBlockView& analysis, const common::ViewRecord& view,
                       const common::FrontEndBlock* frontEnd, const RenderOptions& options, RenderScene& out);

}  // namespace render
