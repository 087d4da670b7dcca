// Runs the built halvatrine-cli: the quadratic's points and components, the
// block it writes (read back through the viewer's reader), and the exit codes.
#include "common/block_reader.h"
#include "common/component_listing.h"

#include "cli_run.h"

namespace {

using cli_test::CliRun;
using cli_test::runCli;

TEST(CliProgram, QuadraticPointsComponentsAndBlock) {
    const std::string file = "/tmp/hv-cli-" + std::to_string(::getpid()) + "-z2m1.block";
    // Under a locale with a decimal comma: the output must not follow it.
    const CliRun r = runCli("analyse 'z^2-1' --block " + file, "LC_ALL=de_DE.UTF-8");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    // The critical point 0, then the two fixed points, roots of z^2 - 1 = z.
    double c[2], f[4];
    ASSERT_EQ(std::sscanf(r.out.c_str(), "form 1, numerator degree 2, denominator degree 0 critical points: 1 実部 %lf 虚部 %lf "
                          "infinityIsCritical: 0 fixed points: 2 実部 %lf 虚部 %lf 実部 %lf 虚部 %lf", &c[0], &c[1], &f[0], &f[1],
                          &f[2], &f[3]), 6) << r.out;
    EXPECT_EQ(std::make_pair(c[0], c[1]), std::make_pair(0.0, 0.0));
    const std::complex<double> p(f[0], f[1]), q(f[2], f[3]);
    EXPECT_LT(std::abs(p * p - p - 1.0) + std::abs(q * q - q - 1.0), 1e-14);
    EXPECT_GT(std::abs(p - q), 2.0);  // two roots, sqrt(5) apart
    EXPECT_NE(r.out.find("実部 -0.6180339887498948 虚部 0"), std::string::npos) << r.out;
    // Infinity and the superattracting cycle {0, -1}, last in the report.
    const std::string listing = "コンポネント\n無限遠 S_ATTRACTING\n周期点 周期2 S_ATTRACTING\n";
    EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), listing.size())), listing);

    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(file.c_str());
    ASSERT_EQ(bytes.size(), 12936u + 2 * 16);  // the fixed part and two cycle points
    EXPECT_NE(r.out.find("block: " + std::to_string(bytes.size()) + " bytes\n"), std::string::npos);
    std::vector<std::uint64_t> aligned((bytes.size() + 7) / 8);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());
    const auto view = common::readAnalysisBlock(aligned.data(), bytes.size());
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->pictureKind, 'J');
    EXPECT_EQ(view->title, "J1");
    const common::ViewRecord& v = view->header->currentView;  // the default picture
    EXPECT_EQ(std::make_tuple(v.pictureWidth, v.pictureHeight, v.loopCount), std::make_tuple(600, 600, 1000));
    EXPECT_EQ(common::componentListing(*view),
              (std::vector<std::string>{"無限遠 S_ATTRACTING", "周期点 周期2 S_ATTRACTING"}));
    const common::PointArray& cycle = view->components[0].cyclePoints;
    ASSERT_EQ(cycle.count, 2);
    const std::complex<double> a(cycle.re(0), cycle.im(0)), b(cycle.re(1), cycle.im(1));
    EXPECT_LT(std::abs(a * b) + std::abs(a + b + 1.0), 1e-12);  // {0, -1}
}

TEST(CliProgram, JsonReportOfTheSuperattractingCycle) {
    // z^6 - 1: the algebraic search ends at period 3 (6^4 > 1024); 0 lies on the superattracting cycle {0, -1}.
    const CliRun j = runCli("analyse 'z^6-1' --max-loop=100 --json");
    ASSERT_EQ(j.exitCode, 0);
    const std::string members[] = {
        "{\n  \"formula\": \"z^6-1\",\n  \"form\": 1,\n  \"numeratorDegree\": 6,\n  \"denominatorDegree\": 0,\n",
        "\"criticalPointsConverged\": true,\n  \"infinityIsCritical\": 0,\n  \"fixedPoints\": [{\"re\": ",
        "\"fixedPointsConverged\": true,\n  \"blockSize\": " + std::to_string(12936 + 2 * 16) + ",\n",
        "\"components\": [\"無限遠 S_ATTRACTING\", \"周期点 周期2 S_ATTRACTING\"],\n  \"settings\": {\"maxLoop\": 100,",
        "\"periodsSearched\": 3,", "\"period\": 2, \"kind\": \"S_ATTRACTING\"", "\"fate\": \"knownCycle\""};
    for (const std::string& member : members) EXPECT_NE(j.out.find(member), std::string::npos) << member << j.out;
    EXPECT_EQ(j.out.substr(j.out.size() - 2), "}\n");
}

TEST(CliProgram, ExitCodes) {
    const std::pair<const char*, int> cases[] = {
        {"", 2}, {"frobnicate", 2}, {"analyse", 2}, {"analyse z^2 --bogus", 2}, {"analyse 'z^2-1' --block", 2},
        {"analyse 'z^2-1' --block=", 2}, {"analyse 'z^2-1' --block '' --json", 2},
        {"analyse z^2 z^3", 2}, {"analyse 'z^2-1' --max-loop=x", 2},
        {"analyse 'z^2+'", 1}, {"analyse z", 1}, {"render 'z^2+' --julia -o x.png", 1},
        {"render 'z^2-1' --julia --size 8x8 -o .p", 2},
        {"analyse 'z^2-1' --block /nonexistent-directory/x.block", 1}, {"--help", 0}, {"-h", 0}};
    for (const auto& [args, code] : cases) EXPECT_EQ(runCli(args).exitCode, code) << args;
}

}  // namespace
