#pragma once
// How a window reports an error: one message box titled "错误" with the warning icon and an
// OK button, the same in every window.

#include <QString>

namespace qm {

class Prompt;

// Says `text` in a message box titled "错误" with the warning icon and an OK button.
void reportError(Prompt& prompt, const QString& text);

}  // namespace qm
