#include "cli/batch_render.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "analysis/critical_points.h"
#include "analysis/julia_analysis.h"
#include "analysis/map_conversion.h"
#include "common/formula_check.h"
#include "frontend/block_writer.h"

namespace cli {

namespace {

common::CriticalPointList toBlockList(const analysis::CriticalPointList& list) {
    common::CriticalPointList out{};
    out.count = std::clamp(list.count, 0, common::MAX_CRITICAL_POINTS);
    out.infinityIsCritical = list.infinityIsCritical;
    for (int i = 0; i < out.count; ++i) {
        out.re[i] = list.re[static_cast<std::size_t>(i)];
        out.im[i] = list.im[static_cast<std::size_t>(i)];
    }
    return out;
}

std::optional<std::string> checkRequest(const BatchRenderRequest& r) {
    if (r.width < 1 || r.width > render::MAX_TILED_PICTURE_SIZE)
        return "the width must be 1 to " + std::to_string(render::MAX_TILED_PICTURE_SIZE);
    if (r.height < 1 || r.height > render::MAX_TILED_PICTURE_SIZE)
        return "the height must be 1 to " + std::to_string(render::MAX_TILED_PICTURE_SIZE);
    if (r.loopCount && (*r.loopCount < 1 || *r.loopCount > MAX_RENDER_LOOP_COUNT))
        return "the loop count must be 1 to " + std::to_string(MAX_RENDER_LOOP_COUNT);
    if (!(std::isfinite(r.convergenceRadius) && r.convergenceRadius > 0))
        return std::string("the convergence radius must be above 0");
    if (r.magnification && !(std::isfinite(*r.magnification) && *r.magnification > 0))
        return std::string("the magnification must be above 0");
    if ((r.centreRe && !std::isfinite(*r.centreRe)) || (r.centreIm && !std::isfinite(*r.centreIm)))
        return std::string("the centre must be a finite point");
    analysis::AnalysisSettings s = r.settings;
    s.convEps = r.convergenceRadius;
    if (!analysis::settingsValid(s)) return std::string("an analysis setting is out of range");
    return std::nullopt;
}

}  // namespace

BatchPicture::BatchPicture()
    : frontEnd_(std::make_unique<common::FrontEndBlock>()), maps_(render::makePixelMaps()) {
    std::memset(frontEnd_.get(), 0, sizeof *frontEnd_);
}

int BatchPicture::componentCount() const {
    return header().pictureKind == static_cast<char>(common::PictureKind::Julia)
               ? static_cast<int>(view_.components.size())
               : 0;
}

std::optional<std::string> BatchPicture::prepare(const BatchRenderRequest& request) {
    if (auto bad = checkRequest(request)) return bad;
    const common::FormulaCheck check = common::checkFormula(request.map);
    if (check != common::FormulaCheck::Ok) return std::string(common::formulaCheckMessage(check));

    const bool julia = request.kind == static_cast<char>(common::PictureKind::Julia);
    const analysis::RationalMap map = analysis::toEngineMap(request.map);
    analysis::AnalysisSettings settings = request.settings;
    settings.convEps = request.convergenceRadius;

    frontend::PictureContent content;
    content.kind = julia ? 'J' : 'M';
    content.title.assign(1, content.kind);
    content.title.push_back('1');  // "J1" or "M1", as Execute names a picture
    content.map = request.map;
    content.convergenceRadius = request.convergenceRadius;
    content.continuityDistance = settings.contEps;
    content.pictureWidth = request.width;
    content.pictureHeight = request.height;

    analysis::JuliaAnalysis juliaResults;
    if (julia) {
        juliaResults = analysis::analyseJulia(map, settings);
        content.criticalPoints = toBlockList(juliaResults.criticalPoints);
        content.fixedPoints = juliaResults.fixedPoints;
        content.julia = &juliaResults;
    } else {
        content.criticalPoints = toBlockList(analysis::findCriticalPoints(map));
        content.fixedPoints = analysis::findFixedPoints(map);
    }

    // The front end's block: the formula and, for a Mandelbrot picture, the
    // chosen critical points.
    std::memset(frontEnd_.get(), 0, sizeof *frontEnd_);
    frontEnd_->busyState = common::BUSY_IDLE;
    frontEnd_->currentMap = request.map;
    frontEnd_->criticalPoints = content.criticalPoints;
    const int criticalCount = content.criticalPoints.count;
    if (request.criticalSelection) {
        for (int index : *request.criticalSelection) {
            if (index < 0 || index >= criticalCount)
                return "critical point " + std::to_string(index) + " does not exist (the map has " +
                       std::to_string(criticalCount) + ", numbered from 0)";
            frontEnd_->criticalPoints.selected[index] = 1;
        }
    } else {
        for (int i = 0; i < criticalCount; ++i) frontEnd_->criticalPoints.selected[i] = 1;
    }

    blockSize_ = frontend::pictureBlockSize(content);
    storage_.assign((blockSize_ + 7) / 8, 0);
    if (!frontend::writePictureBlock(storage_.data(), blockSize_, content))
        return std::string("the picture's block could not be written");

    common::ViewRecord& view = header().currentView;
    if (request.loopCount) {
        view.loopCount = *request.loopCount;
        frontend::writeDefaultColours(view, view.loopCount);
    }
    if (request.centreRe) view.centreRe = *request.centreRe;
    if (request.centreIm) view.centreIm = *request.centreIm;
    if (request.magnification) view.magnification = *request.magnification;

    const auto read = common::readAnalysisBlock(storage_.data(), blockSize_);
    if (!read) return std::string("the picture's block could not be read");
    view_ = *read;
    engine_ = std::make_unique<render::RenderEngine>(*maps_, colours_, statistics_);
    renderOptions_ = request.renderOptions;
    return std::nullopt;
}

bool BatchPicture::renderTile(const render::RenderTile& tile, const std::function<void(int, int)>& progress,
                              int done) {
    // Every tile colours from the block's records, as one whole render would.
    colours_.seeded = false;
    colours_.seedOnce(header().currentView);
    render::RenderOptions options = renderOptions_;
    options.tile = tile;
    if (engine_->prepare(view_, header().currentView, frontEnd_.get(), options) != render::SceneStatus::Ready)
        return false;
    const int total = width() * height();
    if (progress)
        engine_->setPaintColumns([this, &progress, total, done](int, int) {
            progress(done + engine_->renderedPixelCount.load(std::memory_order_relaxed), total);
        });
    else
        engine_->setPaintColumns({});
    engine_->renderAbort.store(false);
    engine_->renderThread();
    engine_->setPaintColumns({});
    return true;
}

void BatchPicture::render(const std::function<void(int, int)>& progress) {
    if (!engine_ || width() > render::MAP_SIZE || height() > render::MAP_SIZE) return;
    statistics_.reset();
    renderTile({0, 0, width(), height()}, progress, 0);
}

std::optional<std::string> BatchPicture::renderToFile(const std::string& path, ImageFormat format,
                                                      const std::function<void(int, int)>& progress) {
    if (!engine_) return std::string("no picture");
    const int w = width(), h = height();
    ImageFileWriter out;
    if (auto failed = out.open(path, format, w, h)) return failed;
    statistics_.reset();
    // A band of MAP_SIZE rows of the whole width at a time, in the file's row order.
    std::vector<std::uint32_t> band(static_cast<std::size_t>(w) * render::MAP_SIZE);
    const int bands = (h + render::MAP_SIZE - 1) / render::MAP_SIZE;
    int done = 0;
    for (int b = 0; b < bands; ++b) {
        const int y0 = (out.rowsFromBottom() ? b : bands - 1 - b) * render::MAP_SIZE;
        const int rows = std::min(render::MAP_SIZE, h - y0);
        for (int x0 = 0; x0 < w; x0 += render::MAP_SIZE) {
            const int columns = std::min(render::MAP_SIZE, w - x0);
            if (!renderTile({x0, y0, columns, rows}, progress, done)) return std::string("the picture cannot be tiled");
            done += columns * rows;
            for (int x = 0; x < columns; ++x)
                for (int y = 0; y < rows; ++y)
                    band[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x0 + x)] =
                        maps_->colour[x][y];
        }
        for (int k = 0; k < rows; ++k) {
            const int y = out.rowsFromBottom() ? k : rows - 1 - k;
            if (!out.writeRow(band.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w))) break;
        }
    }
    return out.finish();
}

colour::CDib BatchPicture::bitmap() const {
    colour::CDib dib;
    dib.buildFromPicture(maps_->colour, width(), height());
    return dib;
}

std::optional<std::string> BatchPicture::writeBitmap(const std::string& path) const {
    return bitmap().writeBmp(path);
}

}  // namespace cli
