// The settings' text forms and checks, and the formula grid's number rules.
#include "frontend/formula_grid.h"
#include "frontend/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace {

using frontend::Settings;

Settings parseFrom(const std::map<std::string, std::string>& values) {
    return frontend::parseSettings([&](const char* name) -> std::optional<std::string> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
}

TEST(SettingsText, EachValueIsReadWithinItsRangeOrFallsBackAlone) {
    // name, stored text, the value's text after loading (the default's when refused)
    const char* cases[][3] = {
        {"MAX_LOOP", "0", "0"}, {"MAX_LOOP", "-1", "10000"}, {"MAX_LOOP", "20000", "10000"}, {"MAX_LOOP", "abc", "10000"},
        {"SIEGELFLG", "1", "1"}, {"SIEGELFLG", "2", "0"}, {"SIEGELFLG", "-1", "0"}, {"SIEGELFLG", "", "0"},
        {"CONV_EPS", "1e-300", "0"}, {"CONV_EPS", "0", "0.000001"}, {"CONV_EPS", "0x1p-3", "0.000001"},
        {"CONV_EPS", "inf", "0.000001"}, {"CONT_EPS", "-0.5", "0.05"}, {"CONT_EPS", "1e999", "0.05"},
        {"CONT_EPS", ".", "0.05"}, {"INOUT_EPS", "nan", "0.01"}, {"INOUT_EPS", "0.25", "0.25"},
        {"SIZEX", "1000", "1000"}, {"SIZEX", "1001", "600"}, {"SIZEX", "4294967297", "600"},  // must not wrap to 1
        {"SIZEX", "0x10", "600"}, {"SIZEY", "1", "1"}, {"SIZEY", "0", "600"}, {"SIZEY", "12abc", "12"},
        {"SIZEY", "\xFF\xFE", "600"}, {"SIZEY", "-", "600"},
    };
    const auto defaults = frontend::formatSettings(Settings{});
    for (const auto& [name, text, loaded] : cases) {
        const auto got = frontend::formatSettings(parseFrom({{name, text}}));
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i].text, got[i].name == std::string(name) ? loaded : defaults[i].text) << name << "=" << text;
    }
}

TEST(FormulaGridRules, KeystrokesCutAtTheFirstInvalidCharacterAndPolarArgumentsFollowTheQuadrant) {
    const std::pair<const char*, std::size_t> prefixes[] = {
        {"1.2.3", 3}, {"2-", 1}, {"-", 1}, {"-.5", 3}, {"--1", 1}, {"12a3", 2}, {"x", 0}, {"1e5", 1},
        {"０", 0},  // full-width digits are not digits
        {"", 0}};
    for (const auto& [text, prefix] : prefixes) EXPECT_EQ(frontend::validNumberPrefix(text), prefix) << text;
    const double pi = std::acos(-1.0);
    const double polar[][4] = {{0, 2, 2, pi / 2}, {0, -2, 2, -pi / 2}, {0, 0, 0, 0}, {3, 4, 5, std::atan(4.0 / 3.0)},
                               {-1, 0, 1, pi}, {-1, -1, std::sqrt(2.0), 1.25 * pi}, {-3, 4, 5, pi - std::atan(4.0 / 3.0)},
                               {-0.0, 2, 2, pi / 2}};
    for (const auto& [re, im, modulus, argument] : polar) {
        EXPECT_EQ(frontend::toPolar(re, im).modulus, modulus) << re << " " << im;
        EXPECT_NEAR(frontend::toPolar(re, im).argument, argument, 1e-15) << re << " " << im;
    }
    EXPECT_EQ(frontend::toPolar(1e200, 3e200).modulus, std::hypot(1e200, 3e200));  // squares overflow, the modulus not
}

}  // namespace
