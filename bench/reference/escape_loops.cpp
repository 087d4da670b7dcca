// The plainest escape-time loops, for benchmark ratios: one pixel at a
// time, one thread, explicit real and imaginary parts, no tricks. They
// compute the pictures of bench_render.cpp:
//   mandel  z^2 + c from z = 0, 1000 x 1000 over [-2, 1] x [-1.5, 1.5]
//   julia   z^2 - 1, 600 x 600 over [-2, 2]^2, captured within 1e-6 of the
//           2-cycle {0, -1}
//   rat     (z^2 + 1) / (z^2 - 0.25), 600 x 600 over [-2, 2]^2, captured
//           within 1e-6 of its attracting fixed point
// 1000 iterations, escape when |z|^2 > 1e12.
// Build: g++ -O2 -ffp-contract=off escape_loops.cpp -o escape_loops
// Run:   REPS=3 ./escape_loops mandel      prints "median=<seconds> s"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int LOOPS = 1000;
constexpr double ESCAPE = 1e12;
constexpr double CAPTURE = 1e-12;  // (1e-6)^2

struct Point {
    double re, im;
};

// (z^2 + 1) / (z^2 - 0.25)
Point rational(Point z) {
    const double z2r = z.re * z.re - z.im * z.im, z2i = 2 * z.re * z.im;
    const double pr = z2r + 1, pi = z2i, qr = z2r - 0.25, qi = z2i;
    const double q2 = qr * qr + qi * qi;
    return {(pr * qr + pi * qi) / q2, (pi * qr - pr * qi) / q2};
}

long long mandel() {
    long long total = 0;
    for (int py = 0; py < 1000; ++py)
        for (int px = 0; px < 1000; ++px) {
            const double cr = -2 + 3.0 * px / 1000, ci = -1.5 + 3.0 * py / 1000;
            double x = 0, y = 0;
            int i = 0;
            for (; i < LOOPS; ++i) {
                const double nx = x * x - y * y + cr;
                y = 2 * x * y + ci;
                x = nx;
                if (x * x + y * y > ESCAPE) break;
            }
            total += i;
        }
    return total;
}

long long julia(bool rationalMap, const std::vector<Point>& attractors) {
    long long total = 0;
    for (int py = 0; py < 600; ++py)
        for (int px = 0; px < 600; ++px) {
            Point z{-2 + 4.0 * px / 600, -2 + 4.0 * py / 600};
            int i = 0;
            for (; i < LOOPS; ++i) {
                if (z.re * z.re + z.im * z.im > ESCAPE) break;
                bool captured = false;
                for (const Point& a : attractors) {
                    const double dx = z.re - a.re, dy = z.im - a.im;
                    if (dx * dx + dy * dy < CAPTURE) captured = true;
                }
                if (captured) break;
                if (rationalMap) {
                    z = rational(z);
                } else {
                    const double nx = z.re * z.re - z.im * z.im - 1;
                    z.im = 2 * z.re * z.im;
                    z.re = nx;
                }
            }
            total += i;
        }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    const char* picture = argc > 1 ? argv[1] : "";
    const int reps = std::max(1, std::getenv("REPS") ? std::atoi(std::getenv("REPS")) : 3);
    std::vector<Point> attractor{{0, 0}, {-1, 0}};
    if (std::strcmp(picture, "rat") == 0) {
        Point z{-4, 0};  // the critical value; its orbit finds the attracting point
        for (int i = 0; i < 100000; ++i) z = rational(z);
        attractor = {z};
    } else if (std::strcmp(picture, "mandel") != 0 && std::strcmp(picture, "julia") != 0) {
        std::fprintf(stderr, "usage: escape_loops mandel|julia|rat\n");
        return 2;
    }
    std::vector<double> seconds;
    long long check = 0;
    for (int r = 0; r < reps; ++r) {
        const auto start = std::chrono::steady_clock::now();
        check = std::strcmp(picture, "mandel") == 0 ? mandel() : julia(std::strcmp(picture, "rat") == 0, attractor);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("picture=%s iterations=%lld reps=%d median=%.4f s\n", picture, check, reps, seconds[seconds.size() / 2]);
    return 0;
}
