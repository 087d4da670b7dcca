// The sample library installed with Halvatrine: every record loads as the
// front end loads it (texts into the formula grid, Execute's checks), and
// the analysis of its Julia picture finds what its name promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "analysis/julia_analysis.h"
#include "analysis/map_conversion.h"
#include "common/component_listing.h"
#include "common/formula_check.h"
#include "common/sample_file.h"
#include "frontend/formula_grid.h"

namespace {

// What a sample's name promises: the periods of its attracting and
// indifferent cycles (sorted), whether infinity attracts (as the components
// listing shows it), and its rotation domains (looked for when promised).
struct Promise {
    std::vector<int> cyclePeriods;
    bool infinity = true;
    bool siegelDisk = false;
    bool hermanRing = false;
};

// By name; every record of the file must have an entry and every entry a record.
const std::map<std::string, Promise>& promises() {
    static const std::map<std::string, Promise> table = {
        {"Basilica z^2-1 / バシリカ", {{2}}},
        {"Douady rabbit / ダウディのウサギ", {{3}}},
        {"Airplane z^2-1.7549 / 飛行機", {{3}}},
        {"Period-4 bulb / 4周期の成分", {{4}}},
        {"Period-5 bulb / 5周期の成分", {{5}}},
        // The parabolic basin: the critical orbit creeps into the fixed point 1/2.
        {"Cauliflower z^2+1/4 / カリフラワー", {{1}}},
        {"Circle z^2 / 円", {{1}}},
        {"Cantor dust z^2+0.5 / カントールの塵", {{}}},
        {"Golden-mean Siegel disk / 黄金比ジーゲル円板", {{}, true, true, false}},
        {"Cubic z^3-0.5z / 3次多項式", {{1}}},
        {"Cubic z^3+0.54i / 3次多項式 虚数定数", {{1}}},
        {"Degree 10: z^10+0.1 / 10次多項式", {{1}}},
        {"Newton z^3-1 / ニュートン法 z^3-1", {{1, 1, 1}, false}},
        {"Newton z^4-1 / ニュートン法 z^4-1", {{1, 1, 1, 1}, false}},
        {"Newton z^5-1 / ニュートン法 z^5-1", {{1, 1, 1, 1, 1}, false}},
        // Besides the three roots, the attracting cycle 0 -> 1 -> 0.
        {"Newton z^3-2z+2 / ニュートン法の2周期", {{1, 1, 1, 2}, false}},
        // The superattracting fixed point 0, and the ring around the unit circle.
        {"Herman ring (Blaschke) / エルマンリング", {{1}, true, false, true}},
        // Its Julia set is the whole sphere: nothing attracts.
        {"Lattès map / ラテス写像", {{}, false}},
        {"McMullen z^2+0.001/z^3 / マクマレン写像", {{}}},
        {"Rational (z^2+1)/(z^2-1/4) / 有理関数", {{1}, false}},
    };
    return table;
}

common::SampleTable bundledSamples() {
    std::ifstream file(HV_SAMPLE_FILE, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return common::parseSamples(bytes);
}

TEST(SampleLibrary, EveryRecordIsListedAndPromised) {
    const common::SampleTable table = bundledSamples();
    std::vector<std::string> names;
    for (int index : table.presentIndices()) names.push_back(table.records[static_cast<std::size_t>(index)].name);
    std::vector<std::string> promised;
    for (const auto& entry : promises()) promised.push_back(entry.first);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, promised);
    EXPECT_EQ(table.presentCount(), static_cast<int>(table.records.size()));
}

TEST(SampleLibrary, EachSampleLoadsAndItsAnalysisKeepsItsPromise) {
    const common::SampleTable table = bundledSamples();
    for (int index : table.presentIndices()) {
        const common::SampleRecord& record = table.records[static_cast<std::size_t>(index)];
        SCOPED_TRACE(record.name);
        const auto promise = promises().find(record.name);
        ASSERT_NE(promise, promises().end());

        // As サンプル読み込み loads it, then as 実行 checks it.
        common::RationalMap map{};
        frontend::FormulaGrid grid(map);
        std::array<std::string, frontend::GRID_FIELD_COUNT> texts;
        for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f)
            texts[static_cast<std::size_t>(f)] =
                record.texts[static_cast<std::size_t>(common::sampleTextIndexOfField(f))];
        grid.loadCartesianTexts(texts);
        for (int f = 0; f < frontend::GRID_FIELD_COUNT; ++f) EXPECT_FALSE(grid.needsMarking(f)) << f;
        common::storeDegreesAndForm(map);
        ASSERT_EQ(common::checkFormula(map), common::FormulaCheck::Ok);

        const Promise& p = promise->second;
        analysis::AnalysisSettings settings;
        settings.siegelFlag = p.siegelDisk || p.hermanRing ? 1 : 0;
        const analysis::JuliaAnalysis a = analysis::analyseJulia(analysis::toEngineMap(map), settings);
        ASSERT_FALSE(a.stopped || a.outOfMemory || a.invalidInput);
        std::vector<int> periods;
        for (const analysis::Cycle& c : a.orbits.cycles.cycles) {
            if (c.period == 0) continue;  // the entry for infinity
            EXPECT_NE(c.kind, analysis::PointKind::Repelling) << "period " << c.period;
            periods.push_back(c.period);
        }
        std::sort(periods.begin(), periods.end());
        EXPECT_EQ(periods, p.cyclePeriods);
        EXPECT_EQ(common::infinityListingLine(map).has_value(), p.infinity);
        EXPECT_EQ(!a.domains.siegelDisks.empty(), p.siegelDisk);
        EXPECT_EQ(!a.domains.hermanRings.empty(), p.hermanRing);
    }
}

}  // namespace
