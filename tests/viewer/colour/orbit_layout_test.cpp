// The orbit dialog's band above the picture, as shown: every label apart
// from its field by the layout spacing the other dialogs use, buttons at
// their own width, nothing squeezed, overlapping or reaching into the picture.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <gtest/gtest.h>

#include "platform/recording_message_boxes.h"
#include "shown_text.h"
#include "viewer/colour/orbit_dialog.h"

namespace {

TEST(OrbitDialogLayout, TheTopBandIsSpacedLikeTheOtherDialogs) {
    colour::PictureInfo info;
    info.map.form = common::FORM_POLYNOMIAL;
    info.map.numeratorDegree = 2;
    info.map.numeratorRe[2] = 1;
    info.criticalPoints = {{0, 0}};
    info.loopCount = 50;
    info.convergenceRadius = 1e-3;
    info.width = info.height = 600;
    info.magnification = 123456789.125;  // "123456789.125000": longer than the field shows
    platform::RecordingMessageBoxes boxes;
    OrbitDialog dialog(info, boxes);
    dialog.show();
    auto rect = [&](const QWidget* w) { return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size()); };
    auto label = [&](const char* text) -> QLabel* {
        for (QLabel* l : dialog.findChildren<QLabel*>())
            if (l->text() == QString::fromUtf8(text)) return l;
        return nullptr;
    };

    const int spacing = dialog.style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    const std::pair<const char*, QLineEdit*> pairs[] = {{"ループ回数", dialog.loopField()},
                                                        {"倍率", dialog.magnificationField()},
                                                        {"点の大きさ", dialog.pointSizeField()},
                                                        {"マウス位置", dialog.mouseField()}};
    for (const auto& [text, field] : pairs) {
        const QLabel* l = label(text);
        ASSERT_NE(l, nullptr) << text;
        EXPECT_GE(rect(field).left() - rect(l).right() - 1, spacing) << text;
    }
    std::vector<QWidget*> band;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisible() || w == dialog.pictureLabel() || !w->findChildren<QWidget*>().isEmpty()) continue;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->metaObject()->className();
            EXPECT_GE(w->height(), w->sizeHint().height()) << w->metaObject()->className();
        }
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
        band.push_back(w);
    }
    ASSERT_GE(band.size(), 14u);
    for (std::size_t i = 0; i < band.size(); ++i) {
        EXPECT_LE(rect(band[i]).bottom(), colour::ORBIT_PICTURE_TOP) << band[i]->metaObject()->className();
        for (std::size_t j = i + 1; j < band.size(); ++j)
            EXPECT_FALSE(rect(band[i]).intersects(rect(band[j])))
                << band[i]->metaObject()->className() << " " << band[j]->metaObject()->className();
    }
    EXPECT_TRUE(platform_test::textStartShown(dialog.magnificationField()));
}

}  // namespace
