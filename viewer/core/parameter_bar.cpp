#include "viewer/core/parameter_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "viewer/core/control_ids.h"
#include "viewer/core/field_width.h"
#include "viewer/core/point_info.h"

using namespace viewer;

namespace {

// An edit that takes only digits from the keyboard; pasted text still gets
// in, and numericFilter and the limits deal with it.
class DigitsOnlyKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !text.isEmpty() &&
                text.at(0).isPrint() && !text.at(0).isDigit())
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

void tagControl(QWidget* widget, int controlId) {
    widget->setProperty("controlId", controlId);
    widget->setObjectName(QStringLiteral("control%1").arg(controlId));
}

QString q(const std::string& text) { return QString::fromStdString(text); }

// The longest text the mouse readout can hold: "%.16G" with a sign and a
// three-digit exponent, twice.
QString longestMouseReadout() {
    constexpr double WIDEST = -8.888888888888888e-308;
    return q(mousePositionText({WIDEST, WIDEST}));
}

}  // namespace

QString numericFilter(QLineEdit* field) {
    // Like the original edit control, only the first line counts and at most
    // 60 characters are looked at.
    const QString text = field->text().left(60);
    const QByteArray utf8 = text.toUtf8();
    const std::size_t valid = numericValidLength(std::string_view(utf8.constData(), utf8.size()));
    if (valid == static_cast<std::size_t>(utf8.size()) && text == field->text()) return text;
    // The valid prefix is plain ASCII, so its byte count is its length.
    const QString shortened = text.left(static_cast<int>(valid));
    const int cursor = field->cursorPosition();
    const int selectionStart = field->selectionStart();
    const int selectionLength = field->selectedText().size();
    field->setText(shortened);
    if (selectionStart >= 0 && selectionLength > 0) {
        const int start = std::min<int>(selectionStart, shortened.size());
        const int end = std::min<int>(selectionStart + selectionLength, shortened.size());
        field->setSelection(start, end - start);
    } else {
        field->setCursorPosition(std::min<int>(cursor, shortened.size()));
    }
    return shortened;
}

