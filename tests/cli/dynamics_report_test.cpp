// The dynamical-plane report of `halvatrine-cli analyse`: options, listing
// lines and JSON members of a hand-made result.
#include "cli/dynamics_report.h"
#include "cli/point_output.h"

#include "cli_run.h"

using namespace cli;

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
    a.orbits.cycles.cycles = {
        {1, {0}, {0}, PointKind::SuperAttracting}, {2, {0, -1}, {0, 0}, PointKind::Attracting},
        {1, {0.5}, {-0.25}, PointKind::Indifferent}, {0, {}, {}, PointKind::Attracting, 1},
        {3, {1, 2, 3}, {0, 0, 0}, static_cast<PointKind>(7)}};
    a.orbits.algebraicCycleCount = 3;
    a.orbits.curves.entries = {{0, {curveWithCode(0), curveWithCode(1), curveWithCode(2), curveWithCode(3)}},
                               {1, {curveWithCode(1)}}};
    a.domains.siegelDisks = {{0, 0, 1}, {0, 1, 0}};
    a.domains.hermanRings = {{0, 0, 2, 0, 1}};
    a.orbits.criticalOrbits = {{analysis::OrbitFate::KnownCycle, 2, 1, -1}, {analysis::OrbitFate::RepellingCycle, 3}};
    a.orbits.periodicSearch = {analysis::PeriodicSearchEnd::RootFinderFailed, 4, 3, 2};
    a.stopped = true;
    return a;
}

bool has(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

}  // namespace

TEST(DynamicsOptions, TakesItsOwnOptionsAndRejectsValuesOutsideTheirRanges) {
    const std::vector<Arguments> refused = {{"--max-loop", "10001"}, {"--max-loop", "-1"}, {"--max-loop", "12a"},
                                            {"--max-loop"}, {"--conv-eps", "0"}, {"--conv-eps=-1e-6"},
                                            {"--cont-eps", "nan"}, {"--inout-eps", "inf"}, {"--inout-eps", "0,01"},
                                            {"--cont-eps="}};
    analysis::AnalysisSettings s;
    for (Arguments args : refused) EXPECT_FALSE(takeDynamicsOptions(args, s)) << args[0];
    Arguments args{"--max-loop", "0", "z^2", "--max-loopy=5", "--conv-eps", "0.5", "--siegel", "--inout-eps=2", "--cont-eps=.25"};
    ASSERT_TRUE(takeDynamicsOptions(args, s));
    EXPECT_EQ(args, (Arguments{"z^2", "--max-loopy=5"}));  // what is not theirs stays, in order
    EXPECT_EQ(std::make_tuple(s.maxLoop, s.siegelFlag, s.convEps, s.contEps, s.inoutEps), std::make_tuple(0, 1, 0.5, 0.25, 2.0));
}

TEST(DynamicsReport, ListsCyclesCurvesAndDomainsInTheListingFormats) {
    const std::string text = dynamicsText(sampleResult(), analysis::AnalysisSettings{});
    const std::size_t algebraic = text.find("代数的に求めた不動点、周期点\n");
    const std::size_t orbits = text.find("クリティカルポイントの軌道解析結果\n");
    ASSERT_NE(algebraic, std::string::npos);
    ASSERT_NE(orbits, std::string::npos);
    EXPECT_LT(algebraic, orbits);
    EXPECT_EQ(text.find("不動点 S_ATTRACTING 0  0 0\n"), text.find('\n', algebraic) + 1);
    EXPECT_TRUE(has(text, "周期点 周期2 ATTRACTING\n  実部 0 虚部 0\n  実部 -1 虚部 0\n"));
    EXPECT_TRUE(has(text, "不動点 INDIFFERENT 2  0.5 -0.25\n"));
    EXPECT_GT(text.find("周期点 周期0 ATTRACTING\n  toInfinity 1\n"), orbits);
    EXPECT_TRUE(has(text, "周期点 周期3 不正種別\n"));
    EXPECT_TRUE(has(text, "閉曲線 閉曲線数4 CriticalPoint 実部0.5 虚部-1\n  None\n  Out\n  In\n  In & Out\n"));
    EXPECT_TRUE(has(text, "閉曲線 閉曲線数1 CriticalPoint 実部0 虚部0.25\n  Out\n"));
    EXPECT_TRUE(has(text, "SiegelDisk 周期1 \nSiegelDisk 周期1 \nHermanRing 周期1 \nanalysis stopped\n"));
    EXPECT_TRUE(has(text, "critical point 1 lands on a repelling cycle of period 3 (no basin)\n"));
    EXPECT_EQ(text.find("critical point 0"), std::string::npos);
    EXPECT_TRUE(has(text, "\nalgebraic search: 3 periods searched, root finder failed at period 4 (roots from period 2 on"));
    analysis::JuliaAnalysis stopped;
    stopped.orbits.periodicSearch.end = analysis::PeriodicSearchEnd::Stopped;  // before any period
    EXPECT_TRUE(has(dynamicsText(stopped, {}), "\nalgebraic search: 0 periods searched, stopped\n"));
}

