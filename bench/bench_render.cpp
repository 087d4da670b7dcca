// Whole renders (kernels, lane kernels, passes, colouring) on every core
// (HV_RENDER_THREADS overrides), of the pictures the literal loops in
// reference/escape_loops.cpp compute:
//   BM_RenderJulia600       z^2 - 1, 600 x 600 over [-2, 2]^2, loop 1000,
//                           radius 1e-6, the analysis's component table
//   BM_RenderMandelbrot1000 z^2 + c, critical point 0, 1000 x 1000 over
//                           [-2, 1] x [-1.5, 1.5], loop 1000
//   BM_RenderRational600    (z^2 + 1) / (z^2 - 0.25), 600 x 600 over
//                           [-2, 2]^2, loop 1000, radius 1e-6
//   BM_RenderMandelbrot1000/threads:N  the same on N worker threads: 1 and all
//   BM_CliJuliaPng4000      what `halvatrine-cli render "z^2-1" --julia
//                           --size 4000x4000 -o FILE.png` does: analysis,
//                           16 tiles, PNG file
// The analysis and the block are made once (but for the CLI benchmark);
// every iteration renders from the block's colour records and fresh
// statistics. The label names the SIMD target the lane kernels run on.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "cli/batch_render.h"
#include "cli/formula_parser.h"
#include "viewer/core/render_lanes.h"
#include "viewer/core/render_workers.h"

namespace {

struct Picture {
    const char* formula;
    char kind;
    int size;
    double centreRe;
    double magnification;
};

cli::BatchRenderRequest requestFor(const Picture& p, const cli::FormulaParseResult& parsed) {
    cli::BatchRenderRequest request;
    request.map = parsed.map;
    request.kind = p.kind;
    request.width = request.height = p.size;
    request.loopCount = 1000;
    request.convergenceRadius = 1e-6;
    request.centreRe = p.centreRe;
    request.centreIm = 0.0;
    request.magnification = p.magnification;
    if (p.kind == 'M') request.criticalSelection = std::vector<int>{0};
    return request;
}

void renderPicture(benchmark::State& state, const Picture& p, int threads = 0) {
    const cli::FormulaParseResult parsed = cli::parseFormula(p.formula);
    if (!parsed.ok) {
        state.SkipWithError("formula");
        return;
    }
    cli::BatchRenderRequest request = requestFor(p, parsed);
    request.renderOptions.threads = threads;
    cli::BatchPicture picture;
    if (const auto problem = picture.prepare(request)) {
        state.SkipWithError(problem->c_str());
        return;
    }
    for (auto _ : state) {
        picture.render();
        benchmark::DoNotOptimize(picture.maps().colour[0][0]);
    }
    state.counters["pixels"] = static_cast<double>(p.size) * p.size;
    state.counters["components"] = picture.componentCount();
    state.SetLabel(render::laneTargetName());
}

void BM_RenderJulia600(benchmark::State& state) { renderPicture(state, {"z^2-1", 'J', 600, 0.0, 0.25}); }
void BM_RenderMandelbrot1000(benchmark::State& state) {
    renderPicture(state, {"z^2", 'M', 1000, -0.5, 1.0 / 3.0}, static_cast<int>(state.range(0)));
}
void BM_RenderRational600(benchmark::State& state) {
    renderPicture(state, {"(z^2+1)/(z^2-0.25)", 'J', 600, 0.0, 0.25});
}

BENCHMARK(BM_RenderJulia600)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
void BM_CliJuliaPng4000(benchmark::State& state) {
    const Picture p{"z^2-1", 'J', 4000, 0.0, 0.25};
    const cli::FormulaParseResult parsed = cli::parseFormula(p.formula);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("hv_bench_" + std::to_string(::getpid()) + ".png")).string();
    for (auto _ : state) {
        cli::BatchPicture picture;
        const auto problem = picture.prepare(requestFor(p, parsed));
        const auto failed = problem ? problem : picture.renderToFile(path, cli::ImageFormat::Png);
        if (failed) {
            state.SkipWithError(failed->c_str());
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
    state.SetLabel(render::laneTargetName());
}

void mandelbrotThreads(benchmark::internal::Benchmark* b) {
    b->ArgName("threads")->Arg(1);
    if (render::renderThreadCount() > 1) b->Arg(render::renderThreadCount());
}

BENCHMARK(BM_RenderMandelbrot1000)->Apply(mandelbrotThreads)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_RenderRational600)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_CliJuliaPng4000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
