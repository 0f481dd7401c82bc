#pragma once
// Windows keep their buttons in step with polling timers. A hidden window has nothing to
// keep in step: its timers stop while it is hidden and the ones that were running start
// again when it is shown.

class QWidget;

namespace qm {

// Pauses the timers of `window` and its panels while the window is hidden, from now on.
void pauseTimersWhileHidden(QWidget* window);

}  // namespace qm
