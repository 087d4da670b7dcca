// The help window: a bundled HTML document ("Halvatrine.hlp" of old) shown
// in a QTextBrowser, one anchor per topic number ("topic9009"). Both
// programs open it by topic number.
//
// GUI thread only. The window is created on first use, kept for the life of
// the application and raised on later calls.
#pragma once

#include <QString>

class QTextBrowser;

namespace platform {

// Opens the help window at the topic's anchor; an unknown topic opens the
// contents. Returns false when the topic is not in the document.
bool showHelpTopic(int topic);
// Opens the help window at the contents.
void showHelpContents();

// The anchor name of a topic ("topic9009").
QString helpTopicAnchor(int topic);
// True when the bundled document has an anchor for the topic.
bool helpHasTopic(int topic);
// The help window if it has been opened (for tests), else nullptr.
QTextBrowser* helpWindow();

}  // namespace platform
