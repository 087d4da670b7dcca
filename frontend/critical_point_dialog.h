// "クリティカルポイントの選択": the user chooses which critical points take part
// in a Mandelbrot picture.
//
// The dialog works on a caller's CriticalPointList: one line
// "実部 %.16G 虚部 %.16G" per point (count clamped to the list's capacity),
// multiple selection, "全選択" / "全解除" over lines 0..count-1, and
// "スタート", which refuses an empty selection with a message and otherwise
// writes the 41 selection flags (1 for every selected line) and closes.
// There is no OK or cancel button: closing the window cancels and leaves the
// flags as the caller set them.
#pragma once

#include <QDialog>

#include "common/block_layout.h"
#include "platform/message_box.h"

class QListWidget;

inline constexpr const char* MSG_NO_CRITICAL_POINT =
    QT_TRANSLATE_NOOP("Texts", "クリティカルポイントが選択されていません。最低1個選択してください。");

class CriticalPointDialog : public QDialog {
    Q_OBJECT
public:
    CriticalPointDialog(common::CriticalPointList& list, platform::MessageBoxes& messages,
                        QWidget* parent = nullptr);

    QListWidget* pointList() const { return list_; }

private:
    void selectAll(bool select);
    void start();

    common::CriticalPointList& points_;
    platform::MessageBoxes& messages_;
    QListWidget* list_;
    int count_;
};

// Runs the dialog modally; true when "スタート" stored a selection.
bool selectCriticalPoints(common::CriticalPointList& list, platform::MessageBoxes& messages,
                          QWidget* parent = nullptr);
