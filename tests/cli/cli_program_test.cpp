// Runs the built halvatrine-cli and checks its output and exit codes.

#include "cli_run.h"

namespace {

using cli_test::CliRun;

// Under a locale with a decimal comma: the output must not follow it.
CliRun run(const std::string& args) { return cli_test::runCli(args, "LC_ALL=de_DE.UTF-8"); }

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

TEST(CliProgram, AnalyseQuadraticPrintsCriticalAndFixedPoints) {
    const CliRun r = run("analyse 'z^2-1'");
    ASSERT_EQ(r.exitCode, 0);
    const auto critical = pointsAfter(r.out, "critical points: ");
    ASSERT_EQ(critical.size(), 1u);
    EXPECT_EQ(critical[0], std::complex<double>(0, 0));
    EXPECT_NE(r.out.find("infinityIsCritical: 0"), std::string::npos);
    const auto fixed = pointsAfter(r.out, "fixed points: ");
    ASSERT_EQ(fixed.size(), 2u);
    for (const auto& z : fixed) EXPECT_LT(std::abs(z * z - z - 1.0), 1e-14);  // z^2 - 1 = z
    // a decimal point whatever the user's locale
    EXPECT_NE(r.out.find("実部 -0.6180339887498948 虚部 0"), std::string::npos) << r.out;
}

TEST(CliProgram, ExitCodes) {
    EXPECT_EQ(run("").exitCode, 2);
    EXPECT_EQ(run("frobnicate").exitCode, 2);
    EXPECT_EQ(run("analyse").exitCode, 2);
    EXPECT_EQ(run("analyse z^2 --bogus").exitCode, 2);
    EXPECT_EQ(run("analyse 'z^2+'").exitCode, 1);
    EXPECT_EQ(run("analyse z").exitCode, 1);
    EXPECT_EQ(run("--help").exitCode, 0);
}

}  // namespace
