#include "viewer/core/context_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include "platform/help_window.h"
#include "viewer/core/help_topics.h"

namespace {
QPointer<ContextHelpMode> activeMode;
}

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
            auto* widget = qobject_cast<QWidget*>(watched);
            const std::optional<int> topic = topicForWidget(widget);
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
