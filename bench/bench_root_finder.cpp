// findRoots on polynomials with random complex coefficients, generated as
// the reference program's `random` mode does (N(0,1) parts, seed 1), so
// bench/compare_reference.sh compares like with like.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "analysis/root_finder.h"

namespace {

void BM_FindRoots(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<double> re(n + 1), im(n + 1), rootsRe(n), rootsIm(n);
    std::mt19937_64 generator(1);
    std::normal_distribution<double> normal(0.0, 1.0);
    for (int i = 0; i <= n; ++i) {
        re[i] = normal(generator);
        im[i] = normal(generator);
    }
    for (auto _ : state) {
        const int rc = analysis::findRoots(n, re.data(), im.data(), rootsRe.data(), rootsIm.data());
        benchmark::DoNotOptimize(rc);
        benchmark::DoNotOptimize(rootsRe.data());
    }
}
BENCHMARK(BM_FindRoots)->Arg(100)->Arg(300)->Arg(990)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
