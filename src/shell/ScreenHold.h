#pragma once
// What holds a window's refresh cycle or modal operation: a modal window or message box open
// above it, or the link busy with a transaction or one of its own questions.

#include <functional>

class QWidget;

namespace talvern::shell {

// The hold for cycles that run under the given window (null: a modal window anywhere holds).
std::function<bool()> ScreenHold(QWidget* window);

} // namespace talvern::shell
