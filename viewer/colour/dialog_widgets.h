// Small controls shared by the viewer's dialogs.
//
//  - EndScrollSlider: a slider that reports a movement once it has ended
//    (mouse released, key released, wheel turned), not at every step.
//  - SpinArrows: the up/down arrows of a number field. They hold a range and
//    a position; a click moves the position and writes it into the buddy
//    field, whose own change handler then acts, as typing would.
//  - installHelpKey: F1 opens a help topic.
//  - okCancelButtons: the dialogs' OK / ｷｬﾝｾﾙ row.
//
// Interface thread only.
#pragma once

#include <QSlider>
#include <QWidget>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QToolButton;

class EndScrollSlider : public QSlider {
    Q_OBJECT
public:
    explicit EndScrollSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

signals:
    void scrollEnded(int value);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QLineEdit* buddy, QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int value() const { return value_; }
    // Moves the position (held to the range) without touching the buddy.
    void setValue(int value);
    // Moves the position and writes it into the buddy ("%d").
    void setValueAndBuddy(int value);

    void stepUp() { setValueAndBuddy(value_ + 1); }
    void stepDown() { setValueAndBuddy(value_ - 1); }

private:
    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
};

// F1 in `dialog` opens the help window at `topic`.
void installHelpKey(QWidget* dialog, int topic);

// OK (the default button) and ｷｬﾝｾﾙ, wired to the dialog's accept() and
// reject(); the caller places the box in its layout.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

// Help topics of the viewer's dialogs.
inline constexpr int HELP_COLOUR_SETTINGS = 9020;
inline constexpr int HELP_COMPONENTS = 9022;
inline constexpr int HELP_FORMULA = 9023;
inline constexpr int HELP_ORBIT = 9024;
inline constexpr int HELP_SAVE_FORMULA = 9017;
inline constexpr int HELP_PRINT_INFO = 9019;
