// The dynamical-plane report of `halvatrine-cli analyse`: options, listing
// lines, JSON members, and the program end to end.
#include "cli/dynamics_report.h"

#include "cli_run.h"

using namespace cli;
using cli_test::CliRun;
using cli_test::runCli;

namespace {

analysis::ClosedCurve curveWithCode(int inOut) {
    analysis::ClosedCurve c;
    c.re = {0, 1, 1, 0};
    c.im = {0, 0, 1, 1};
    c.octagon = analysis::polylineOctagon(c.re, c.im);
    c.inOut = inOut;
    return c;
}

// A hand-made result covering every kind of line.
analysis::JuliaAnalysis sampleResult() {
    using analysis::PointKind;
    analysis::JuliaAnalysis a;
    a.criticalPoints.count = 2;
    a.criticalPoints.re = {0.5, 0};
    a.criticalPoints.im = {-1, 0.25};
    a.orbits.cycles.capacity = 6;
    a.orbits.cycles.cycles = {
        {1, {0}, {0}, PointKind::SuperAttracting},
        {2, {0, -1}, {0, 0}, PointKind::Attracting},
        {1, {0.5}, {-0.25}, PointKind::Indifferent},
        {0, {}, {}, PointKind::Attracting, 1},
        {3, {1, 2, 3}, {0, 0, 0}, static_cast<PointKind>(7)},
    };
    a.orbits.algebraicCycleCount = 3;
    a.orbits.curves.entries = {{0, {curveWithCode(0), curveWithCode(1), curveWithCode(2), curveWithCode(3)}},
                               {1, {curveWithCode(1)}}};
    a.domains.siegelDisks = {{0, 0, 1}, {0, 1, 0}};
    a.domains.hermanRings = {{0, 0, 2, 0, 1}};
    return a;
}

bool has(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

}  // namespace

TEST(DynamicsOptions, RejectsValuesOutsideTheirRanges) {
    const std::vector<Arguments> refused = {{"--max-loop", "10001"}, {"--max-loop", "-1"}, {"--max-loop", "12a"},
                                            {"--max-loop"}, {"--conv-eps", "0"}, {"--conv-eps=-1e-6"},
                                            {"--cont-eps", "nan"}, {"--inout-eps", "inf"}, {"--inout-eps", "0,01"},
                                            {"--cont-eps="}};
    for (const Arguments& bad : refused) {
        Arguments args = bad;
        analysis::AnalysisSettings s;
        EXPECT_FALSE(takeDynamicsOptions(args, s)) << bad[0];
    }
    Arguments zero{"--max-loop=0"};
    analysis::AnalysisSettings s;
    EXPECT_TRUE(takeDynamicsOptions(zero, s));
    EXPECT_EQ(s.maxLoop, 0);
}

TEST(DynamicsReport, ListsCyclesCurvesAndDomainsInTheListingFormats) {
    const std::string text = dynamicsText(sampleResult(), analysis::AnalysisSettings{});
    const std::size_t algebraic = text.find("代数的に求めた不動点、周期点\n");
    const std::size_t orbits = text.find("クリティカルポイントの軌道解析結果\n");
    ASSERT_NE(algebraic, std::string::npos);
    ASSERT_NE(orbits, std::string::npos);
    EXPECT_LT(algebraic, orbits);
    // Algebraic section: cycles 0..2.
    EXPECT_EQ(text.find("不動点 S_ATTRACTING 0  0 0\n"), text.find('\n', algebraic) + 1);
    EXPECT_TRUE(has(text, "周期点 周期2 ATTRACTING\n  実部 0 虚部 0\n  実部 -1 虚部 0\n"));
    EXPECT_TRUE(has(text, "不動点 INDIFFERENT 2  0.5 -0.25\n"));
    // Orbit section: the entry for infinity and an invalid kind.
    EXPECT_GT(text.find("周期点 周期0 ATTRACTING\n  toInfinity 1\n"), orbits);
    EXPECT_TRUE(has(text, "周期点 周期3 不正種別\n"));
    // Curves per critical point.
    EXPECT_TRUE(has(text, "閉曲線 閉曲線数4 CriticalPoint 実部0.5 虚部-1\n  None\n  Out\n  In\n  In & Out\n"));
    EXPECT_TRUE(has(text, "閉曲線 閉曲線数1 CriticalPoint 実部0 虚部0.25\n  Out\n"));
    // Domains, grouped per critical point (Siegel) and per pair (Herman).
    EXPECT_TRUE(has(text, "SiegelDisk 周期1 \nSiegelDisk 周期1 \nHermanRing 周期1 \n"));
}

TEST(DynamicsReport, ProgramReportsTheSuperattractingCycle) {
    // z^6 - 1: degree 6 keeps the algebraic search at periods 1..3. Its
    // critical point 0 lies on the superattracting 2-cycle {0, -1}.
    const CliRun r = runCli("analyse 'z^6-1' --max-loop 100");
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(has(r.out, "fixed points: 6\n"));
    EXPECT_TRUE(has(r.out, "settings: MAX_LOOP 100 SIEGELFLG 0"));
    EXPECT_TRUE(has(r.out, "algebraic search: 3 periods searched, completed\n"));  // 6^4 > 1024
    EXPECT_TRUE(has(r.out, "代数的に求めた不動点、周期点\n周期点 周期2 S_ATTRACTING\n"));
    EXPECT_TRUE(has(r.out, "クリティカルポイントの軌道解析結果\n"));
    const CliRun j = runCli("analyse 'z^6-1' --max-loop=100 --json");
    ASSERT_EQ(j.exitCode, 0);
    EXPECT_TRUE(has(j.out, "\"fixedPoints\": ["));
    EXPECT_TRUE(has(j.out, "\"period\": 2, \"kind\": \"S_ATTRACTING\""));
    EXPECT_TRUE(has(j.out, "\"fate\": \"knownCycle\""));
    // Infinity and the 2-cycle, as the listing names them; the block holds the cycle's two points.
    EXPECT_TRUE(has(j.out, "\"components\": [\"無限遠 S_ATTRACTING\", \"周期点 周期2 S_ATTRACTING\"]"));
    EXPECT_TRUE(has(j.out, "\"blockSize\": " + std::to_string(12936 + 2 * 16) + ","));
    EXPECT_EQ(j.out.back(), '\n');
    EXPECT_EQ(j.out.substr(j.out.size() - 2), "}\n");
}

