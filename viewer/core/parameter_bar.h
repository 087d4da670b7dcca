// ParameterBar: the bar under the tool bar that shows and edits the drawing
// parameters of the picture's ViewRecord, and carries the draw button, the
// progress bar, the hint line, the background switch and the mouse readouts.
//
// Edits write straight into the shared block: the loop count, convergence
// radius, width, height and centre into the current ViewRecord, the next
// magnification into the drawn copy. Every field filters its text with
// numericFilter, reads it ("%lf" or "%d", never wrapping around), and applies
// its limit, rewriting the field when a limit corrects the value. A text that
// does not read as a number leaves the stored value unchanged.
//
// While the bar is initialising (fillFields) the change handlers do nothing,
// so showing a value never stores it back (a radius of 1e-8 shows "0" and
// stays 1e-8 in the block until the field is edited).
//
// The draw button, the progress bar and the background check box are
// destroyed when the picture is done (destroyDrawControls); their accessors
// then return null.
//
// Every control carries its number in the property "controlId" and the
// object name "control<number>".
//
// Thread-safety: interface thread only.
#pragma once

#include <QCheckBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "viewer/core/parameter_fields.h"
#include "viewer/core/viewer_session.h"

class QLabel;
class QLineEdit;

// Cuts the field's text before its first character that is not a digit, the
// first '.', or a leading '-'; rewrites the field (keeping the user's
// selection and caret) only when something was cut. Returns the text.
QString numericFilter(QLineEdit* field);

class ParameterBar : public QWidget {
    Q_OBJECT
public:
    ParameterBar(viewer::ViewerSession& session, QWidget* parent = nullptr);

    // Fills every field from the ViewRecord with the change handlers
    // suppressed, and limits every edit field to 32 characters.
    void fillFields();
    void setInitialising(bool on) { initialising_ = on; }
    bool initialising() const { return initialising_; }

    // The edit field with the given control number (1000..1004, 1008, 1009,
    // 1079, 1095), or null.
    QLineEdit* field(int controlId) const;
    QPushButton* drawButton() const { return drawButton_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QCheckBox* backgroundBox() const { return backgroundBox_; }
    QLabel* hintLine() const { return hintLine_; }
    QLabel* mousePositionLabel() const { return mouseLabel_; }
    QLabel* currentMagnificationLabel() const { return currentMagnification_; }

    // Drawing-state changes (driven by CMainFrame).
    void setParameterFieldsEnabled(bool on);  // radius, width, height, loop count
    void setProgress(int maximum, int value);
    void destroyDrawControls();               // draw button, progress bar, check box
    void showBackgroundBox();
    void showReadouts();
    void setReadouts(const QString& position, const QString& pointInfo);

signals:
    void drawButtonClicked();
    void backgroundClicked(bool checked);

private:
    QLineEdit* makeField(int controlId, bool digitsOnly);
    void fieldChanged(int controlId);
    void storeInt(QLineEdit* edit, std::int32_t& target, viewer::LimitedValue (*limit)(int));

    viewer::ViewerSession& session_;
    bool initialising_ = false;
    QLineEdit* radius_ = nullptr;
    QLineEdit* height_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* loopCount_ = nullptr;
    QLineEdit* nextMagnification_ = nullptr;
    QLineEdit* centreRe_ = nullptr;
    QLineEdit* centreIm_ = nullptr;
    QLineEdit* mousePosition_ = nullptr;
    QLineEdit* pointInfo_ = nullptr;
    QLabel* currentMagnification_ = nullptr;
    QLabel* hintLine_ = nullptr;
    QLabel* mouseLabel_ = nullptr;
    QPointer<QPushButton> drawButton_;
    QPointer<QProgressBar> progressBar_;
    QPointer<QCheckBox> backgroundBox_;
};
