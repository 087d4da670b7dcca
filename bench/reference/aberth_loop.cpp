// The literal Aberth-Ehrlich loop, for benchmark ratios: exactly 1000
// total-step sweeps, each building the n x n matrix 1/(z_j - z_k) from the
// start-of-sweep values, then z_j -= N_j / (1 - N_j S_j) with the Newton
// ratio N_j = P(z_j) / P'(z_j) by Horner and the row sum S_j. Where |z| > 1
// the ratio is taken through the reversed polynomial (plain Horner
// overflows at high degrees). One thread, std::complex, no tricks.
// Coefficients: random complex, real and imaginary parts N(0, 1) from
// std::mt19937_64 seed 1, as BM_FindRoots makes them.
// Build: g++ -O2 aberth_loop.cpp -o aberth_loop
// Run:   ./aberth_loop 990      prints "time=<seconds> s"
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using Complex = std::complex<double>;

namespace {

// P(z) / P'(z); for |z| > 1 through q(w) = w^n P(1/w), w = 1/z:
// P/P' = q / (w (n q - w q')).
Complex newtonRatio(const std::vector<Complex>& a, Complex z) {
    const int n = static_cast<int>(a.size()) - 1;
    if (std::abs(z) <= 1) {
        Complex p = a[n], dp = 0;
        for (int k = n - 1; k >= 0; --k) {
            dp = dp * z + p;
            p = p * z + a[k];
        }
        return p / dp;
    }
    const Complex w = 1.0 / z;
    Complex q = a[0], dq = 0;
    for (int k = 1; k <= n; ++k) {
        dq = dq * w + q;
        q = q * w + a[k];
    }
    return q / (w * (double(n) * q - w * dq));
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 990;
    if (n < 2) return 2;
    std::mt19937_64 generator(1);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::vector<Complex> a(n + 1);
    for (Complex& c : a) {
        const double re = normal(generator);
        c = {re, normal(generator)};
    }
    // Starting points on a circle of the radius max |a_k / a_n|^(1/(n-k)) * 2.
    double radius = 0;
    for (int k = 0; k < n; ++k) radius = std::fmax(radius, std::pow(std::abs(a[k] / a[n]), 1.0 / (n - k)));
    radius *= 2;
    std::vector<Complex> z(n);
    for (int i = 0; i < n; ++i) z[i] = std::polar(radius, (i * 4 * M_PI + 3) / (2 * n));

    const auto start = std::chrono::steady_clock::now();
    std::vector<Complex> m(static_cast<std::size_t>(n) * n);
    std::vector<Complex> next(n);
    for (int sweep = 0; sweep < 1000; ++sweep) {
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k) m[static_cast<std::size_t>(j) * n + k] = j == k ? 0.0 : 1.0 / (z[j] - z[k]);
        for (int j = 0; j < n; ++j) {
            Complex s = 0;
            for (int k = 0; k < n; ++k) s += m[static_cast<std::size_t>(j) * n + k];
            const Complex ratio = newtonRatio(a, z[j]);
            next[j] = z[j] - ratio / (1.0 - ratio * s);
        }
        z.swap(next);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int nonFinite = 0;
    for (const Complex& r : z) nonFinite += !(std::isfinite(r.real()) && std::isfinite(r.imag()));
    std::printf("n=%d sweeps=1000 nonfinite=%d time=%.4f s\n", n, nonFinite, seconds);
    return 0;
}
