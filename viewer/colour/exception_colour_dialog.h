// ExceptionColourDialog ("例外色設定"): the ten exception rows of one
// component record. Each row has a number field (digits, at most 10) and
// red, green and blue fields (digits, at most 3, arrows 0..255).
//
// While typing, a number above highCount becomes highCount and a colour
// above 255 becomes 255. OK stores the rows into the record one by one and
// stops at the first row whose number is too small, too large or repeated,
// with its message; the rows before it stay stored and the dialog stays
// open. An empty number empties its row. Cancel changes nothing more.
//
// The record is the colour dialog's workingCopy, so the rows reach the
// colour table only through that dialog's OK. No help topic.
//
// Interface thread only.
#pragma once

#include "common/block_layout.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class SpinArrows;

namespace platform {
class MessageBoxes;
}

class ExceptionColourDialog : public QDialog {
    Q_OBJECT
public:
    ExceptionColourDialog(common::ComponentColour& record, platform::MessageBoxes& boxes,
                          QWidget* parent = nullptr);

    QLineEdit* numberField(int row) const { return rows_[row].number; }
    // channel 0 red, 1 green, 2 blue
    QLineEdit* colourField(int row, int channel) const { return rows_[row].colour[channel]; }
    SpinArrows* colourArrows(int row, int channel) const { return rows_[row].arrows[channel]; }
    QLabel* headerLabel() const { return header_; }

    void accept() override;

private:
    struct Row {
        QLineEdit* number = nullptr;
        std::array<QLineEdit*, 3> colour{};
        std::array<SpinArrows*, 3> arrows{};
    };

    void onNumberEdited(int row);
    void onColourEdited(int row, int channel);

    common::ComponentColour& record_;
    platform::MessageBoxes& boxes_;
    std::array<Row, common::EXCEPTION_ROW_COUNT> rows_{};
    QLabel* header_ = nullptr;
    bool armed_ = false;
};
