#include "viewer/colour/orbit_dialog.h"

#include "analysis/map_conversion.h"
#include "common/number_text.h"
#include "platform/message_box.h"
#include "viewer/colour/dialog_widgets.h"
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
#include <cmath>

namespace {

constexpr int FIELD_MAX_CHARS = 18;

}  // namespace

OrbitDialog::OrbitDialog(const colour::PictureInfo& info, platform::MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), info_(info), boxes_(boxes), map_(analysis::toEngineMap(info.map)) {
    setWindowTitle(tr("軌道"));
    escapeRadiusSquared_ = colour::orbitEscapeRadiusSquared(info_.convergenceRadius);

    // Controls above the picture, in the 139 pixels the picture leaves free.
    auto* controls = new QWidget(this);
    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(colour::ORBIT_PICTURE_LEFT, 4, colour::ORBIT_PICTURE_LEFT, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(tr("軌道を表示したいクリティカルポイントを選んでください"), controls), 0, 0, 1, 3);
    list_ = new QListWidget(controls);
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    grid->addWidget(list_, 1, 0, 4, 1);
    auto* selectAllButton = new QPushButton(tr("全選択"), controls);
    auto* clearButton = new QPushButton(tr("全解除"), controls);
    grid->addWidget(selectAllButton, 1, 1);
    grid->addWidget(clearButton, 1, 2);

    auto* fields = new QGridLayout;
    loopField_ = new QLineEdit(controls);
    loopField_->setMaxLength(FIELD_MAX_CHARS);
    magnificationField_ = new QLineEdit(controls);
    magnificationField_->setMaxLength(FIELD_MAX_CHARS);
    pointSizeField_ = new QLineEdit(controls);
    pointSizeField_->setReadOnly(true);
    pointSizeField_->setMaximumWidth(32);
    pointSizeArrows_ = new SpinArrows(pointSizeField_, controls);
    pointSizeArrows_->setRange(colour::MIN_POINT_SIZE, colour::MAX_POINT_SIZE);
    auto* drawButton = new QPushButton(tr("描画Start"), controls);
    fields->addWidget(new QLabel(tr("ループ回数"), controls), 0, 0);
    fields->addWidget(loopField_, 0, 1);
    fields->addWidget(new QLabel(tr("倍率"), controls), 0, 2);
    fields->addWidget(magnificationField_, 0, 3);
    fields->addWidget(new QLabel(tr("点の大きさ"), controls), 1, 0);
    auto* sizeBox = new QHBoxLayout;
    sizeBox->addWidget(pointSizeField_);
    sizeBox->addWidget(pointSizeArrows_);
    sizeBox->addStretch();
    fields->addLayout(sizeBox, 1, 1);
    fields->addWidget(drawButton, 1, 3);
    grid->addLayout(fields, 2, 1, 1, 2);
    grid->addWidget(
        new QLabel(tr("クリティカルポイント以外の点の軌道を表示する場合は画面をCtrl+ピックしてください"), controls),
        3, 1, 1, 2);
    auto* mouseRow = new QHBoxLayout;
    mouseRow->addWidget(new QLabel(tr("マウス位置"), controls));
    mouseField_ = new QLineEdit(controls);
    mouseField_->setReadOnly(true);
    mouseRow->addWidget(mouseField_, 1);
    grid->addLayout(mouseRow, 4, 1, 1, 2);
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
