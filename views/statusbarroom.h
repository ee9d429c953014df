#pragma once

class QStatusBar;
class QWidget;

namespace statusbarroom {

// A status bar shows its message left of the first permanent widget and cuts it off there.
// While a message is shown, `yielding` (that first permanent widget, worth less than the
// message) narrows as far as the message needs; it gets its width back when the message goes.
void yieldToMessages(QStatusBar *bar, QWidget *yielding);

}  // namespace statusbarroom
