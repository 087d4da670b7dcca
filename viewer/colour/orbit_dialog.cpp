#include "viewer/colour/orbit_dialog.h"

#include "analysis/map_conversion.h"
#include "common/number_text.h"
#include "platform/message_box.h"
#include "viewer/colour/dialog_widgets.h"
#include "viewer/core/field_width.h"
#include "viewer/core/parameter_fields.h"

#include <QApplication>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <cmath>
#include <limits>

namespace {

constexpr int FIELD_MAX_CHARS = 18;
constexpr int MAGNIFICATION_SHOWN_CHARS = 12;  // longer texts scroll

}  // namespace

OrbitDialog::OrbitDialog(const colour::PictureInfo& info, platform::MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), info_(info), boxes_(boxes), map_(analysis::toEngineMap(info.map)) {
    setWindowTitle(tr("軌道"));
    escapeRadiusSquared_ = colour::orbitEscapeRadiusSquared(info_.convergenceRadius);

    // Controls above the picture, in the 139 pixels the picture leaves free:
    // the title with the list's buttons and the draw button; the list beside
    // the drawing parameters and the mouse readout; the hint across the band.
    auto* controls = new QWidget(this);
    const int spacing = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    const int margin = style()->pixelMetric(QStyle::PM_LayoutTopMargin);
    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(colour::ORBIT_PICTURE_LEFT, margin, colour::ORBIT_PICTURE_LEFT, margin);
    grid->setHorizontalSpacing(spacing);
    grid->setVerticalSpacing(style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing));
    auto newRow = [spacing] {
        auto* row = new QHBoxLayout;
        row->setSpacing(spacing);
        return row;
    };

    auto* selectAllButton = new QPushButton(tr("全選択"), controls);
    auto* clearButton = new QPushButton(tr("全解除"), controls);
    auto* drawButton = new QPushButton(tr("描画Start"), controls);
    QHBoxLayout* row = newRow();
    row->addWidget(new QLabel(tr("軌道を表示したいクリティカルポイントを選んでください"), controls));
    row->addWidget(selectAllButton);
    row->addWidget(clearButton);
    row->addStretch(1);
    row->addWidget(drawButton);
    grid->addLayout(row, 0, 0, 1, 2);

    list_ = new QListWidget(controls);
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    grid->addWidget(list_, 1, 0, 2, 1);

    loopField_ = new QLineEdit(controls);
    loopField_->setMaxLength(FIELD_MAX_CHARS);
    loopField_->setFixedWidth(viewer::fieldWidthFor(
        loopField_, QString::fromStdString(colour::initialOrbitLoop(std::numeric_limits<int>::max()).fieldText)));
    magnificationField_ = new QLineEdit(controls);
    magnificationField_->setMaxLength(FIELD_MAX_CHARS);
    magnificationField_->setFixedWidth(
        viewer::fieldWidthFor(magnificationField_, QString(MAGNIFICATION_SHOWN_CHARS, QLatin1Char('0'))));
    pointSizeField_ = new QLineEdit(controls);
    pointSizeField_->setReadOnly(true);
    pointSizeField_->setMaximumWidth(32);
    pointSizeArrows_ = new SpinArrows(pointSizeField_, controls);
    pointSizeArrows_->setRange(colour::MIN_POINT_SIZE, colour::MAX_POINT_SIZE);
    row = newRow();
    row->addWidget(new QLabel(tr("ループ回数"), controls));
    row->addWidget(loopField_);
    row->addWidget(new QLabel(tr("倍率"), controls));
    row->addWidget(magnificationField_);
    row->addWidget(new QLabel(tr("点の大きさ"), controls));
    auto* sizeBox = new QHBoxLayout;  // the arrows sit on the field, as one spin control
    sizeBox->setSpacing(0);
    sizeBox->addWidget(pointSizeField_);
    sizeBox->addWidget(pointSizeArrows_);
    row->addLayout(sizeBox);
    row->addStretch(1);
    grid->addLayout(row, 1, 1);

    mouseField_ = new QLineEdit(controls);
    mouseField_->setReadOnly(true);
    constexpr double WIDEST = -8.888888888888888e-308;
    mouseField_->setMinimumWidth(
        viewer::fieldWidthFor(mouseField_, QString::fromStdString(colour::mousePositionText({WIDEST, WIDEST}))));
    row = newRow();
    row->addWidget(new QLabel(tr("マウス位置"), controls));
    row->addWidget(mouseField_, 1);
    grid->addLayout(row, 2, 1);

    grid->addWidget(
        new QLabel(tr("クリティカルポイント以外の点の軌道を表示する場合は画面をCtrl+ピックしてください"), controls),
        3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    connect(selectAllButton, &QPushButton::clicked, this, &OrbitDialog::selectAll);
    connect(clearButton, &QPushButton::clicked, this, &OrbitDialog::clearSelection);
    connect(drawButton, &QPushButton::clicked, this, &OrbitDialog::drawSelected);
    connect(loopField_, &QLineEdit::textChanged, this, &OrbitDialog::onLoopEdited);
    connect(magnificationField_, &QLineEdit::textChanged, this, &OrbitDialog::onMagnificationEdited);

    // Opening; the field handlers stay quiet until the first drawing is shown.
    for (const colour::PlanePoint& p : info_.criticalPoints)
        list_->addItem(QString::fromStdString(colour::criticalPointEntry(p.re, p.im)));
    selectAll();
    const colour::InitialOrbitLoop initial = colour::initialOrbitLoop(info_.loopCount);
    loopCount_ = initial.loopCount;
    loopField_->setText(QString::fromStdString(initial.fieldText));
    magnificationField_->setText(QString::fromStdString(colour::formatMagnification(info_.magnification)));
    magnificationField_->setCursorPosition(0);  // a long value shows its start
    next_ = {info_.width, info_.height, info_.magnification, info_.centreRe, info_.centreIm};
    if (!(info_.magnification > 0) || !std::isfinite(info_.magnification)) next_.magnification = 1;
    shown_ = next_;

    const colour::DialogSize size = colour::orbitDialogSize(info_.width, info_.height);
    setFixedSize(size.width, size.height);
    controls->setGeometry(0, 0, size.width, colour::ORBIT_PICTURE_TOP);
    pointSizeArrows_->setValueAndBuddy(colour::MIN_POINT_SIZE);

    picture_ = colour::OrbitPicture(info_.width, info_.height);
    pictureLabel_ = new QLabel(this);
    pictureLabel_->setGeometry(colour::ORBIT_PICTURE_LEFT, colour::ORBIT_PICTURE_TOP, picture_.width(),
                               picture_.height());
    pictureLabel_->setMouseTracking(true);
    setMouseTracking(true);
    installHelpKey(this, HELP_ORBIT);

    // The first drawing: every critical orbit, single pixels, the capped count.
    draw(nullptr, loopCount_, colour::MIN_POINT_SIZE);
    armed_ = true;
}

