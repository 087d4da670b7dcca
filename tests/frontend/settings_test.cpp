#include "frontend/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace {

using frontend::Settings;

Settings parseFrom(const std::map<std::string, std::string>& values) {
    return frontend::parseSettings([&](const char* name) -> std::optional<std::string> {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    });
}

TEST(SettingsText, WrittenFormsAndRoundTrip) {
    Settings s;
    s.maxLoop = 0;
    s.siegelFlag = 1;
    s.convEps = 1e-6;
    s.contEps = 1.0;
    s.inoutEps = 0.125;
    s.sizeX = 800;
    s.sizeY = 500;
    const auto texts = frontend::formatSettings(s);
    std::map<std::string, std::string> store;
    const char* order[] = {"MAX_LOOP", "SIEGELFLG", "CONV_EPS", "CONT_EPS", "INOUT_EPS", "SIZEX", "SIZEY"};
    for (int i = 0; i < frontend::SETTING_COUNT; ++i) {
        EXPECT_STREQ(texts[static_cast<std::size_t>(i)].name, order[i]);
        store[texts[static_cast<std::size_t>(i)].name] = texts[static_cast<std::size_t>(i)].text;
    }
    EXPECT_EQ(store["MAX_LOOP"], "0");
    EXPECT_EQ(store["CONV_EPS"], "0.000001");
    EXPECT_EQ(store["CONT_EPS"], "1");
    EXPECT_EQ(store["INOUT_EPS"], "0.125");
    EXPECT_EQ(store["SIZEX"], "800");
    EXPECT_EQ(parseFrom(store), s);
    EXPECT_EQ(frontend::formatSettingDouble(0.05), "0.05");
    EXPECT_EQ(frontend::formatSettingDouble(0.01), "0.01");
}

TEST(SettingsText, MissingOutOfRangeAndGarbageFallBackPerValue) {
    EXPECT_EQ(parseFrom({}), Settings{});
    const Settings s = parseFrom({{"MAX_LOOP", "20000"},
                                  {"SIEGELFLG", "2"},
                                  {"CONV_EPS", "0"},
                                  {"CONT_EPS", "-0.5"},
                                  {"INOUT_EPS", "nan"},
                                  {"SIZEX", "4294967297"},  // must not wrap around to 1
                                  {"SIZEY", "0"}});
    EXPECT_EQ(s, Settings{});

    const char* garbage[] = {"", "abc", "inf", "-inf", "-", ".", " ", "\xFF\xFE"};
    for (const char* g : garbage) {
        const Settings t = parseFrom({{"MAX_LOOP", g}, {"SIEGELFLG", g}, {"CONV_EPS", g},
                                      {"CONT_EPS", g}, {"INOUT_EPS", g}, {"SIZEX", g}, {"SIZEY", g}});
        EXPECT_EQ(t, Settings{}) << g;
    }

    const Settings edges = parseFrom({{"MAX_LOOP", "0"}, {"SIEGELFLG", "1"}, {"CONV_EPS", "1e-300"},
                                      {"SIZEX", "1000"}, {"SIZEY", "1"}});
    EXPECT_EQ(edges.maxLoop, 0);
    EXPECT_EQ(edges.siegelFlag, 1);
    EXPECT_EQ(edges.convEps, 1e-300);
    EXPECT_EQ(edges.sizeX, 1000);
    EXPECT_EQ(edges.sizeY, 1);
    EXPECT_EQ(parseFrom({{"SIZEX", "1001"}}).sizeX, 600);
    // Numbers are read as far as they go, as "%d" and "%lf" do; hexadecimal
    // and overflowing doubles are refused.
    EXPECT_EQ(parseFrom({{"SIZEX", "0x10"}}).sizeX, 600);
    EXPECT_EQ(parseFrom({{"SIZEY", "12abc"}}).sizeY, 12);
    EXPECT_EQ(parseFrom({{"CONV_EPS", "0x1p-3"}}).convEps, 1e-6);
    EXPECT_EQ(parseFrom({{"CONT_EPS", "1e999"}}).contEps, 0.05);
    EXPECT_EQ(parseFrom({{"MAX_LOOP", "10000"}}).maxLoop, 10000);
}

}  // namespace
