#pragma once
// Checking which board is on the cable, and bringing the link in line with the online wish.
// Plain logic: the link, the line and the user's answers come in as parameters.

#include "Platform.h"
#include "RSComm.h"

#include <functional>

namespace talvern::setup {

// What the main window shows of the link state (panel 2, the View items, the passcode item).
class OnlineStateView {
public:
    virtual ~OnlineStateView() = default;
    virtual void showOnlineState(bool online) = 0;
};

// Opens or closes the link according to OnlineMode and shows the outcome.
void UpdateOnlineState(link::RSComm& link, link::SerialLine& port, OnlineStateView* view);

// The address at which every board holds its board number (1 = K2510, 3 = R7520).
inline constexpr const char* kBoardTypeAddress = "B698";

// Confirms that the board with the given number (1 = K2510, 3 = R7520) is the one on the
// cable, asking the user to move the cable until it is or until Cancel; Cancel runs goOffline
// (which turns the program offline) and gives false. A failed link gives false at once, without
// the cable question: the link has already asked its own. While the question is open the link
// reports itself busy, so that timer-driven readers hold.
bool CheckTargetBoard(link::RSComm& link, link::UserAnswers& answers, link::EventPump& events,
                      int boardType, const std::function<void()>& goOffline);

} // namespace talvern::setup
