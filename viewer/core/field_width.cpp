#include "viewer/core/field_width.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace viewer {
namespace {

// A QLineEdit keeps this much room on each side of its text, and one pixel
// for the caret after it.
constexpr int LINE_EDIT_TEXT_INSET = 2;
constexpr int LINE_EDIT_CARET_WIDTH = 1;

}  // namespace

int fieldWidthFor(const QLineEdit* field, const QString& text) {
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
    const QMargins margins = field->textMargins();
    const int textWidth = field->fontMetrics().horizontalAdvance(text) + 2 * LINE_EDIT_TEXT_INSET + margins.left() +
                          margins.right() + LINE_EDIT_CARET_WIDTH;
    return field->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(textWidth, field->sizeHint().height()), field)
        .width();
}

}  // namespace viewer
