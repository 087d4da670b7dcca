// The width a one-line field needs to show a text whole: the text measured
// in the field's own font, plus the room the field and its style keep around
// it. Used to size fields for the longest text they can receive.
//
// Interface thread only.
#pragma once

class QLineEdit;
class QString;

namespace viewer {

int fieldWidthFor(const QLineEdit* field, const QString& text);

}  // namespace viewer