ParameterBar::ParameterBar(ViewerSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("ParameterBar"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(4, 2, 4, 2);
    rows->setSpacing(2);
    auto newRow = [rows] {
        auto* row = new QHBoxLayout;
        row->setSpacing(5);
        rows->addLayout(row);
        return row;
    };
    auto label = [this](const QString& text) {
        auto* l = new QLabel(text, this);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };

    radius_ = makeField(ID_CONVERGENCE_RADIUS, false);
    height_ = makeField(ID_PICTURE_HEIGHT, true);
    width_ = makeField(ID_PICTURE_WIDTH, true);
    loopCount_ = makeField(ID_LOOP_COUNT, true);
    nextMagnification_ = makeField(ID_NEXT_MAGNIFICATION, false);
    centreRe_ = makeField(ID_CENTRE_RE, false);
    centreIm_ = makeField(ID_CENTRE_IM, false);
    nextMagnification_->setEnabled(false);
    centreRe_->setEnabled(false);
    centreIm_->setEnabled(false);
    for (QLineEdit* edit : {radius_, nextMagnification_, centreRe_, centreIm_}) edit->setFixedWidth(100);
    for (QLineEdit* edit : {height_, width_, loopCount_}) edit->setFixedWidth(60);

    // Row 1: the parameters the render takes, and the draw button.
    QHBoxLayout* row = newRow();
    row->addWidget(label(tr("収束半径")));
    row->addWidget(radius_);
    row->addWidget(label(tr("画面サイズ縦")));
    row->addWidget(height_);
    row->addWidget(label(tr("(ピクセル）横")));
    row->addWidget(width_);
    row->addWidget(label(tr("ループ回数")));
    row->addWidget(loopCount_);
    drawButton_ = new QPushButton(tr("描画ｽﾀｰﾄ"), this);
    tagControl(drawButton_, ID_DRAW_BUTTON);
    drawButton_->setDefault(true);
    connect(drawButton_, &QPushButton::clicked, this, &ParameterBar::drawButtonClicked);
    row->addWidget(drawButton_);
    row->addStretch(1);

    // Row 2: magnifications and centre, and the progress bar.
    row = newRow();
    row->addWidget(label(tr("次の倍率")));
    row->addWidget(nextMagnification_);
    currentMagnification_ = new QLabel(this);
    tagControl(currentMagnification_, ID_CURRENT_MAGNIFICATION);
    currentMagnification_->setMinimumWidth(90);
    row->addWidget(currentMagnification_);
    row->addWidget(label(tr("中心　X座標")));
    row->addWidget(centreRe_);
    row->addWidget(label(tr("　　　　Y座標")));
    row->addWidget(centreIm_);
    progressBar_ = new QProgressBar(this);
    tagControl(progressBar_, ID_PROGRESS_BAR);
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setFixedWidth(80);
    row->addWidget(progressBar_);
    row->addStretch(1);

    // Row 3: the hint line and the background switch.
    row = newRow();
    hintLine_ = new QLabel(tr("パラメータを設定して描画スタートボタンを押してください"), this);
    tagControl(hintLine_, ID_HINT_LINE);
    row->addWidget(hintLine_);
    row->addStretch(1);
    backgroundBox_ = new QCheckBox(tr("バックグラウンド"), this);
    tagControl(backgroundBox_, ID_BACKGROUND);
    backgroundBox_->setEnabled(false);
    backgroundBox_->hide();
    connect(backgroundBox_, &QCheckBox::clicked, this, &ParameterBar::backgroundClicked);
    row->addWidget(backgroundBox_);

    // Row 4: the mouse readouts.
    row = newRow();
    mouseLabel_ = new QLabel(tr("マウス位置"), this);
    tagControl(mouseLabel_, ID_MOUSE_POSITION_LABEL);
    row->addWidget(mouseLabel_);
    mousePosition_ = new QLineEdit(this);
    tagControl(mousePosition_, ID_MOUSE_POSITION);
    mousePosition_->setReadOnly(true);
    mousePosition_->setFixedWidth(fieldWidthFor(mousePosition_, longestMouseReadout()));
    row->addWidget(mousePosition_);
    pointInfo_ = new QLineEdit(this);
    tagControl(pointInfo_, ID_POINT_INFO);
    pointInfo_->setReadOnly(true);
    pointInfo_->setMinimumWidth(200);
    row->addWidget(pointInfo_, 1);
    // The hidden readouts keep their room, so the bar does not jump.
    for (QWidget* readout : {static_cast<QWidget*>(mouseLabel_), static_cast<QWidget*>(mousePosition_),
                             static_cast<QWidget*>(pointInfo_)}) {
        QSizePolicy policy = readout->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        readout->setSizePolicy(policy);
        readout->hide();
    }
}

QLineEdit* ParameterBar::makeField(int controlId, bool digitsOnly) {
    auto* edit = new QLineEdit(this);
    tagControl(edit, controlId);
    edit->setMaxLength(FIELD_TEXT_LIMIT);
    if (digitsOnly) edit->installEventFilter(new DigitsOnlyKeys(edit));
    connect(edit, &QLineEdit::textChanged, this, [this, controlId] { fieldChanged(controlId); });
    return edit;
}

QLineEdit* ParameterBar::field(int controlId) const {
    switch (controlId) {
        case ID_PICTURE_WIDTH: return width_;
        case ID_PICTURE_HEIGHT: return height_;
        case ID_LOOP_COUNT: return loopCount_;
        case ID_CONVERGENCE_RADIUS: return radius_;
        case ID_NEXT_MAGNIFICATION: return nextMagnification_;
        case ID_CENTRE_RE: return centreRe_;
        case ID_CENTRE_IM: return centreIm_;
        case ID_MOUSE_POSITION: return mousePosition_;
        case ID_POINT_INFO: return pointInfo_;
        default: return nullptr;
    }
}

void ParameterBar::fillFields() {
    const bool wasInitialising = initialising_;
    initialising_ = true;
    const common::ViewRecord& view = session_.header().currentView;
    radius_->setText(q(formatBarReal(view.convergenceRadius)));
    nextMagnification_->setText(q(formatBarReal(view.magnification)));
    currentMagnification_->setText(tr("現倍率 ") + q(formatBarReal(view.magnification)));
    width_->setText(q(formatBarInt(view.pictureWidth)));
    height_->setText(q(formatBarInt(view.pictureHeight)));
    centreRe_->setText(q(formatBarReal(view.centreRe)));
    centreIm_->setText(q(formatBarReal(view.centreIm)));
    loopCount_->setText(q(formatBarInt(view.loopCount)));
    for (QLineEdit* edit : {radius_, height_, width_, loopCount_, nextMagnification_, centreRe_, centreIm_}) {
        edit->setMaxLength(FIELD_TEXT_LIMIT);
        edit->setCursorPosition(0);  // a value too long for the field shows its start
    }
    initialising_ = wasInitialising;
}

void ParameterBar::storeInt(QLineEdit* edit, std::int32_t& target, LimitedValue (*limit)(int)) {
    const QString text = numericFilter(edit);
    const auto value = readBarInt(text.toStdString());
    if (!value) return;
    const LimitedValue limited = limit(*value);
    target = limited.value;
    if (limited.corrected) edit->setText(q(formatBarInt(limited.value)));
}

void ParameterBar::fieldChanged(int controlId) {
    if (initialising_ || !session_.blocksAvailable()) return;
    common::AnalysisBlockHeader& block = session_.header();
    auto storeReal = [](QLineEdit* edit, double& target) {
        const QString text = numericFilter(edit);
        if (const auto value = readBarReal(text.toStdString())) target = *value;
    };
    switch (controlId) {
        case ID_CONVERGENCE_RADIUS: storeReal(radius_, block.currentView.convergenceRadius); break;
        case ID_NEXT_MAGNIFICATION: storeReal(nextMagnification_, block.drawnView.magnification); break;
        case ID_CENTRE_RE: storeReal(centreRe_, block.currentView.centreRe); break;
        case ID_CENTRE_IM: storeReal(centreIm_, block.currentView.centreIm); break;
        case ID_LOOP_COUNT: storeInt(loopCount_, block.currentView.loopCount, &limitLoopCount); break;
        case ID_PICTURE_WIDTH: storeInt(width_, block.currentView.pictureWidth, &limitPictureSize); break;
        case ID_PICTURE_HEIGHT: storeInt(height_, block.currentView.pictureHeight, &limitPictureSize); break;
        default: break;
    }
}

void ParameterBar::setParameterFieldsEnabled(bool on) {
    for (QLineEdit* edit : {radius_, width_, height_, loopCount_}) edit->setEnabled(on);
}

void ParameterBar::setProgress(int maximum, int value) {
    if (!progressBar_) return;
    progressBar_->setRange(0, maximum);
    progressBar_->setValue(value);
}

void ParameterBar::destroyDrawControls() {
    // The draw button may be the sender of the signal being handled, so the
    // widgets go through the event loop; the bar forgets them at once.
    for (QWidget* widget : {static_cast<QWidget*>(progressBar_.data()), static_cast<QWidget*>(drawButton_.data()),
                            static_cast<QWidget*>(backgroundBox_.data())}) {
        if (widget == nullptr) continue;
        widget->hide();
        widget->setEnabled(false);
        widget->deleteLater();
    }
    progressBar_.clear();
    drawButton_.clear();
    backgroundBox_.clear();
}

void ParameterBar::showBackgroundBox() {
    if (!backgroundBox_) return;
    backgroundBox_->setEnabled(true);
    backgroundBox_->show();
    backgroundBox_->update();
}

void ParameterBar::showReadouts() {
    mousePosition_->show();
    mouseLabel_->show();
    pointInfo_->show();
}

void ParameterBar::setReadouts(const QString& position, const QString& pointInfo) {
    mousePosition_->setText(position);
    mousePosition_->setCursorPosition(0);  // a text too long for the field shows its start
    pointInfo_->setText(pointInfo);
    pointInfo_->setCursorPosition(0);
}
