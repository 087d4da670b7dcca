// The sweeps skip the Horner passes of approximations that did not move and
// keep the pair sums among them; the roots must stay those of the plain
// sweeps (every pair and every ratio recomputed each sweep), which are
// recorded here for random polynomials on one thread (n < 128) and on two:
// within 1e-14, and up to degree 4 (four and eight lanes round alike there,
// the eight-lane steps not being fused) bit for bit on every machine.
#include "analysis/root_finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

struct RecordedRoot {
    int degree, index;
    double re, im;
};

// Roots of the polynomial with N(0,1) parts (mt19937_64 seeded with the degree),
// every 97th, from the plain sweeps.
const RecordedRoot RECORDED[] = {
    {3, 0, 0.019439827586058073, -1.2707788093984216},
    {100, 0, 0.97378174257669015, -0.042825344587104595},
    {100, 97, 0.98007495660347987, -0.12592085437982956},
    {127, 0, 0.94275777200366095, -0.060970727937638816},
    {127, 97, 0.074173089098660175, -0.9863250944564842},
    {128, 0, 1.0264896694718366, 0.032019803483142761},
    {128, 97, 0.064645769899534314, -1.0054683996324474},
    {300, 0, 0.99837295140046478, 0.010875383559314009},
    {300, 97, -0.44900366852633733, 0.89192939964783691},
    {300, 194, -0.60107057861947866, -0.79995025449480694},
    {300, 291, 0.97704163057583771, -0.19438819603288296},
    {990, 0, 0.99650104123739225, 0.0055028890944179886},
    {990, 97, 0.81926516177689479, 0.56190903639270473},
    {990, 194, 0.33411168230726812, 0.9420390757527094},
    {990, 291, -0.27966153156935603, 0.95784406296491065},
    {990, 388, -0.78221539794449535, 0.62849429670539581},
    {990, 485, -0.99689106689338103, 0.062463626482676435},
    {990, 582, -0.84658042645649756, -0.53155066161817943},
    {990, 679, -0.38735983064780427, -0.92006811584359549},
    {990, 776, 0.20822405501963914, -0.97630473695736009},
    {990, 873, 0.73786988555999133, -0.67759718683695691},
    {990, 970, 0.99000974929927188, -0.11696892155001594},
};

TEST(FindRoots, SkippedWorkKeepsThePlainSweepsRoots) {
    for (const int n : {3, 100, 127, 128, 300, 990}) {
        std::mt19937_64 generator(n);
        std::normal_distribution<double> normal(0.0, 1.0);
        std::vector<double> re(n + 1), im(n + 1), rootsRe(n), rootsIm(n);
        for (int k = 0; k <= n; ++k) {
            re[k] = normal(generator);
            im[k] = normal(generator);
        }
        ASSERT_EQ(analysis::findRoots(n, re.data(), im.data(), rootsRe.data(), rootsIm.data()), 1) << n;
        int checked = 0;
        for (const RecordedRoot& r : RECORDED) {
            if (r.degree != n) continue;
            ++checked;
            const double error = std::hypot(rootsRe[r.index] - r.re, rootsIm[r.index] - r.im);
            EXPECT_LE(error, (n <= 4 ? 0.0 : 1e-14) * std::hypot(r.re, r.im)) << "degree " << n << " root " << r.index;
        }
        EXPECT_EQ(checked, (n + 96) / 97) << n;
    }
}

}  // namespace
