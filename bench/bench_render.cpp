// Whole renders (kernels, passes, colouring) on the single render thread,
// of the pictures the reference program escape_reference.cpp computes:
//   BM_RenderJulia600       z^2 - 1, 600 x 600 over [-2, 2]^2, loop 1000,
//                           radius 1e-6, the analysis's component table
//   BM_RenderMandelbrot1000 z^2 + c, critical point 0, 1000 x 1000 over
//                           [-2, 1] x [-1.5, 1.5], loop 1000
//   BM_RenderRational600    (z^2 + 1) / (z^2 - 0.25), 600 x 600 over
//                           [-2, 2]^2, loop 1000, radius 1e-6
// The analysis and the block are made once; every iteration renders from
// the block's colour records and fresh statistics.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "cli/batch_render.h"
#include "cli/formula_parser.h"

namespace {

struct Picture {
    const char* formula;
    char kind;
    int size;
    double centreRe;
    double magnification;
};

void renderPicture(benchmark::State& state, const Picture& p) {
    const cli::FormulaParseResult parsed = cli::parseFormula(p.formula);
    if (!parsed.ok) {
        state.SkipWithError("formula");
        return;
    }
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
}

void BM_RenderJulia600(benchmark::State& state) { renderPicture(state, {"z^2-1", 'J', 600, 0.0, 0.25}); }
void BM_RenderMandelbrot1000(benchmark::State& state) {
    renderPicture(state, {"z^2", 'M', 1000, -0.5, 1.0 / 3.0});
}
void BM_RenderRational600(benchmark::State& state) {
    renderPicture(state, {"(z^2+1)/(z^2-0.25)", 'J', 600, 0.0, 0.25});
}

BENCHMARK(BM_RenderJulia600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderMandelbrot1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderRational600)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
