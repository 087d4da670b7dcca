// The orbit dialog's band above the picture, as shown: labels apart from
// their fields by the layout spacing the other dialogs use, buttons at their
// own width, nothing squeezed, overlapping or reaching into the picture.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <gtest/gtest.h>

#include <map>

#include "platform/recording_message_boxes.h"
#include "shown_text.h"
#include "viewer/colour/orbit_dialog.h"

TEST(OrbitDialogLayout, TheTopBandIsSpacedLikeTheOtherDialogs) {
    colour::PictureInfo info;
    info.criticalPoints = {{0, 0}};
    info.width = info.height = 600;
    info.magnification = 123456789.125;  // longer than the field shows
    platform::RecordingMessageBoxes boxes;
    OrbitDialog dialog(info, boxes);
    dialog.show();
    auto rect = [&](const QWidget* w) { return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size()); };
    const int spacing = dialog.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    std::map<QString, QLineEdit*> fields = {{"ループ回数", dialog.loopField()}, {"倍率", dialog.magnificationField()},
                                            {"点の大きさ", dialog.pointSizeField()}, {"マウス位置", dialog.mouseField()}};
    int paired = 0;
    std::vector<QWidget*> band;  // the visible leaf widgets above the picture
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisible() || w == dialog.pictureLabel() || !w->findChildren<QWidget*>().isEmpty()) continue;
        band.push_back(w);
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->size(), button->sizeHint());
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_GE(label->height(), label->sizeHint().height());
            if (QLineEdit* field = fields[label->text()]) {
                EXPECT_GE(rect(field).left() - rect(label).right() - 1, spacing) << label->text().toStdString();
                ++paired;
            }
        }
    }
    EXPECT_EQ(paired, 4);
    ASSERT_GE(band.size(), 14u);
    for (std::size_t i = 0; i < band.size(); ++i) {
        EXPECT_LE(rect(band[i]).bottom(), colour::ORBIT_PICTURE_TOP);
        for (std::size_t j = i + 1; j < band.size(); ++j) EXPECT_FALSE(rect(band[i]).intersects(rect(band[j])));
    }
    EXPECT_TRUE(platform_test::textStartShown(dialog.magnificationField()));
}