TEST(DynamicsReport, JsonMembersHoldEveryPartOfTheResult) {
    analysis::AnalysisSettings s;
    s.maxLoop = 77;
    s.inoutEps = 1e-7;
    const std::string json = dynamicsJsonMembers(sampleResult(), s);
    const char* members[] = {
        "\"maxLoop\": 77, \"siegelFlag\": 0,", "\"inoutEps\": 1E-07},\n",
        "\"algebraicSearch\": {\"end\": \"root finder failed\", \"lastPeriod\": 4, \"periodsSearched\": 3, \"firstIteratedPeriod\": 2},",
        "\"algebraicCycleCount\": 3,\n  \"cycles\": [\n    {\"index\": 0, \"period\": 1, \"kind\": \"S_ATTRACTING\", \"kindCode\": 0,",
        "{\"index\": 2, \"period\": 1, \"kind\": \"INDIFFERENT\", \"kindCode\": 2, \"toInfinity\": 0, \"algebraic\": true, "
        "\"points\": [{\"re\": 0.5, \"im\": -0.25}]}",
        "{\"index\": 3, \"period\": 0, \"kind\": \"ATTRACTING\", \"kindCode\": 1, \"toInfinity\": 1, \"algebraic\": false, \"points\": []}",
        "{\"index\": 4, \"period\": 3, \"kind\": \"不正種別\", \"kindCode\": 7,",
        "{\"criticalPoint\": 0, \"fate\": \"knownCycle\", \"period\": 2, \"cycle\": 1, \"curveEntry\": -1},\n",
        "{\"criticalPoint\": 1, \"fate\": \"repellingCycle\", \"period\": 3, \"cycle\": -1, \"curveEntry\": -1}\n  ],",
        "{\"criticalPointIndex\": 1, \"criticalPoint\": {\"re\": 0, \"im\": 0.25}, \"curves\": [\n      {\"inOut\": 1, "
        "\"inOutText\": \"Out\", \"points\": 4, \"outerDisks\": 0, \"innerDisks\": 0, \"octagon\": [1, 0, 1, 0, 2, 0, 1, -1]}\n    ]}",
        "\"siegelDisks\": [{\"entry\": 0, \"curve\": 1}, {\"entry\": 1, \"curve\": 0}],",
        "\"hermanRings\": [{\"inner\": {\"entry\": 0, \"curve\": 2}, \"outer\": {\"entry\": 0, \"curve\": 1}}],",
        "\"domainGroups\": [{\"kind\": \"SiegelDisk\", \"period\": 1, \"members\": [0]}, {\"kind\": \"SiegelDisk\", "
        "\"period\": 1, \"members\": [1]}, {\"kind\": \"HermanRing\", \"period\": 1, \"members\": [0]}],",
        "\"stopped\": true,\n  \"outOfMemory\": false\n"};
    for (const char* member : members) EXPECT_TRUE(has(json, member)) << member << "\n" << json;
    EXPECT_TRUE(has(dynamicsJsonMembers(analysis::JuliaAnalysis{}, s), "\"cycles\": [],\n  \"criticalOrbits\": [],\n  \"curves\": [],\n  "
                    "\"siegelDisks\": [],\n  \"hermanRings\": [],\n  \"domainGroups\": [],\n  \"stopped\": false,"));
    EXPECT_EQ(jsonString("a\"b\\c\n\x1f\x7f周"), "\"a\\\"b\\\\c\\u000a\\u001f\x7f周\"");
    EXPECT_EQ(jsonPoint(NAN, -INFINITY), "{\"re\": null, \"im\": null}");
}
