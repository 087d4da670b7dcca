// Number fields of the colour dialogs (the exception rows: the exception dialog's test).
#include "viewer/colour/colour_fields.h"

#include <gtest/gtest.h>

namespace {

common::ComponentColour recordWithRange(int low, int high) {
    common::ComponentColour record{};
    record.lowCount = low;
    record.highCount = high;
    for (auto& row : record.exceptions) row = {-1, 0, 0, 0};
    return record;
}

// Text typed, the value stored and, when the field is rewritten, its new text.
struct FieldCase {
    const char* typed;
    int value;
    const char* rewritten;  // nullptr: the field keeps what was typed
};

template <typename Parse>
void checkField(const char* field, Parse parse, std::initializer_list<FieldCase> cases) {
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(std::string(field) + " \"" + c.typed + "\"");
        const auto v = parse(c.typed);
        ASSERT_TRUE(v);
        EXPECT_EQ(v->value, c.value);
        EXPECT_EQ(v->rewrite, c.rewritten != nullptr);
        if (c.rewritten) {
            EXPECT_EQ(v->text, c.rewritten);
        }
    }
}

TEST(ColourFields, ValuesAreClampedAndTheFieldRewritten) {
    const auto record = recordWithRange(0, 500);
    checkField("cycle", [&](const char* t) { return colour::cycleFieldValue(t, record); },
               {{"0", 1, "1"}, {"600", 500, "500"}, {"99999999999999999999", 500, "500"}, {"250", 250, nullptr}});
    // A component whose pixels share one count: the range is 1..1.
    const auto flat = recordWithRange(7, 7);
    checkField("flat cycle", [&](const char* t) { return colour::cycleFieldValue(t, flat); }, {{"3", 1, "1"}});
    checkField("distortion", colour::distortionFieldValue, {{"17", 16, "16"}, {"-20", -16, "-16"}, {"-3", -3, nullptr}});
    checkField("colour", colour::colourFieldValue, {{"300", 255, "255"}, {"-5", 0, "0"}, {"255", 255, nullptr}});
    // An empty field or a lone sign keeps the value.
    EXPECT_FALSE(colour::cycleFieldValue("", record));
    EXPECT_FALSE(colour::distortionFieldValue("-"));
    EXPECT_EQ(colour::cycleRangeTop(flat), 1);
    EXPECT_EQ(colour::cycleRangeTop(recordWithRange(100, 1100)), 1000);
}

}  // namespace
