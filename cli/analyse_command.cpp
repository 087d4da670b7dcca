// halvatrine-cli analyse FORMULA [--json] [--block FILE] [dynamics options]:
// the critical points, whether infinity is critical and the finite fixed
// points, then the dynamics report (dynamics_report.h) and the picture's
// components (components_report.h). The text report puts the components
// last; the JSON object puts them before the dynamics members.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "analysis/julia_analysis.h"
#include "analysis/map_conversion.h"
#include "cli/commands.h"
#include "cli/components_report.h"
#include "cli/dynamics_report.h"
#include "cli/formula_argument.h"
#include "cli/point_output.h"
#include "common/formula_check.h"

namespace cli {

namespace {

constexpr const char* UNCONVERGED_NOTE = "  (root finder failed: the points above did not converge)";
constexpr const char* CURVE_ANALYSIS_NOTICE = "閉曲線を検出、解析中です。しばらくお待ちください。";

struct AnalyseOptions {
    std::string formula;
    bool json = false;
    std::optional<std::string> blockPath;
    analysis::AnalysisSettings settings;
};

bool readOptions(const Arguments& given, AnalyseOptions& options) {
    Arguments args = given;
    if (!takeBlockOption(args, options.blockPath) || !takeDynamicsOptions(args, options.settings)) return false;
    std::optional<std::string> formula;
    for (const std::string& a : args) {
        if (a == "--json") {
            options.json = true;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            std::fprintf(stderr, "analyse: unknown option %s\n", a.c_str());
            return false;
        } else if (!takeFormulaArgument("analyse", a, formula)) {
            return false;
        }
    }
    if (!formula) {
        std::fprintf(stderr, "analyse: missing FORMULA\n");
        return false;
    }
    options.formula = *formula;
    return true;
}

// What the report is made of, besides the formula and the settings.
struct AnalyseResult {
    const common::RationalMap& map;
    const analysis::JuliaAnalysis& analysis;
    std::size_t blockSize;
    const std::vector<std::string>& components;
};

void printText(const AnalyseOptions& options, const AnalyseResult& r) {
    const analysis::CriticalPointList& critical = r.analysis.criticalPoints;
    const analysis::FixedPointList& fixed = r.analysis.fixedPoints;
    std::printf("form %d, numerator degree %d, denominator degree %d\n", r.map.form, r.map.numeratorDegree,
                r.map.denominatorDegree);
    std::printf("critical points: %d\n", critical.count);
    for (int k = 0; k < critical.count; ++k) std::printf("%s\n", pointLine(critical.re[k], critical.im[k]).c_str());
    if (critical.rootsFailed) std::printf("%s\n", UNCONVERGED_NOTE);
    std::printf("infinityIsCritical: %d\n", critical.infinityIsCritical);
    std::printf("fixed points: %d\n", fixed.count);
    for (int k = 0; k < fixed.count; ++k) std::printf("%s\n", pointLine(fixed.re[k], fixed.im[k]).c_str());
    if (fixed.rootsFailed) std::printf("%s\n", UNCONVERGED_NOTE);
    std::fputs(dynamicsText(r.analysis, options.settings).c_str(), stdout);
    std::printf("block: %zu bytes\n", r.blockSize);
    std::printf("コンポネント\n");
    for (const std::string& line : r.components) std::printf("%s\n", line.c_str());
}

void printJson(const AnalyseOptions& options, const AnalyseResult& r) {
    const analysis::CriticalPointList& critical = r.analysis.criticalPoints;
    const analysis::FixedPointList& fixed = r.analysis.fixedPoints;
    std::printf("{\n");
    std::printf("  \"formula\": %s,\n", jsonString(options.formula).c_str());
    std::printf("  \"form\": %d,\n  \"numeratorDegree\": %d,\n  \"denominatorDegree\": %d,\n", r.map.form,
                r.map.numeratorDegree, r.map.denominatorDegree);
    std::printf("  \"criticalPoints\": %s,\n", jsonPoints(critical.re, critical.im, critical.count).c_str());
    std::printf("  \"criticalPointsConverged\": %s,\n", critical.rootsFailed ? "false" : "true");
    std::printf("  \"infinityIsCritical\": %d,\n", critical.infinityIsCritical);
    std::printf("  \"fixedPoints\": %s,\n", jsonPoints(fixed.re, fixed.im, fixed.count).c_str());
    std::printf("  \"fixedPointsConverged\": %s,\n", fixed.rootsFailed ? "false" : "true");
    std::printf("  \"blockSize\": %zu,\n  \"components\": [", r.blockSize);
    for (std::size_t i = 0; i < r.components.size(); ++i)
        std::printf("%s%s", i ? ", " : "", jsonString(r.components[i]).c_str());
    std::printf("],\n");
    std::fputs(dynamicsJsonMembers(r.analysis, options.settings).c_str(), stdout);
    std::printf("}\n");
}

}  // namespace

int runAnalyse(const Arguments& args) {
    AnalyseOptions options;
    if (!readOptions(args, options)) {
        printUsage("analyse");
        return EXIT_USAGE;
    }
    const std::optional<common::RationalMap> blockMap = parseFormulaArgument("analyse", options.formula);
    if (!blockMap) return EXIT_REJECTED;
    const common::FormulaCheck check = common::checkFormula(*blockMap);
    if (check != common::FormulaCheck::Ok) {
        std::fprintf(stderr, "%s\n", common::formulaCheckMessage(check));
        return EXIT_REJECTED;
    }

    const analysis::JuliaAnalysis a =
        analysis::analyseJulia(analysis::toEngineMap(*blockMap), options.settings, nullptr,
                               [] { std::fprintf(stderr, "%s\n", CURVE_ANALYSIS_NOTICE); });
    PictureBlock block = buildJuliaBlock(*blockMap, a, options.settings);
    const std::vector<std::string> components = componentLines(block);
    bool written = true;
    if (options.blockPath) {
        std::string error;
        written = writeBlockFile(*options.blockPath, block, &error);
        if (!written) std::fprintf(stderr, "analyse: cannot write %s: %s\n", options.blockPath->c_str(), error.c_str());
    }

    const AnalyseResult result{*blockMap, a, block.size, components};
    if (options.json)
        printJson(options, result);
    else
        printText(options, result);
    return a.outOfMemory || !written ? EXIT_REJECTED : EXIT_OK;
}

}  // namespace cli
