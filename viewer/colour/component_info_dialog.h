// ComponentInfoDialog ("コンポネント"): the picture's range, fixed points,
// critical points and components, in four read-only fields. The fixed
// points and components are shown for a Julia picture only; a Mandelbrot
// picture lists the front end's critical points (those its render used).
// F1 opens help topic 9022.
//
// Interface thread only.
#pragma once

#include "viewer/colour/picture_info.h"

#include <QDialog>

class QPlainTextEdit;

class ComponentInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit ComponentInfoDialog(const colour::PictureInfo& info, QWidget* parent = nullptr);

    QPlainTextEdit* rangeField() const { return range_; }
    QPlainTextEdit* fixedPointsField() const { return fixedPoints_; }
    QPlainTextEdit* criticalPointsField() const { return criticalPoints_; }
    QPlainTextEdit* componentsField() const { return components_; }

private:
    QPlainTextEdit* range_ = nullptr;
    QPlainTextEdit* fixedPoints_ = nullptr;
    QPlainTextEdit* criticalPoints_ = nullptr;
    QPlainTextEdit* components_ = nullptr;
};

// A dialog text ("\r\n" line ends) as a field shows it.
QString fieldText(const std::string& dialogText);
