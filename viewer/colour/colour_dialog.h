// ColourDialog ("カラー設定ダイアログ"): the colour settings of one component.
//
// Three columns, red, green and blue. Each column holds the frame sliders
// "枠１" (frame1Start) and "枠2" (frame2Start), the channel's preview bar
// with its name and the read-only distortion field "歪み" with its arrows,
// the sliders "枠2" (frame2End) and "枠１" (frame1End), and the fields
// "周期" (cycle) and "位相" (phase) with their arrows. Left of the red bar
// two labels show lowCount (top) and highCount (bottom).
//
// The dialog edits a workingCopy of the component's ColourTable record:
//  - a slider stores its position when its movement ends (mouse or key
//    released), not while it moves;
//  - cycle and phase are held to 1..max(1, highCount - lowCount), the
//    distortion to -16..16, corrected in the field as it is typed; an empty
//    field keeps the value;
//  - "例外色指定" edits the workingCopy's exception rows;
//  - OK copies the whole workingCopy back into the table and asks the view
//    to recolour (postRecolour); Cancel drops it.
// Opening changes nothing: the handlers are armed only after the fields are
// filled. F1 opens help topic 9020.
//
// Interface thread only; the table must not be in use by a render.
#pragma once

#include "common/block_layout.h"
#include "viewer/colour/colour_model.h"

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class EndScrollSlider;
class SpinArrows;

namespace platform {
class MessageBoxes;
}

class ColourDialog : public QDialog {
    Q_OBJECT
public:
    // code: the component code 0..20 whose record is edited.
    ColourDialog(colour::ColourTable& table, int code, platform::MessageBoxes& boxes,
                 std::function<void()> postRecolour, QWidget* parent = nullptr);

    int code() const { return code_; }
    const common::ComponentColour& workingCopy() const { return workingCopy_; }
    common::ComponentColour& workingCopy() { return workingCopy_; }

    enum Channel { Red = 0, Green = 1, Blue = 2 };
    enum SliderRole { Frame1Start = 0, Frame2Start = 1, Frame2End = 2, Frame1End = 3 };

    // The controls, for tests and screenshots.
    EndScrollSlider* slider(Channel channel, SliderRole role) const { return columns_[channel].sliders[role]; }
    QLineEdit* cycleField(Channel channel) const { return columns_[channel].cycle; }
    QLineEdit* phaseField(Channel channel) const { return columns_[channel].phase; }
    QLineEdit* distortionField(Channel channel) const { return columns_[channel].distortion; }
    SpinArrows* cycleArrows(Channel channel) const { return columns_[channel].cycleArrows; }
    SpinArrows* phaseArrows(Channel channel) const { return columns_[channel].phaseArrows; }
    SpinArrows* distortionArrows(Channel channel) const { return columns_[channel].distortionArrows; }
    QLabel* channelBar(Channel channel) const { return columns_[channel].bar; }
    QLabel* lowCountLabel() const { return lowLabel_; }
    QLabel* highCountLabel() const { return highLabel_; }
    // How often a channel's bar has been rebuilt (one channel at a time).
    int barBuildCount(Channel channel) const { return columns_[channel].barBuilds; }

    void openExceptionColours();

    void accept() override;

private:
    struct Column {
        std::array<EndScrollSlider*, 4> sliders{};
        QLabel* bar = nullptr;
        QLineEdit* distortion = nullptr;
        SpinArrows* distortionArrows = nullptr;
        QLineEdit* cycle = nullptr;
        SpinArrows* cycleArrows = nullptr;
        QLineEdit* phase = nullptr;
        SpinArrows* phaseArrows = nullptr;
        int barBuilds = 0;
    };

    common::ChannelCurve& curve(Channel channel);
    int& sliderField(Channel channel, SliderRole role);
    QWidget* buildColumn(Channel channel);
    void fillFields();
    void rebuildBar(Channel channel);
    void onSliderEnded(Channel channel, SliderRole role, int value);
    void onCycleOrPhaseEdited(Channel channel, bool phase);
    void onDistortionEdited(Channel channel);

    colour::ColourTable& table_;
    int code_;
    platform::MessageBoxes& boxes_;
    std::function<void()> postRecolour_;
    common::ComponentColour workingCopy_;
    std::array<Column, 3> columns_{};
    QLabel* lowLabel_ = nullptr;
    QLabel* highLabel_ = nullptr;
    bool armed_ = false;
};
