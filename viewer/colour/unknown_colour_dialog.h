// UnknownColourDialog ("不明色設定"): the colour of the pixels that reached
// no component. Three fields red, green and blue (digits, at most 3) with
// arrows 0..255 and a patch of their channel's colour. A number of 256 or
// more becomes 255 as it is typed. OK writes red | green << 8 | blue << 16
// into unknownColour (the block's current view) and asks the view to
// recolour. F1 opens help topic 9020.
//
// Interface thread only.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class QLineEdit;
class SpinArrows;

class UnknownColourDialog : public QDialog {
    Q_OBJECT
public:
    UnknownColourDialog(std::int32_t& unknownColour, std::function<void()> postRecolour,
                        QWidget* parent = nullptr);

    QLineEdit* field(int channel) const { return fields_[channel]; }
    SpinArrows* arrows(int channel) const { return arrows_[channel]; }

    void accept() override;

private:
    void onEdited(int channel);

    std::int32_t& unknownColour_;
    std::function<void()> postRecolour_;
    std::array<QLineEdit*, 3> fields_{};
    std::array<SpinArrows*, 3> arrows_{};
    bool armed_ = false;
};
