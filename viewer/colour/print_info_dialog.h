// PrintInfoDialog ("印刷情報"): what to print with the picture. Five check
// boxes ("式", "画像の範囲", "不動点", "クリティカルポイント", "ループ回数"),
// the margin slider 0..50 mm and the comment (at most 1023 characters).
// Every opening starts from all boxes clear, margin 0 and no comment; "不動点"
// is disabled for a Mandelbrot picture. OK stores the choices into the
// PrintOptions. F1 opens help topic 9019.
//
// Interface thread only.
#pragma once

#include "viewer/colour/print_layout.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QPlainTextEdit;
class QSlider;

class PrintInfoDialog : public QDialog {
    Q_OBJECT
public:
    PrintInfoDialog(colour::PrintOptions& options, bool julia, QWidget* parent = nullptr);

    enum Box { Formula = 0, Range, FixedPoints, CriticalPoints, LoopCount };
    QCheckBox* checkBox(Box box) const { return boxes_[box]; }
    QSlider* marginSlider() const { return margin_; }
    QPlainTextEdit* commentField() const { return comment_; }

    void accept() override;

private:
    void limitComment();

    colour::PrintOptions& options_;
    std::array<QCheckBox*, 5> boxes_{};
    QSlider* margin_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
};
