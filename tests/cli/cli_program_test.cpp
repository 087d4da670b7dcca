// Runs the built halvatrine-cli: the quadratic's points and components, the
// block it writes (read back through the viewer's reader), and the exit codes.
#include "common/block_reader.h"
#include "common/component_listing.h"

#include "cli_run.h"

namespace {

using cli_test::CliRun;
using cli_test::runCli;

std::vector<std::complex<double>> pointsAfter(const std::string& out, const std::string& heading) {
    std::vector<std::complex<double>> points;
    std::istringstream lines(out.substr(out.find(heading)));
    std::string line;
    std::getline(lines, line);
    const int count = std::stoi(line.substr(heading.size()));
    for (int k = 0; k < count && std::getline(lines, line); ++k) {
        double re = 0, im = 0;
        EXPECT_EQ(std::sscanf(line.c_str(), "実部 %lf 虚部 %lf", &re, &im), 2) << line;
        points.emplace_back(re, im);
    }
    return points;
}

// The lines after the "コンポネント" heading, up to the end of the output.
std::vector<std::string> componentSection(const std::string& out) {
    std::vector<std::string> lines;
    const auto at = out.rfind("コンポネント\n");
    if (at == std::string::npos) return lines;
    std::istringstream rest(out.substr(at + std::string("コンポネント\n").size()));
    for (std::string line; std::getline(rest, line);) lines.push_back(line);
    return lines;
}

TEST(CliProgram, QuadraticPointsComponentsAndBlock) {
    const std::string file = "/tmp/hv-cli-" + std::to_string(::getpid()) + "-z2m1.block";
    // Under a locale with a decimal comma: the output must not follow it.
    const CliRun r = runCli("analyse 'z^2-1' --block " + file, "LC_ALL=de_DE.UTF-8");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(pointsAfter(r.out, "critical points: "), (std::vector<std::complex<double>>{0.0}));
    EXPECT_NE(r.out.find("infinityIsCritical: 0"), std::string::npos);
    const auto fixed = pointsAfter(r.out, "fixed points: ");
    ASSERT_EQ(fixed.size(), 2u);
    for (const auto& z : fixed) EXPECT_LT(std::abs(z * z - z - 1.0), 1e-14);  // z^2 - 1 = z
    EXPECT_NE(r.out.find("実部 -0.6180339887498948 虚部 0"), std::string::npos) << r.out;
    // Infinity and the superattracting cycle {0, -1}.
    EXPECT_EQ(componentSection(r.out), (std::vector<std::string>{"無限遠 S_ATTRACTING", "周期点 周期2 S_ATTRACTING"}));

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
    EXPECT_EQ(view->header->currentView.pictureWidth, 600);  // the default picture size
    EXPECT_EQ(view->header->currentView.pictureHeight, 600);
    EXPECT_EQ(view->header->currentView.loopCount, 1000);
    ASSERT_EQ(view->components.size(), 1u);
    const common::ComponentView& cycle = view->components[0];
    ASSERT_TRUE(cycle.valid);
    ASSERT_EQ(cycle.cyclePoints.count, 2);
    double product = 1.0, sum = 0.0;
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(cycle.cyclePoints.im(i), 0.0, 1e-12);
        sum += cycle.cyclePoints.re(i);
        product *= std::fabs(cycle.cyclePoints.re(i)) + 1.0;
    }
    EXPECT_NEAR(sum, -1.0, 1e-12);  // the points 0 and -1
    EXPECT_NEAR(product, 2.0, 1e-12);
    EXPECT_EQ(common::componentListing(*view), componentSection(r.out));
}

TEST(CliProgram, ExitCodes) {
    const std::pair<const char*, int> cases[] = {
        {"", 2}, {"frobnicate", 2}, {"analyse", 2}, {"analyse z^2 --bogus", 2}, {"analyse 'z^2-1' --block", 2},
        {"analyse 'z^2-1' --block=", 2}, {"analyse 'z^2+'", 1}, {"analyse z", 1},
        {"analyse 'z^2-1' --block /nonexistent-directory/x.block", 1}, {"--help", 0}};
    for (const auto& [args, code] : cases) EXPECT_EQ(runCli(args).exitCode, code) << args;
}

}  // namespace
