// "パラメータ設定": shows and edits MAX_LOOP, CONV_EPS, SIEGELFLG, CONT_EPS and
// INOUT_EPS (SIZEX and SIZEY follow the pictures and have no field).
//
// Fields filter every keystroke (the loop count keeps digits only and at most
// 10000; the tolerances keep a number prefix as the coefficient fields do).
// "ディフォルト" shows the defaults without storing them; OK stores what the
// fields hold under the rules of acceptTolerance / acceptLoopCount; cancel
// and the close box store nothing. While `editable` is false every control
// but OK and cancel is disabled: the settings can be seen, not changed.
#pragma once

#include <QDialog>
#include <QString>

#include "frontend/settings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(frontend::Settings& settings, bool editable, QWidget* parent = nullptr);

    QLineEdit* loopField() const { return loop_; }
    QLineEdit* convergenceField() const { return convergence_; }
    QLineEdit* continuityField() const { return continuity_; }
    QLineEdit* inOutField() const { return inOut_; }
    QCheckBox* siegelBox() const { return siegel_; }
    QPushButton* defaultButton() const { return default_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    // The text a field was last filled with by the dialog, and the value it stands for.
    struct Shown {
        QString text;
        double value = 0;
    };

    void fill(const frontend::Settings& values);
    void filterLoop();
    void filterTolerance(QLineEdit* field);
    void setSiegel(bool on);
    void store();

    frontend::Settings& settings_;
    bool guard_ = false;
    int siegelCopy_ = 0;
    QLineEdit* loop_;
    QLineEdit* convergence_;
    QLineEdit* continuity_;
    QLineEdit* inOut_;
    QCheckBox* siegel_;
    QPushButton* default_;
    QPushButton* ok_;
    QPushButton* cancel_;
    Shown loopShown_, convergenceShown_, continuityShown_, inOutShown_;
};
