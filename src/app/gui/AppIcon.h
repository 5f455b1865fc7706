#pragma once
// The program's icon (the same drawing as the desktop menu's), for the window and the task bar.

#include <QIcon>

namespace talvern::app {

QIcon TalvernIcon();

} // namespace talvern::app
