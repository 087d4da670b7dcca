// The formula text of the command-line tool and the whole analysis behind
// it: the parser, Execute's checks, the Julia analysis (the steps of
// analyseJulia), the picture's block and its component listing read back.
// Degree and work are capped so that one input takes well under a second:
// the algebraic cycle search stops where the period polynomial's degree
// would pass 16, and critical orbits are short.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "analysis/critical_points.h"
#include "analysis/julia_analysis.h"
#include "analysis/map_conversion.h"
#include "analysis/periodic_points.h"
#include "cli/components_report.h"
#include "cli/formula_parser.h"
#include "common/formula_check.h"
#include "fuzz_check.h"

namespace {

constexpr std::size_t MAX_FORMULA_BYTES = 256;
constexpr int MAX_ANALYSED_DEGREE = 6;
constexpr int ANALYSIS_LOOPS = 300;
constexpr long MAX_PERIOD_POLYNOMIAL_DEGREE = 16;

// The longest period whose polynomial stays within the cap.
int periodCap(int degree) {
    int period = 1;
    long power = degree;
    while (period < analysis::MAX_ALGEBRAIC_PERIOD && power * degree <= MAX_PERIOD_POLYNOMIAL_DEGREE) {
        power *= degree;
        ++period;
    }
    return period;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_FORMULA_BYTES) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const cli::FormulaParseResult parsed = cli::parseFormula(text);
    if (!parsed.ok) {
        FUZZ_CHECK(!parsed.error.empty());
        FUZZ_CHECK(parsed.errorPosition >= 1 && static_cast<std::size_t>(parsed.errorPosition) <= size + 1);
        return 0;
    }
    const common::RationalMap& map = parsed.map;
    FUZZ_CHECK(map.numeratorDegree >= -1 && map.numeratorDegree <= common::MAX_DEGREE);
    FUZZ_CHECK(map.denominatorDegree >= -1 && map.denominatorDegree <= common::MAX_DEGREE);
    if (common::checkFormula(map) != common::FormulaCheck::Ok) return 0;
    if (std::max(map.numeratorDegree, map.denominatorDegree) > MAX_ANALYSED_DEGREE) return 0;

    analysis::AnalysisSettings settings;
    settings.maxLoop = ANALYSIS_LOOPS;
    // The closed-curve search on every other input, chosen by the text.
    settings.siegelFlag = static_cast<int>(size & 1);
    const analysis::RationalMap engineMap = analysis::toEngineMap(map);
    analysis::JuliaAnalysis a;
    a.criticalPoints = analysis::findCriticalPoints(engineMap);
    analysis::PeriodicSearchOptions search;
    search.convEps = settings.convEps;
    search.maxPeriod = periodCap(std::max(map.numeratorDegree, map.denominatorDegree));
    a.orbits = analysis::followCriticalOrbits(engineMap, a.criticalPoints, settings,
                                              analysis::findPeriodicPoints(engineMap, search));
    a.domains = analysis::pairRotationDomains(a.orbits.curves);
    a.fixedPoints = analysis::findFixedPoints(engineMap);
    cli::PictureBlock block = cli::buildJuliaBlock(map, a, settings);
    FUZZ_CHECK(block.size >= common::ANALYSIS_BLOCK_FIXED_SIZE);
    const auto lines = cli::componentLines(block);
    for (const auto& line : lines) FUZZ_CHECK(line.find("データ不正") == std::string::npos);
    return 0;
}
