// Number fields of the colour dialogs (the exception rows: the exception dialog's test).
#include "viewer/colour/colour_fields.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

common::ComponentColour recordWithRange(int low, int high) {
    common::ComponentColour record{};
    record.lowCount = low;
    record.highCount = high;
    return record;
}

TEST(ColourFields, ValuesAreClampedAndTheFieldRewritten) {
    const auto record = recordWithRange(0, 500);
    const auto flat = recordWithRange(7, 7);  // pixels sharing one count: the range is 1..1
    const auto cycle = [&](const std::string& t) { return colour::cycleFieldValue(t, record); };
    const auto flatCycle = [&](const std::string& t) { return colour::cycleFieldValue(t, flat); };
    // Text typed, the value stored and, when the field is rewritten, its new text.
    const struct {
        std::function<std::optional<colour::FieldValue>(const std::string&)> parse;
        const char* typed;
        int value;
        const char* rewritten;  // "": the field keeps what was typed
    } cases[] = {{cycle, "0", 1, "1"},          {cycle, "600", 500, "500"},         {cycle, "250", 250, ""},
                 {cycle, "99999999999999999999", 500, "500"}, {flatCycle, "3", 1, "1"},
                 {colour::distortionFieldValue, "17", 16, "16"}, {colour::distortionFieldValue, "-20", -16, "-16"},
                 {colour::distortionFieldValue, "-3", -3, ""}, {colour::colourFieldValue, "300", 255, "255"},
                 {colour::colourFieldValue, "-5", 0, "0"},     {colour::colourFieldValue, "255", 255, ""}};
    for (const auto& c : cases) {
        const auto v = c.parse(c.typed);
        ASSERT_TRUE(v) << c.typed;
        EXPECT_EQ(std::tuple(v->value, v->rewrite ? v->text : ""), std::tuple(c.value, std::string(c.rewritten)))
            << c.typed;
    }
    // An empty field or a lone sign keeps the value.
    EXPECT_FALSE(colour::cycleFieldValue("", record) || colour::distortionFieldValue("-"));
    EXPECT_EQ(colour::cycleRangeTop(recordWithRange(100, 1100)), 1000);
}

}  // namespace
