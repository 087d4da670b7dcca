// Whole dynamical-plane analyses (analyseJulia): critical points, algebraic
// cycles up to period 10, critical orbits, closed curves, rotation domains
// and fixed points, as the front end runs them for a Julia picture.
//
//   quadratic  z^2 + c, c = -0.12 + 0.75i, default settings: the period-10
//              polynomial of degree 990 dominates.
//   cubic      z^3 + (-0.5 + 0.3i) z + 0.1 + 0.2i, default settings.
//   worst      a degree-10 rational map P/Q with N(0,1) coefficients
//              (mt19937_64 seed 36, numerator then denominator, real part
//              then imaginary part per power), SIEGELFLG 1: none of its 18
//              critical orbits escapes or settles, so all 18 are chained
//              into closed curves (117 of them, each with its disk lists)
//              and classified, after the period polynomials up to degree
//              1001. The slowest map of degree <= 10 found: other random
//              degree-10 maps (40 seeds), z^10 + lambda z with a Siegel disk
//              holding nine critical points, unicritical Siegel maps, the
//              Blaschke Herman-ring cubic, Lattes and degree-2 rational maps
//              all ran faster.
//
// maxRSS_MiB reports the peak resident memory of the process.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <complex>
#include <random>
#include <vector>

#include "analysis/julia_analysis.h"

namespace {

using cd = std::complex<double>;

analysis::RationalMap polynomialMap(const std::vector<cd>& coefficients) {
    analysis::RationalMap m;
    m.form = 1;
    m.numerator = analysis::makePolynomial(static_cast<int>(coefficients.size()) - 1);
    for (std::size_t i = 0; i < coefficients.size(); ++i) {
        m.numerator.re[i] = coefficients[i].real();
        m.numerator.im[i] = coefficients[i].imag();
    }
    m.denominator = analysis::makePolynomial(0);
    m.denominator.re[0] = 1.0;
    return m;
}

analysis::RationalMap randomRationalMap(int degree, unsigned seed) {
    std::mt19937_64 generator(seed);
    std::normal_distribution<double> normal(0.0, 1.0);
    analysis::RationalMap m;
    m.form = 2;
    m.numerator = analysis::makePolynomial(degree);
    m.denominator = analysis::makePolynomial(degree);
    for (int i = 0; i <= degree; ++i) {
        m.numerator.re[i] = normal(generator);
        m.numerator.im[i] = normal(generator);
        m.denominator.re[i] = normal(generator);
        m.denominator.im[i] = normal(generator);
    }
    return m;
}

double peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void BM_AnalyseJulia(benchmark::State& state, analysis::RationalMap map, int siegelFlag) {
    analysis::AnalysisSettings settings;
    settings.siegelFlag = siegelFlag;
    int cycles = 0, curves = 0, domains = 0;
    for (auto _ : state) {
        const analysis::JuliaAnalysis a = analysis::analyseJulia(map, settings);
        cycles = a.orbits.cycles.count();
        curves = a.orbits.curves.curveCount();
        domains = static_cast<int>(a.domains.siegelDisks.size() + a.domains.hermanRings.size());
        benchmark::DoNotOptimize(cycles);
    }
    state.counters["cycles"] = cycles;
    state.counters["curves"] = curves;
    state.counters["domains"] = domains;
    state.counters["maxRSS_MiB"] = peakMemoryMiB();
}

BENCHMARK_CAPTURE(BM_AnalyseJulia, quadratic, polynomialMap({cd(-0.12, 0.75), 0.0, 1.0}), 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AnalyseJulia, cubic, polynomialMap({cd(0.1, 0.2), cd(-0.5, 0.3), 0.0, 1.0}), 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AnalyseJulia, worst, randomRationalMap(10, 36), 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
