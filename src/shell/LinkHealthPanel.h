#pragma once
// The status bar's word on the link while online: "Link: 0 errors", or how many transactions
// failed or needed a retry in the last minute, from the wire monitor's recorder.

#include "Platform.h"
#include "WireRecorder.h"

#include <functional>

class QLabel;
class QStatusBar;

namespace talvern::shell {

// Adds the panel ("sbrMain_LINK") at the right of the bar; it looks at the recorder twice a
// second and hides while `online` says no.
QLabel* AddLinkHealthPanel(QStatusBar* bar, link::WireRecorder& recorder, link::Clock& clock,
                           std::function<bool()> online);

} // namespace talvern::shell
