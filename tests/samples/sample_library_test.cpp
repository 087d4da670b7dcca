// The sample library installed with Halvatrine: every record loads as サンプル読み込み loads it and
// passes 実行's checks, and the analysis of its Julia picture finds what its name promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

#include "analysis/julia_analysis.h"
#include "analysis/map_conversion.h"
#include "common/component_listing.h"
#include "common/formula_check.h"
#include "common/sample_file.h"
#include "frontend/formula_grid.h"

namespace {

// The periods of the attracting and indifferent cycles (sorted), whether infinity attracts (as the
// components listing shows it), whether there is a Siegel disk, a Herman ring.
using Promise = std::tuple<std::vector<int>, bool, bool, bool>;
const std::map<std::string, Promise> PROMISES = {
    {"Basilica z^2-1 / バシリカ", {{2}, true, false, false}},
    {"Douady rabbit / ダウディのウサギ", {{3}, true, false, false}},
    {"Airplane z^2-1.7549 / 飛行機", {{3}, true, false, false}},
    {"Period-4 bulb / 4周期の成分", {{4}, true, false, false}},
    {"Period-5 bulb / 5周期の成分", {{5}, true, false, false}},
    {"Cauliflower z^2+1/4 / カリフラワー", {{1}, true, false, false}},  // the parabolic point 1/2 takes the critical orbit
    {"Circle z^2 / 円", {{1}, true, false, false}},
    {"Cantor dust z^2+0.5 / カントールの塵", {{}, true, false, false}},
    {"Golden-mean Siegel disk / 黄金比ジーゲル円板", {{}, true, true, false}},
    {"Cubic z^3-0.5z / 3次多項式", {{1}, true, false, false}},
    {"Cubic z^3+0.54i / 3次多項式 虚数定数", {{1}, true, false, false}},
    {"Degree 10: z^10+0.1 / 10次多項式", {{1}, true, false, false}},
    {"Newton z^3-1 / ニュートン法 z^3-1", {{1, 1, 1}, false, false, false}},
    {"Newton z^4-1 / ニュートン法 z^4-1", {{1, 1, 1, 1}, false, false, false}},
    {"Newton z^5-1 / ニュートン法 z^5-1", {{1, 1, 1, 1, 1}, false, false, false}},
    {"Newton z^3-2z+2 / ニュートン法の2周期", {{1, 1, 1, 2}, false, false, false}},  // the roots and the cycle 0 <-> 1
    {"Herman ring (Blaschke) / エルマンリング", {{1}, true, false, true}},
    {"Lattès map / ラテス写像", {{}, false, false, false}},  // its Julia set is the sphere: nothing attracts
    {"McMullen z^2+0.001/z^3 / マクマレン写像", {{}, true, false, false}},
    {"Rational (z^2+1)/(z^2-1/4) / 有理関数", {{1}, false, false, false}},
};

TEST(SampleLibrary, EverySampleLoadsAndItsAnalysisKeepsItsPromise) {
    std::ifstream file(HV_SAMPLE_FILE, std::ios::binary);
    const common::SampleTable table = common::parseSamples(std::string(std::istreambuf_iterator<char>(file), {}));
    EXPECT_EQ(table.presentCount(), static_cast<int>(PROMISES.size()));
    for (int index : table.presentIndices()) {
        const common::SampleRecord& record = table.records[static_cast<std::size_t>(index)];
        SCOPED_TRACE(record.name);
        const Promise& promise = PROMISES.at(record.name);  // throws for a sample without a promise
        common::RationalMap map{};
        frontend::FormulaGrid grid(map);
        std::array<std::string, frontend::GRID_FIELD_COUNT> texts;
        for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f)
            texts[std::size_t(f)] = record.texts[std::size_t(common::sampleTextIndexOfField(f))];
        grid.loadCartesianTexts(texts);
        for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) EXPECT_FALSE(grid.needsMarking(f)) << f;
        common::storeDegreesAndForm(map);
        ASSERT_EQ(common::checkFormula(map), common::FormulaCheck::Ok);

        analysis::AnalysisSettings settings;
        settings.siegelFlag = std::get<2>(promise) || std::get<3>(promise);  // a rotation domain promised
        const analysis::JuliaAnalysis a = analysis::analyseJulia(analysis::toEngineMap(map), settings);
        std::vector<int> periods;
        for (const analysis::Cycle& c : a.orbits.cycles.cycles)
            if (c.period > 0 && c.kind != analysis::PointKind::Repelling) periods.push_back(c.period);
        std::sort(periods.begin(), periods.end());
        EXPECT_EQ(Promise(periods, common::infinityListingLine(map).has_value(), !a.domains.siegelDisks.empty(),
                          !a.domains.hermanRings.empty()),
                  promise);
    }
}

}  // namespace
