// The parameter bar on a block made in the test: filters, limits, what is
// stored where, and the checks of the draw button.
#include <QTest>

#include <limits>

#include "viewer/core/parameter_fields.h"
#include "viewer_harness.h"

using namespace viewer;
using viewer_test::PictureSetup;
using viewer_test::ViewerHarness;

namespace {

// Replaces the field's text as typing does (one key at a time, through the
// key filter) or as a paste does (the filter does not see it).
void enter(QLineEdit* edit, const QString& text, bool typed) {
    if (typed) edit->setFocus();
    edit->selectAll();
    if (typed) {
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    } else {
        edit->insert(text);
    }
}

// The view record's value behind a field.
double stored(ViewerHarness& h, int id) {
    const common::ViewRecord& v = h.block.view();
    switch (id) {
    case ID_PICTURE_WIDTH: return v.pictureWidth;
    case ID_PICTURE_HEIGHT: return v.pictureHeight;
    case ID_LOOP_COUNT: return v.loopCount;
    case ID_CONVERGENCE_RADIUS: return v.convergenceRadius;
    default: return h.block.header().drawnView.magnification;
    }
}

}  // namespace

// The fields first show the view record in the bar's formats; then each
// edit: what the field shows and what the view record holds.
TEST(ParameterBarFields, ShowTheViewRecordThenFilterLimitAndStoreEdits) {
    ViewerHarness h(PictureSetup{.radius = 0.000001, .centreRe = -0.5, .centreIm = 1.0});
    h.open();
    const std::pair<int, const char*> shown[] = {{ID_CONVERGENCE_RADIUS, "0.000001"}, {ID_NEXT_MAGNIFICATION, "0.25"},
                                                 {ID_PICTURE_WIDTH, "600"},           {ID_PICTURE_HEIGHT, "400"},
                                                 {ID_LOOP_COUNT, "50"},               {ID_CENTRE_RE, "-0.5"},
                                                 {ID_CENTRE_IM, "1"}};
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(h.field(id)->text(), text) << id;
        EXPECT_EQ(h.field(id)->maxLength(), FIELD_TEXT_LIMIT) << id;
    }
    EXPECT_EQ(h.bar().currentMagnificationLabel()->text(), "現倍率 0.25");
    EXPECT_FALSE(h.field(ID_CENTRE_RE)->isEnabled() || h.field(ID_CENTRE_IM)->isEnabled());
    for (const auto& [v, text] : {std::pair{-1e-8, "0"}, std::pair{-2.5, "-2.5"}, std::pair{1234567.0, "1234567"},
                                 std::pair{1.23456789, "1.234568"}})
        EXPECT_EQ(formatBarReal(v), text);

    const std::tuple<int, const char*, bool, const char*, double> cases[] = {  // field, text, typed, shown, value
        {ID_PICTURE_WIDTH, "1500", true, "1000", 1000},
        {ID_PICTURE_HEIGHT, "-5", false, "1", 1},  // only a paste brings a minus sign in
        {ID_PICTURE_WIDTH, "0", true, "0", 0},     // kept: the draw start refuses it
        {ID_PICTURE_HEIGHT, "0064", true, "0064", 64},  // a value in range stays as typed
        {ID_LOOP_COUNT, "007", true, "007", 7},
        {ID_LOOP_COUNT, "1a2-3.", true, "123", 123},
        {ID_LOOP_COUNT, "100001", true, "100000", 100000},
        {ID_LOOP_COUNT, "-5", false, "0", 0},
        // 2^32 + 1 would read as 1 through a wrapping conversion.
        {ID_PICTURE_WIDTH, "4294967297", true, "1000", 1000},
        {ID_LOOP_COUNT, "99999999999999999999999", true, "100000", 100000},
        {ID_CONVERGENCE_RADIUS, "1.2.3", false, "1.2", 1.2},
        {ID_CONVERGENCE_RADIUS, "5-", false, "5", 5},
        {ID_CONVERGENCE_RADIUS, "1e-6", false, "1", 1},
        {ID_CONVERGENCE_RADIUS, "--1", false, "-", 1},  // no number: the value stays
        {ID_CONVERGENCE_RADIUS, "-.5", false, "-.5", -0.5},
        {ID_CONVERGENCE_RADIUS, "", false, "", -0.5},
        // The next magnification edits the drawn copy, not the current view.
        {ID_NEXT_MAGNIFICATION, "0.125", true, "0.125", 0.125},
    };
    h.block.header().drawnView.magnification = 0.25;
    h.field(ID_NEXT_MAGNIFICATION)->setEnabled(true);
    for (const auto& [id, text, typed, shown, value] : cases) {
        SCOPED_TRACE(std::to_string(id) + " <- \"" + text + "\"");
        enter(h.field(id), QString::fromUtf8(text), typed);
        EXPECT_EQ(h.field(id)->text(), shown);
        EXPECT_EQ(stored(h, id), value);
    }
    EXPECT_EQ(h.block.view().magnification, 0.25);
}

TEST(DrawStartChecks, RefuseInOrderWithTheirMessages) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<int, int, int, double, const char*> cases[] = {  // width, height, loop count, radius
        {0, 0, 0, 0.0, "画面サイズ横が０です。1以上1000以下にしてください。"},
        {600, 0, 0, 0.0, "画面サイズ縦が０です。1以上1000以下にしてください。"},
        {1000, 1000, 0, 0.0, "ループ回数が０です。1以上100000以下にしてください。"},  // 1000 is allowed
        {600, 400, 10, 0.0, "収束半径が０です。0より大きくしてください。"},
        {600, 400, 10, -1.0, "収束半径が０です。0より大きくしてください。"},
        {600, 400, 10, nan, "収束半径が０です。0より大きくしてください。"},
        // Sizes above the maps only come from a block; refused like 0.
        {1001, 400, 10, 1.0, "画面サイズ横が０です。1以上1000以下にしてください。"},
        {600, 5000, 10, 1.0, "画面サイズ縦が０です。1以上1000以下にしてください。"},
    };
    for (const auto& [width, height, loops, radius, message] : cases) {
        SCOPED_TRACE(message);
        ViewerHarness h(PictureSetup{.width = width, .height = height, .loopCount = loops, .radius = radius});
        h.open();
        h.pressDraw();
        h.pump();
        EXPECT_EQ(h.boxes.texts(), std::vector<std::string>{message});
        // Nothing else happened: still Ready, fields editable, nothing posted.
        EXPECT_EQ(h.frame->state(), ViewerState::Ready);
        EXPECT_TRUE(h.field(ID_PICTURE_WIDTH)->isEnabled());
        EXPECT_TRUE(h.received.empty());
        EXPECT_EQ(h.bar().drawButton()->text(), "描画ｽﾀｰﾄ");
        const QSize shown = h.frame->document().picture().size();  // bounded like the maps it shows
        EXPECT_TRUE(shown.width() <= 1000 && shown.height() <= 1000) << shown.width() << "x" << shown.height();
    }
}
