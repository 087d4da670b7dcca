// halvatrine-cli analyse FORMULA [--json]: the critical points, whether
// infinity is critical, and the finite fixed points of the map.
#include <cstdio>
#include <string>

#include "analysis/critical_points.h"
#include "analysis/map_conversion.h"
#include "cli/commands.h"
#include "cli/formula_parser.h"
#include "cli/point_output.h"
#include "common/formula_check.h"

namespace cli {

namespace {

struct AnalyseOptions {
    std::string formula;
    bool json = false;
};

bool readOptions(const Arguments& args, AnalyseOptions& options) {
    bool haveFormula = false;
    for (const std::string& a : args) {
        if (a == "--json") {
            options.json = true;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            std::fprintf(stderr, "analyse: unknown option %s\n", a.c_str());
            return false;
        } else if (!haveFormula) {
            options.formula = a;
            haveFormula = true;
        } else {
            std::fprintf(stderr, "analyse: more than one formula (quote the formula if it has blanks)\n");
            return false;
        }
    }
    if (!haveFormula) std::fprintf(stderr, "analyse: missing FORMULA\n");
    return haveFormula;
}

void printText(const common::RationalMap& block, const analysis::CriticalPointList& critical,
               const analysis::FixedPointList& fixed) {
    std::printf("form %d, numerator degree %d, denominator degree %d\n", block.form, block.numeratorDegree,
                block.denominatorDegree);
    std::printf("critical points: %d\n", critical.count);
    for (int k = 0; k < critical.count; ++k) std::printf("%s\n", pointLine(critical.re[k], critical.im[k]).c_str());
    std::printf("infinityIsCritical: %d\n", critical.infinityIsCritical);
    std::printf("fixed points: %d\n", fixed.count);
    for (int k = 0; k < fixed.count; ++k) std::printf("%s\n", pointLine(fixed.re[k], fixed.im[k]).c_str());
}

void printJson(const std::string& formula, const common::RationalMap& block,
               const analysis::CriticalPointList& critical, const analysis::FixedPointList& fixed) {
    std::printf("{\n");
    std::printf("  \"formula\": %s,\n", jsonString(formula).c_str());
    std::printf("  \"form\": %d,\n  \"numeratorDegree\": %d,\n  \"denominatorDegree\": %d,\n", block.form,
                block.numeratorDegree, block.denominatorDegree);
    std::printf("  \"criticalPoints\": %s,\n", jsonPoints(critical.re, critical.im, critical.count).c_str());
    std::printf("  \"infinityIsCritical\": %d,\n", critical.infinityIsCritical);
    std::printf("  \"fixedPoints\": %s\n", jsonPoints(fixed.re, fixed.im, fixed.count).c_str());
    std::printf("}\n");
}

}  // namespace

int runAnalyse(const Arguments& args) {
    AnalyseOptions options;
    if (!readOptions(args, options)) {
        printUsage("analyse");
        return EXIT_USAGE;
    }
    const FormulaParseResult parsed = parseFormula(options.formula);
    if (!parsed.ok) {
        std::fprintf(stderr, "analyse: %s\n  %s\n  %*s^\n", parsed.error.c_str(), options.formula.c_str(),
                     parsed.errorPosition - 1, "");
        return EXIT_REJECTED;
    }
    const common::FormulaCheck check = common::checkFormula(parsed.map);
    if (check != common::FormulaCheck::Ok) {
        std::fprintf(stderr, "%s\n", common::formulaCheckMessage(check));
        return EXIT_REJECTED;
    }
    const analysis::RationalMap map = analysis::toEngineMap(parsed.map);
    const analysis::CriticalPointList critical = analysis::findCriticalPoints(map);
    const analysis::FixedPointList fixed = analysis::findFixedPoints(map);
    if (options.json)
        printJson(options.formula, parsed.map, critical, fixed);
    else
        printText(parsed.map, critical, fixed);
    return EXIT_OK;
}

}  // namespace cli
