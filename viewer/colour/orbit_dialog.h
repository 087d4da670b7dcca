// The orbit dialog ("軌道"): the orbits of the picture's critical points,
// and of picked points, under the picture's map, plotted as crosses into a
// black picture of the main picture's size.
//
//  - The list shows every critical point ("実部 … 虚部 …"), all selected at
//    first; "全選択" / "全解除" select or clear them all.
//  - "ループ回数": points per orbit, held to 1..100000; it starts at ten times
//    the picture's loop count ("MAX_LOOP" when that passes 100000).
//  - "倍率": the magnification of the next drawing, cut at its first
//    character that is no part of a number; values <= 0 are ignored.
//  - "点の大きさ" 1..4: arm length + 1 of each cross.
//  - "描画Start" draws the selected orbits (white); Shift+click recentres at
//    the clicked point and draws; Ctrl+click draws the selected orbits and
//    then the orbit of the clicked point (red). Without a selection these
//    show "クリティカルポイントが選択されていません。最低1個選択してください。".
//  - "マウス位置" shows the plane point under the mouse inside the picture.
// The picture's top-left corner lies at (13, 139) of the dialog; the dialog
// is at least 640 x 370 and at least (W + 30) x (H + 170). Nothing of the
// dialog outlives it; it changes neither the block nor the main picture.
// F1 opens help topic 9024.
//
// Interface thread only; drawing runs on it under a wait cursor.
#pragma once

#include "analysis/polynomial.h"
#include "viewer/colour/orbit_plot.h"
#include "viewer/colour/picture_info.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QListWidget;
class SpinArrows;

namespace platform {
class MessageBoxes;
}

class OrbitDialog : public QDialog {
    Q_OBJECT
public:
    OrbitDialog(const colour::PictureInfo& info, platform::MessageBoxes& boxes, QWidget* parent = nullptr);

    static constexpr const char* NO_SELECTION_MESSAGE =
        QT_TRANSLATE_NOOP("Texts", "クリティカルポイントが選択されていません。最低1個選択してください。");

    QListWidget* criticalList() const { return list_; }
    QLineEdit* loopField() const { return loopField_; }
    QLineEdit* magnificationField() const { return magnificationField_; }
    QLineEdit* pointSizeField() const { return pointSizeField_; }
    SpinArrows* pointSizeArrows() const { return pointSizeArrows_; }
    QLineEdit* mouseField() const { return mouseField_; }
    QLabel* pictureLabel() const { return pictureLabel_; }
    const colour::OrbitPicture& picture() const { return picture_; }
    std::int64_t loopCount() const { return loopCount_; }
    int pointSize() const;
    const colour::OrbitView& nextView() const { return next_; }
    const colour::OrbitView& shownView() const { return shown_; }

    void selectAll();
    void clearSelection();
    // "描画Start".
    void drawSelected();
    // A left-button release at a dialog position with the modifiers held.
    void pick(const QPoint& dialogPosition, Qt::KeyboardModifiers modifiers);
    // The mouse readout at a dialog position.
    void showMousePosition(const QPoint& dialogPosition);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool hasSelection();
    // Clears the picture and draws the selected critical orbits (and the
    // picked orbit when given) with the next view, then shows the picture.
    void draw(const colour::OrbitPoint* picked, std::int64_t loopCount, int pointSize);
    void onLoopEdited();
    void onMagnificationEdited();
    QPoint pictureCorner() const;

    colour::PictureInfo info_;
    platform::MessageBoxes& boxes_;
    analysis::RationalMap map_;
    double escapeRadiusSquared_ = 0;
    colour::OrbitPicture picture_;
    colour::OrbitView next_;   // used by the next drawing
    colour::OrbitView shown_;  // of the picture on show
    std::int64_t loopCount_ = 1;

    QListWidget* list_ = nullptr;
    QLineEdit* loopField_ = nullptr;
    QLineEdit* magnificationField_ = nullptr;
    QLineEdit* pointSizeField_ = nullptr;
    SpinArrows* pointSizeArrows_ = nullptr;
    QLineEdit* mouseField_ = nullptr;
    QLabel* pictureLabel_ = nullptr;
    bool armed_ = false;
};
