#include "viewer/core/context_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "platform/help_window.h"
#include "viewer/core/help_topics.h"

namespace {
QPointer<ContextHelpMode> activeMode;

// The window system hands a press to the top-level window first; the
// control under it is found here, before the press reaches (or, for a
// disabled control, never reaches) the control itself.
QWidget* widgetUnderPress(QObject* watched, const QMouseEvent& press) {
    if (auto* widget = qobject_cast<QWidget*>(watched)) return widget;
    auto* window = qobject_cast<QWindow*>(watched);
    if (window == nullptr) return nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window) continue;
        QWidget* child = top->childAt(press.position().toPoint());
        return child != nullptr ? child : top;
    }
    return nullptr;
}
}  // namespace

ContextHelpMode::ContextHelpMode(QWidget* window) : QObject(window) {
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    qApp->installEventFilter(this);
}

void ContextHelpMode::start(QWidget* window) {
    if (activeMode) return;
    activeMode = new ContextHelpMode(window);
}

std::optional<int> ContextHelpMode::topicForWidget(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const QVariant id = widget->property("controlId");
        if (!id.isValid()) continue;
        return viewer::helpTopicForContext(viewer::helpContextOfControl(id.toInt()));
    }
    return std::nullopt;
}

ContextHelpMode::~ContextHelpMode() {
    // The window went away during the mode: the cursor is not left changed.
    if (active_) QApplication::restoreOverrideCursor();
}

void ContextHelpMode::finish() {
    if (!active_) return;
    active_ = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    deleteLater();
}

bool ContextHelpMode::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const std::optional<int> topic =
                topicForWidget(widgetUnderPress(watched, *static_cast<QMouseEvent*>(event)));
            finish();
            if (topic) platform::showHelpTopic(*topic);
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                finish();
                return true;
            }
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}
