#include "viewer/colour/colour_dialog.h"

#include "viewer/colour/channel_bar.h"
#include "viewer/colour/colour_fields.h"
#include "viewer/colour/dialog_widgets.h"
#include "viewer/colour/exception_colour_dialog.h"
#include "platform/ui_language.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int SLIDER_PAGE_STEP = 16;
constexpr int NUMBER_FIELD_MAX_CHARS = 10;

const char* const CHANNEL_NAMES[] = {QT_TRANSLATE_NOOP("Texts", "赤"), QT_TRANSLATE_NOOP("Texts", "緑"),
                                     QT_TRANSLATE_NOOP("Texts", "青")};
const QRgb CHANNEL_COLOURS[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};

QImage channelBarImage(const colour::ChannelBarBits& bits, QRgb setColour) {
    QImage image(colour::CHANNEL_BAR_WIDTH, colour::CHANNEL_BAR_HEIGHT, QImage::Format_Mono);
    image.setColorCount(2);
    image.setColor(0, qRgb(0, 0, 0));  // clear pixels black, set ones in the channel colour
    image.setColor(1, setColour);
    for (int row = 0; row < colour::CHANNEL_BAR_HEIGHT; ++row)
        std::copy_n(bits.data() + row * colour::CHANNEL_BAR_ROW_BYTES, colour::CHANNEL_BAR_ROW_BYTES,
                    image.scanLine(row));
    return image;
}

QLabel* swatch(QRgb colour, QWidget* parent) {
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(colour));
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    return label;
}

}  // namespace

ColourDialog::ColourDialog(colour::ColourTable& table, int code, platform::MessageBoxes& boxes,
                           std::function<void()> postRecolour, QWidget* parent)
    : QDialog(parent),
      table_(table),
      code_(std::clamp(code, 0, colour::COMPONENT_CODE_COUNT - 1)),
      boxes_(boxes),
      postRecolour_(std::move(postRecolour)),
      workingCopy_(table.records[static_cast<std::size_t>(code_)]) {
    setWindowTitle(tr("カラー設定ダイアログ"));

    auto* columnsRow = new QHBoxLayout;
    for (int c = Red; c <= Blue; ++c) columnsRow->addWidget(buildColumn(static_cast<Channel>(c)));

    auto* exceptionButton = new QPushButton(tr("例外色指定"), this);
    connect(exceptionButton, &QPushButton::clicked, this, &ColourDialog::openExceptionColours);
    auto* buttons = okCancelButtons(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(exceptionButton);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columnsRow);
    layout->addLayout(bottom);

    installHelpKey(this, HELP_COLOUR_SETTINGS);
    fillFields();
    armed_ = true;
}

common::ChannelCurve& ColourDialog::curve(Channel channel) {
    switch (channel) {
    case Red: return workingCopy_.redCurve;
    case Green: return workingCopy_.greenCurve;
    case Blue: break;
    }
    return workingCopy_.blueCurve;
}

int& ColourDialog::sliderField(Channel channel, SliderRole role) {
    common::ChannelCurve& c = curve(channel);
    switch (role) {
    case Frame1Start: return c.frame1Start;
    case Frame2Start: return c.frame2Start;
    case Frame2End: return c.frame2End;
    case Frame1End: break;
    }
    return c.frame1End;
}

QWidget* ColourDialog::buildColumn(Channel channel) {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(4, 4, 4, 4);
    Column& column = columns_[channel];

    auto addSlider = [&](SliderRole role, const char* label, int row) {
        auto* slider = new EndScrollSlider(Qt::Horizontal, box);
        slider->setRange(0, colour::MAX_CHANNEL_VALUE);
        slider->setPageStep(SLIDER_PAGE_STEP);
        slider->setMinimumWidth(colour::CHANNEL_BAR_WIDTH + 20);
        connect(slider, &EndScrollSlider::scrollEnded, this,
                [this, channel, role](int value) { onSliderEnded(channel, role, value); });
        column.sliders[role] = slider;
        grid->addWidget(new QLabel(platform::uiText(label), box), row, 0);
        grid->addWidget(slider, row, 1, 1, 3);
    };
    addSlider(Frame1Start, QT_TRANSLATE_NOOP("Texts", "枠１"), 0);
    addSlider(Frame2Start, QT_TRANSLATE_NOOP("Texts", "枠2"), 1);

    // The preview: name, a patch of the channel colour, the bar, the distortion.
    auto* barBox = new QWidget(box);
    auto* barLayout = new QGridLayout(barBox);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->addWidget(new QLabel(platform::uiText(CHANNEL_NAMES[channel]), barBox), 0, 1);
    barLayout->addWidget(swatch(CHANNEL_COLOURS[channel], barBox), 0, 2);
    column.bar = new QLabel(barBox);
    column.bar->setFixedSize(colour::CHANNEL_BAR_WIDTH, colour::CHANNEL_BAR_HEIGHT);
    barLayout->addWidget(column.bar, 1, 1, 1, 3);
    if (channel == Red) {
        // The count range the three bars run over, at the bar's top and bottom.
        lowLabel_ = new QLabel(barBox);
        highLabel_ = new QLabel(barBox);
        auto* rangeLayout = new QVBoxLayout;
        rangeLayout->addWidget(lowLabel_, 0, Qt::AlignTop | Qt::AlignRight);
        rangeLayout->addStretch();
        rangeLayout->addWidget(highLabel_, 0, Qt::AlignBottom | Qt::AlignRight);
        barLayout->addLayout(rangeLayout, 1, 0);
    }
    column.distortion = new QLineEdit(barBox);
    column.distortion->setReadOnly(true);
    column.distortion->setMaximumWidth(48);
    column.distortionArrows = new SpinArrows(column.distortion, barBox);
    column.distortionArrows->setRange(colour::MIN_DISTORTION, colour::MAX_DISTORTION);
    barLayout->addWidget(new QLabel(tr("歪み"), barBox), 2, 1);
    barLayout->addWidget(column.distortionArrows, 2, 2);
    barLayout->addWidget(column.distortion, 2, 3);
    connect(column.distortion, &QLineEdit::textChanged, this, [this, channel] { onDistortionEdited(channel); });
    grid->addWidget(barBox, 2, 0, 1, 4);

    addSlider(Frame2End, QT_TRANSLATE_NOOP("Texts", "枠2"), 3);
    addSlider(Frame1End, QT_TRANSLATE_NOOP("Texts", "枠１"), 4);

    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    auto addNumber = [&](const char* label, int row, QLineEdit*& field, SpinArrows*& arrows, bool phase) {
        field = new QLineEdit(box);
        field->setValidator(digits);
        field->setMaxLength(NUMBER_FIELD_MAX_CHARS);
        arrows = new SpinArrows(field, box);
        grid->addWidget(new QLabel(platform::uiText(label), box), row, 0);
        grid->addWidget(field, row, 1, 1, 2);
        grid->addWidget(arrows, row, 3);
        connect(field, &QLineEdit::textChanged, this,
                [this, channel, phase] { onCycleOrPhaseEdited(channel, phase); });
    };
    addNumber(QT_TRANSLATE_NOOP("Texts", "周期"), 5, column.cycle, column.cycleArrows, false);
    addNumber(QT_TRANSLATE_NOOP("Texts", "位相"), 6, column.phase, column.phaseArrows, true);
    return box;
}

