// Small rendered pictures compared byte for byte with bitmaps made once by
// `halvatrine-cli render` and checked by eye: any change to the analysis'
// component table, the kernels, the passes, the colour model or the bitmap
// writer shows up here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/batch_render.h"
#include "cli/formula_parser.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Golden {
    const char* file;
    const char* formula;
    char kind;
    std::optional<double> centreRe;
    std::optional<double> magnification;
    std::optional<int> loopCount;
};

// The same pictures as these commands (size 64x64, other options default):
//   render "z^2-1" --julia
//   render "z^2" --mandelbrot --centre -0.5,0 --magnification 0.3333333333333333 --loop 200
//   render "(z^2+1)/(z^2-0.25)" --julia
const Golden kGoldens[] = {
    {"julia_z2_minus_1.bmp", "z^2-1", 'J', {}, {}, {}},
    {"mandelbrot_z2_plus_c.bmp", "z^2", 'M', -0.5, 0.3333333333333333, 200},
    {"rational_z2p1_over_z2m025.bmp", "(z^2+1)/(z^2-0.25)", 'J', {}, {}, {}},
};

TEST(GoldenPictures, RendersMatchTheCommittedBitmaps) {
    for (const Golden& g : kGoldens) {
        const cli::FormulaParseResult parsed = cli::parseFormula(g.formula);
        ASSERT_TRUE(parsed.ok) << g.formula;
        cli::BatchRenderRequest request;
        request.map = parsed.map;
        request.kind = g.kind;
        request.width = request.height = 64;
        if (g.centreRe) {
            request.centreRe = *g.centreRe;
            request.centreIm = 0.0;
        }
        request.magnification = g.magnification;
        request.loopCount = g.loopCount;
        cli::BatchPicture picture;
        ASSERT_EQ(picture.prepare(request), std::nullopt) << g.formula;
        picture.render();
        const std::vector<std::uint8_t> golden = readFile(fs::path(HV_GOLDEN_DIR) / g.file);
        ASSERT_FALSE(golden.empty()) << g.file;
        EXPECT_TRUE(picture.bitmap().fileBytes() == golden) << g.file << " differs from its golden bitmap";
    }
}

int runCli(const std::string& arguments) {
    const std::string command = std::string(HALVATRINE_CLI) + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CliRender : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("hv_cli_render_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST_F(CliRender, CommandLineWritesTheGoldenBitmap) {
    // Every option has a default.
    const fs::path out = dir_ / "j.bmp";
    ASSERT_EQ(runCli("render \"z^2-1\" --julia -o " + out.string()), 0);
    const std::vector<std::uint8_t> j = readFile(out);
    ASSERT_GT(j.size(), 54u);
    EXPECT_EQ(j[18] | (j[19] << 8), 600);  // width
    EXPECT_EQ(j[22] | (j[23] << 8), 600);  // height

    const fs::path m = dir_ / "m.bmp";
    ASSERT_EQ(runCli("render z^2 --mandelbrot --size 64x64 --centre -0.5,0 --magnification 0.3333333333333333 "
                     "--loop 200 --critical 0 -o " + m.string()),
              0);
    EXPECT_TRUE(readFile(m) == readFile(fs::path(HV_GOLDEN_DIR) / "mandelbrot_z2_plus_c.bmp"));
}

}  // namespace
