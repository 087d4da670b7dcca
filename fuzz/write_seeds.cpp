// Writes the seed corpus of every fuzz target with the programs' own
// writers: fuzz_write_seeds <corpus folder> (the repository's fuzz/corpus).
// Each seed is a valid input as a program would meet it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/julia_analysis.h"
#include "analysis/map_conversion.h"
#include "cli/components_report.h"
#include "cli/formula_parser.h"
#include "common/block_names.h"
#include "common/messages.h"
#include "common/number_text.h"
#include "common/sample_file.h"
#include "frontend/block_writer.h"
#include "frontend/settings.h"
#include "platform/message_port.h"
#include "platform/settings_store.h"

namespace {

namespace fs = std::filesystem;

// Formulas of the README and of the tests' usual maps.
const char* const FORMULAS[] = {
    "z^2-1", "(z^2+1)/(z^2-0.25)", "(0.3+0.5i)*z^3 + z", "-0.12+0.75i + z^2",
    "z^2+(-0.390540870218399-0.586787907346969i)", "(z+1)(z-1)/(2z)", "z^3-1e-3", "1/(z^2+.5)",
};

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

common::RationalMap mapOf(const char* formula) { return cli::parseFormula(formula).map; }

void formulaSeeds(const fs::path& dir) {
    int n = 0;
    for (const char* f : FORMULAS) writeFile(dir / ("formula" + std::to_string(n++)), f);
}

void blockSeeds(const fs::path& dir) {
    // Julia blocks with cycles, a Siegel disk (closed curves on) and none.
    const struct {
        const char* formula;
        int siegel;
    } pictures[] = {{"z^2-1", 0}, {"-0.12+0.75i + z^2", 0}, {"z^2+(-0.390540870218399-0.586787907346969i)", 1},
                    {"(z^2+1)/(z^2-0.25)", 0}};
    int n = 0;
    for (const auto& p : pictures) {
        const common::RationalMap map = mapOf(p.formula);
        analysis::AnalysisSettings settings;
        settings.siegelFlag = p.siegel;
        settings.maxLoop = 2000;
        const analysis::JuliaAnalysis a = analysis::analyseJulia(analysis::toEngineMap(map), settings);
        const cli::PictureBlock block = cli::buildJuliaBlock(map, a, settings);
        writeFile(dir / ("julia" + std::to_string(n++)),
                  std::string(static_cast<const char*>(block.data()), block.size));
    }
    frontend::PictureContent content;
    content.kind = 'M';
    content.title = "M1";
    content.map = mapOf("z^2");
    std::vector<std::uint64_t> storage(frontend::pictureBlockSize(content) / 8 + 1, 0);
    frontend::writePictureBlock(storage.data(), frontend::pictureBlockSize(content), content);
    writeFile(dir / "mandelbrot", std::string(reinterpret_cast<const char*>(storage.data()),
                                              frontend::pictureBlockSize(content)));
}

void sampleSeeds(const fs::path& dir) {
    const fs::path path = dir / "SampleData.dat";
    fs::remove(path);
    common::SampleFile file;
    file.createWithSample(path.string(), *common::formatSample(mapOf("z^2-1")), "z^2-1");
    file.close();
    int n = 0;
    for (const char* f : FORMULAS) {
        common::SampleFile more;
        more.readSamples(path.string(), common::SampleAccess::ReadWrite);
        const auto style = n % 2 ? common::SampleTextStyle::Shortened : common::SampleTextStyle::Full;
        if (const auto texts = common::formatSample(mapOf(f), style)) more.appendSample(*texts, f);
        ++n;
    }
    const std::string all = read(path);
    fs::remove(path);
    writeFile(dir / "samples", all);
    writeFile(dir / "one_sample", all.substr(0, all.find('\r') + 1));
    std::string crlf;
    for (char c : all) crlf += c == '\r' ? std::string("\r\n") : std::string(1, c);
    writeFile(dir / "samples_crlf", crlf);
}

void settingsSeeds(const fs::path& dir) {
    const fs::path path = dir / "Halvatrine.conf";
    std::vector<std::pair<std::string, std::string>> values;
    for (const auto& t : frontend::formatSettings(frontend::Settings{})) values.emplace_back(t.name, t.text);
    writeFile(path, "[General]\nkeep=1\n");
    platform::SettingsStore(path.string()).save(values);
    const std::string saved = read(path);
    writeFile(dir / "settings", saved);
    writeFile(dir / "settings_twice", saved + "[Halvatrine]\nMAX_LOOP=20\n");
    fs::remove(path);
}

void numberSeeds(const fs::path& dir) {
    const double values[] = {0.000001, -0.12, 1e300, 4.9e-324, 3.141592653589793, 10000};
    int n = 0;
    for (double v : values) {
        writeFile(dir / ("g16_" + std::to_string(n)), common::formatG16(v));
        writeFile(dir / ("fixed_" + std::to_string(n++)), common::formatFixed16Trimmed(v));
    }
    using namespace std::string_literals;
    writeFile(dir / "command_line", "-"s + common::frontEndBlockName(1234) + '\0' + "-" +
                                        common::analysisBlockName(3, 1234) + '\0' + "-13000");
}

void messageSeeds(const fs::path& dir) {
    const platform::Message messages[] = {
        {platform::makeWindowHandle(1, 1), common::MSG_DRAW_STARTED, 1, platform::makeWindowHandle(7, 2)},
        {platform::makeWindowHandle(1, 1), common::MSG_NEW_PICTURE, 1, 'J'},
        {platform::makeWindowHandle(1, 0), common::WM_CLOSE, 0, 0},
        {platform::makeWindowHandle(1, 2), common::MSG_PAINT_COLUMNS, (3 << 16) | 9, (0 << 16) | 599},
    };
    int n = 0;
    for (const auto& m : messages) {
        const auto bytes = platform::encodeMessage(m);
        writeFile(dir / ("message" + std::to_string(n++)), std::string(bytes.begin(), bytes.end()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_write_seeds CORPUS_FOLDER\n");
        return 2;
    }
    const fs::path root = argv[1];
    const struct {
        const char* target;
        void (*write)(const fs::path&);
    } sets[] = {{"fuzz_formula", formulaSeeds},   {"fuzz_block_reader", blockSeeds},
                {"fuzz_sample_file", sampleSeeds}, {"fuzz_settings", settingsSeeds},
                {"fuzz_number_text", numberSeeds}, {"fuzz_message", messageSeeds}};
    for (const auto& set : sets) {
        fs::create_directories(root / set.target);
        set.write(root / set.target);
    }
    return 0;
}