void ColourDialog::fillFields() {
    lowLabel_->setText(QString::number(workingCopy_.lowCount));
    highLabel_->setText(QString::number(workingCopy_.highCount));
    const int top = colour::cycleRangeTop(workingCopy_);
    for (int c = Red; c <= Blue; ++c) {
        const auto channel = static_cast<Channel>(c);
        Column& column = columns_[channel];
        for (int role = Frame1Start; role <= Frame1End; ++role)
            column.sliders[role]->setValue(sliderField(channel, static_cast<SliderRole>(role)));
        // The arrows show the value held to their range; the record keeps its own.
        column.cycleArrows->setRange(1, top);
        column.cycleArrows->setValueAndBuddy(curve(channel).cycle);
        column.phaseArrows->setRange(1, top);
        column.phaseArrows->setValueAndBuddy(curve(channel).phase);
        column.distortionArrows->setValueAndBuddy(curve(channel).distortion);
        rebuildBar(channel);
    }
}

void ColourDialog::rebuildBar(Channel channel) {
    Column& column = columns_[channel];
    const colour::ChannelBarBits bits =
        colour::buildChannelBar(curve(channel), workingCopy_.lowCount, workingCopy_.highCount);
    column.bar->setPixmap(QPixmap::fromImage(channelBarImage(bits, CHANNEL_COLOURS[channel])));
    ++column.barBuilds;
}

void ColourDialog::onSliderEnded(Channel channel, SliderRole role, int value) {
    if (!armed_) return;
    int& field = sliderField(channel, role);
    if (field == value) return;
    field = value;
    rebuildBar(channel);
}

void ColourDialog::onCycleOrPhaseEdited(Channel channel, bool phase) {
    if (!armed_) return;
    Column& column = columns_[channel];
    QLineEdit* field = phase ? column.phase : column.cycle;
    SpinArrows* arrows = phase ? column.phaseArrows : column.cycleArrows;
    const auto v = colour::cycleFieldValue(field->text().toStdString(), workingCopy_);
    if (!v) return;  // empty: the value stays
    if (v->rewrite) {
        const QSignalBlocker quiet(field);
        field->setText(QString::fromStdString(v->text));
    }
    if (arrows->value() != v->value) arrows->setValue(v->value);
    int& stored = phase ? curve(channel).phase : curve(channel).cycle;
    if (stored == v->value) return;
    stored = v->value;
    rebuildBar(channel);
}

void ColourDialog::onDistortionEdited(Channel channel) {
    if (!armed_) return;
    Column& column = columns_[channel];
    const auto v = colour::distortionFieldValue(column.distortion->text().toStdString());
    if (!v) return;
    if (v->rewrite) {
        const QSignalBlocker quiet(column.distortion);
        column.distortion->setText(QString::fromStdString(v->text));
    }
    if (column.distortionArrows->value() != v->value) column.distortionArrows->setValue(v->value);
    if (curve(channel).distortion == v->value) return;
    curve(channel).distortion = v->value;
    rebuildBar(channel);
}

void ColourDialog::openExceptionColours() {
    ExceptionColourDialog dialog(workingCopy_, boxes_, this);
    dialog.exec();
}

void ColourDialog::accept() {
    table_.records[static_cast<std::size_t>(code_)] = workingCopy_;
    if (postRecolour_) postRecolour_();
    QDialog::accept();
}
