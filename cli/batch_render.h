// A picture rendered without windows: the map is analysed, its
// AnalysisBlock written into memory by the front end's block writer, and
// the picture rendered by the viewer's own engine into pixel maps that a
// CDib turns into a .bmp file. Used by `halvatrine-cli render`, the render
// benchmarks and the golden picture tests.
//
// Pictures of up to MAP_SIZE x MAP_SIZE render into the maps at once
// (render()); any picture up to MAX_TILED_PICTURE_SIZE square renders tile
// by tile into a PNG or BMP file (renderToFile()): tiles of up to MAP_SIZE
// x MAP_SIZE of the same picture geometry, each coloured from the block's
// colour records, with the statistics summed over the tiles, so the file
// holds the very colours of one whole render.
//
// Defaults are the front end's: 600 x 600 pixels, loop count 1000 for a
// Julia picture and 500 for a Mandelbrot picture, convergence radius
// CONV_EPS (1e-6, also the analysis's capture distance), the writer's
// window, and every critical point taken for a Mandelbrot picture.
//
// Failure modes: prepare() returns a message for a map Execute would refuse,
// an out-of-range option or a critical point index that does not exist;
// writeBitmap() returns "write error".
//
// Thread-safety: one thread; render() runs the render on the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis_settings.h"
#include "cli/image_file.h"
#include "common/block_layout.h"
#include "common/block_reader.h"
#include "viewer/colour/bitmap.h"
#include "viewer/colour/colour_model.h"
#include "viewer/maps/pixel_maps.h"
#include "viewer/core/render_engine.h"

namespace cli {

inline constexpr int MAX_RENDER_LOOP_COUNT = 100000;  // as the viewer's loop count field

struct BatchRenderRequest {
    common::RationalMap map{};                  // block form, as parsed
    char kind = static_cast<char>(common::PictureKind::Julia);
    int width = 600;
    int height = 600;
    std::optional<int> loopCount;               // default: the writer's
    double convergenceRadius = analysis::DEFAULT_CONV_EPS;
    std::optional<double> centreRe;             // default: the writer's window
    std::optional<double> centreIm;
    std::optional<double> magnification;
    std::optional<std::vector<int>> criticalSelection;  // Mandelbrot; default all
    analysis::AnalysisSettings settings;        // convEps is taken from convergenceRadius
    render::RenderOptions renderOptions;        // workers and kernels; the tile is the renderer's
};

class BatchPicture {
public:
    BatchPicture();

    // Analyses the map and writes the block. Empty on success, else the
    // message to show.
    std::optional<std::string> prepare(const BatchRenderRequest& request);

    // One whole render from a fresh colour table (the block's records) and
    // fresh statistics; `progress` (may be empty) gets the pixels done after
    // every column. Pictures above MAP_SIZE render only through
    // renderToFile(); here they render nothing.
    void render(const std::function<void(int done, int total)>& progress = {});

    // The whole picture, tile by tile, into an image file; fresh statistics
    // as render(). The maps then hold the last tile. Empty optional on
    // success, else the message.
    std::optional<std::string> renderToFile(const std::string& path, ImageFormat format,
                                            const std::function<void(int done, int total)>& progress = {});

    // The bitmap of the rendered picture; empty optional on success.
    std::optional<std::string> writeBitmap(const std::string& path) const;
    colour::CDib bitmap() const;

    const common::AnalysisBlockView& block() const { return view_; }
    const common::ViewRecord& viewRecord() const { return header().currentView; }
    const colour::RenderStatistics& statistics() const { return statistics_; }
    const colour::ColourTable& colourTable() const { return colours_; }
    const render::PixelMaps& maps() const { return *maps_; }
    int width() const { return header().currentView.pictureWidth; }
    int height() const { return header().currentView.pictureHeight; }
    // K: the component codes 1..K of a Julia picture (0 for Mandelbrot).
    int componentCount() const;

private:
    bool renderTile(const render::RenderTile& tile, const std::function<void(int, int)>& progress, int done);

    const common::AnalysisBlockHeader& header() const {
        return *reinterpret_cast<const common::AnalysisBlockHeader*>(storage_.data());
    }
    common::AnalysisBlockHeader& header() { return *reinterpret_cast<common::AnalysisBlockHeader*>(storage_.data()); }

    std::vector<std::uint64_t> storage_;  // the AnalysisBlock, 8-byte aligned
    std::size_t blockSize_ = 0;
    common::AnalysisBlockView view_;
    std::unique_ptr<common::FrontEndBlock> frontEnd_;
    std::unique_ptr<render::PixelMaps> maps_;
    colour::ColourTable colours_;
    colour::RenderStatistics statistics_;
    std::unique_ptr<render::RenderEngine> engine_;
    render::RenderOptions renderOptions_;
};

}  // namespace cli