int OrbitDialog::pointSize() const { return pointSizeArrows_->value(); }

void OrbitDialog::selectAll() {
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(true);
}

void OrbitDialog::clearSelection() {
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(false);
}

bool OrbitDialog::hasSelection() {
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->isSelected()) return true;
    boxes_.showMessage(NO_SELECTION_MESSAGE);
    return false;
}

void OrbitDialog::draw(const colour::OrbitPoint* picked, std::int64_t loopCount, int pointSize) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    picture_.clear();
    for (int i = 0; i < list_->count(); ++i) {
        if (!list_->item(i)->isSelected()) continue;
        const colour::PlanePoint& p = info_.criticalPoints[static_cast<std::size_t>(i)];
        colour::drawOrbit(picture_, next_, map_, {p.re, p.im}, loopCount, pointSize, colour::ORBIT_CRITICAL,
                          escapeRadiusSquared_);
    }
    if (picked)
        colour::drawOrbit(picture_, next_, map_, *picked, loopCount, pointSize, colour::ORBIT_PICKED,
                          escapeRadiusSquared_);
    const QImage image(reinterpret_cast<const uchar*>(picture_.pixels().data()), picture_.width(),
                       picture_.height(), picture_.width() * 4, QImage::Format_RGB32);
    pictureLabel_->setPixmap(QPixmap::fromImage(image));
    shown_ = next_;
    QApplication::restoreOverrideCursor();
}

void OrbitDialog::drawSelected() {
    if (!hasSelection()) return;
    draw(nullptr, loopCount_, pointSize());
}

QPoint OrbitDialog::pictureCorner() const { return {colour::ORBIT_PICTURE_LEFT, colour::ORBIT_PICTURE_TOP}; }

void OrbitDialog::pick(const QPoint& dialogPosition, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers keys = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                                                    Qt::MetaModifier);
    const bool recentre = keys == Qt::ShiftModifier;
    const bool addPoint = keys == Qt::ControlModifier;
    if (!recentre && !addPoint) return;
    if (!hasSelection()) return;
    const QPoint p = dialogPosition - pictureCorner();
    const colour::OrbitPoint point = colour::pixelToPlane(shown_, p.x(), p.y());
    if (recentre) {
        next_.centreRe = point.re;
        next_.centreIm = point.im;
        draw(nullptr, loopCount_, pointSize());
    } else {
        draw(&point, loopCount_, pointSize());
    }
}

void OrbitDialog::showMousePosition(const QPoint& dialogPosition) {
    const QPoint p = dialogPosition - pictureCorner();
    if (p.x() < 0 || p.y() < 0 || p.x() >= picture_.width() || p.y() >= picture_.height()) {
        mouseField_->clear();
        return;
    }
    mouseField_->setText(QString::fromStdString(colour::mousePositionText(colour::pixelToPlane(shown_, p.x(), p.y()))));
}

void OrbitDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->buttons() == Qt::NoButton)
        pick(event->position().toPoint(), event->modifiers());
    QDialog::mouseReleaseEvent(event);
}

void OrbitDialog::mouseMoveEvent(QMouseEvent* event) {
    showMousePosition(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void OrbitDialog::onLoopEdited() {
    if (!armed_) return;
    const std::string text = loopField_->text().toStdString();
    const auto count = colour::orbitLoopFromText(text);
    if (!count) return;  // empty: the count stays
    loopCount_ = *count;
    if (common::parseIntSaturating(text) != *count) {  // held to 1..100000
        const QSignalBlocker quiet(loopField_);
        loopField_->setText(QString::number(*count));
    }
}

void OrbitDialog::onMagnificationEdited() {
    if (!armed_) return;
    const std::string text = magnificationField_->text().toStdString();
    const std::size_t valid = viewer::numericValidLength(text);
    if (valid < text.size()) {
        const int cursor = magnificationField_->cursorPosition();
        const QSignalBlocker quiet(magnificationField_);
        magnificationField_->setText(QString::fromStdString(text.substr(0, valid)));
        magnificationField_->setCursorPosition(std::min<int>(cursor, static_cast<int>(valid)));
    }
    // Only a positive magnification can be drawn; anything else keeps the last one.
    const auto value = common::parseDouble(text.substr(0, valid));
    if (value && *value > 0) next_.magnification = *value;
}
