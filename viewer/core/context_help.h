// Context help (Shift+F1 or the tool bar's help button): the cursor turns
// into a question mark and the next click on a control of the parameter bar
// opens that control's help topic; a click anywhere else, or Escape, ends
// the mode without opening anything.
#pragma once

#include <QObject>
#include <optional>

class QWidget;

class ContextHelpMode : public QObject {
    Q_OBJECT
public:
    // Starts the mode for the window; a mode already running is kept.
    static void start(QWidget* window);

    // The help topic for a click on widget: the topic of the nearest widget
    // (itself or a parent) that carries a "controlId" with a topic.
    static std::optional<int> topicForWidget(const QWidget* widget);

    ~ContextHelpMode() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ContextHelpMode(QWidget* window);
    void finish();

    bool active_ = true;
};
