#include "viewer/colour/dialog_widgets.h"

#include "platform/help_window.h"
#include "platform/ui_language.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

EndScrollSlider::EndScrollSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent) {}

void EndScrollSlider::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    emit scrollEnded(value());
}

void EndScrollSlider::keyReleaseEvent(QKeyEvent* event) {
    QSlider::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) emit scrollEnded(value());
}

void EndScrollSlider::wheelEvent(QWheelEvent* event) {
    QSlider::wheelEvent(event);
    emit scrollEnded(value());
}

SpinArrows::SpinArrows(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), buddy_(buddy), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, &SpinArrows::stepUp);
    connect(down_, &QToolButton::clicked, this, &SpinArrows::stepDown);
}

void SpinArrows::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

void SpinArrows::setValue(int value) { value_ = std::clamp(value, minimum_, maximum_); }

void SpinArrows::setValueAndBuddy(int value) {
    setValue(value);
    if (buddy_) buddy_->setText(QString::number(value_));
}

void installHelpKey(QWidget* dialog, int topic) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, dialog, [topic] { platform::showHelpTopic(topic); });
}

QDialogButtonBox* okCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(platform::uiText(QT_TRANSLATE_NOOP("Texts", "ｷｬﾝｾﾙ")), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
