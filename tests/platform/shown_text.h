// What a user sees of a one-line field. A QLineEdit scrolls its text so that
// the caret is visible; the field's text() says nothing about which part is
// on screen, so these read the painted position of the text instead.
#pragma once

#include <QLineEdit>
#include <QVariant>

namespace platform_test {

// Where the text's first character is painted, in field coordinates.
inline int shownTextStart(QLineEdit* field) {
    (void)field->grab();  // a paint settles the scroll position
    // The caret's rectangle has room on both sides of the caret line.
    const QRect caret = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int caretX = caret.left() + caret.width() / 2;
    return caretX - field->fontMetrics().horizontalAdvance(field->text().left(field->cursorPosition()));
}

// The start of the text is on screen (not scrolled out to the left).
inline bool textStartShown(QLineEdit* field) { return shownTextStart(field) >= field->contentsRect().left(); }

// The whole text is on screen.
inline bool wholeTextShown(QLineEdit* field) {
    const int start = shownTextStart(field);
    return start >= field->contentsRect().left() &&
           start + field->fontMetrics().horizontalAdvance(field->text()) <= field->contentsRect().right();
}

}  // namespace platform_test
