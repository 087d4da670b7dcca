// What a user sees of a one-line field: a QLineEdit scrolls its text to keep
// the caret visible, so text() alone does not tell which part is on screen.
#pragma once

#include <QLineEdit>
#include <QVariant>

namespace platform_test {

// Where the text's first character is painted, in field coordinates.
inline int shownTextStart(QLineEdit* field) {
    (void)field->grab();  // a paint settles the scroll position
    const QRect caret = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();  // room on both sides of the line
    return caret.left() + caret.width() / 2 -
           field->fontMetrics().horizontalAdvance(field->text().left(field->cursorPosition()));
}

inline bool textStartShown(QLineEdit* field) { return shownTextStart(field) >= field->contentsRect().left(); }

inline bool wholeTextShown(QLineEdit* field) {
    const int end = shownTextStart(field) + field->fontMetrics().horizontalAdvance(field->text());
    return textStartShown(field) && end <= field->contentsRect().right();
}

}  // namespace platform_test
