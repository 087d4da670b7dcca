// The components section of `halvatrine-cli analyse` and the block written
// with --block, read back through the viewer's reader.
#include "common/block_reader.h"
#include "common/component_listing.h"

#include "cli_run.h"

namespace {

using cli_test::CliRun;
using cli_test::runCli;

std::string temporaryPath(const char* name) {
    return "/tmp/hv-cli-" + std::to_string(::getpid()) + "-" + name;
}

// The lines after the "コンポネント" heading, up to the end of the output.
std::vector<std::string> componentSection(const std::string& out) {
    std::vector<std::string> lines;
    const auto at = out.rfind("コンポネント\n");
    if (at == std::string::npos) return lines;
    std::string rest = out.substr(at + std::string("コンポネント\n").size());
    std::size_t start = 0, end;
    while ((end = rest.find('\n', start)) != std::string::npos) {
        lines.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

TEST(ComponentsReport, QuadraticEndsWithInfinityAndItsTwoCycle) {
    const std::string file = temporaryPath("z2m1.block");
    const CliRun r = runCli("analyse 'z^2-1' --block " + file);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    // z^2 - 1: infinity and the superattracting cycle {0, -1}.
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
    EXPECT_NEAR(sum, -1.0, 1e-12);     // the points 0 and -1
    EXPECT_NEAR(product, 2.0, 1e-12);
    EXPECT_EQ(common::componentListing(*view), componentSection(r.out));
}

TEST(ComponentsReport, JsonCarriesTheSameLines) {
    const CliRun r = runCli("analyse 'z^2-1' --json");
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("\"components\": [\"無限遠 S_ATTRACTING\", \"周期点 周期2 S_ATTRACTING\"]"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"blockSize\": 12968,"), std::string::npos);
}

TEST(ComponentsReport, BlockOptionErrors) {
    EXPECT_EQ(runCli("analyse 'z^2-1' --block").exitCode, 2);
    EXPECT_EQ(runCli("analyse 'z^2-1' --block=").exitCode, 2);
    EXPECT_EQ(runCli("analyse 'z^2-1' --block /nonexistent-directory/x.block").exitCode, 1);
}

}  // namespace
