#pragma once
// The child screens the main window can show, by their index in its table (0..4 bodymaker,
// 5..8 servo cupfeed).

class QWidget;

namespace talvern::screens {

// A new screen for the index, or nullptr when that screen does not exist (yet). The screen
// carries its help page (the "helpPage" property) for F1.
QWidget* CreateChildScreen(int index);
bool HasChildScreen(int index);

} // namespace talvern::screens
