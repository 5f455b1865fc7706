#include "OnlineState.h"

#include "BusyScope.h"
#include "VerifiedTransfer.h"

namespace talvern::setup {

void UpdateOnlineState(link::RSComm& link, link::SerialLine& port, OnlineStateView* view) {
    if (link.OnlineMode)
        link.OpenRSComm(port);
    else
        link.CloseRSComm();
    if (link.CommError) link.OnlineMode = false;
    if (view) view->showOnlineState(link.OnlineMode);
}

bool CheckTargetBoard(link::RSComm& link, link::UserAnswers& answers, link::EventPump& events,
                      int boardType, const std::function<void()>& goOffline) {
    for (;;) {
        const QString address = QString::fromLatin1(kBoardTypeAddress);
        std::optional<QString> board = link::ReadOnce(link, address);
        // A failed or disturbed reading is no reason to ask for the cable to be moved: any
        // other answer is confirmed first.
        if (!(board && board->toInt() == boardType) && !link.CommError)
            board = link::ReadVerified(link, address);
        if (board && board->toInt() == boardType) return true;
        if (link.CommError) {
            // The link has failed and said so; until it is opened again every read gives "0",
            // so asking to move the cable would only loop. Go offline instead.
            link.OnlineMode = false;
            if (goOffline) goOffline();
            return false;
        }
        const bool k2510 = boardType == 1;
        const QString prompt =
            k2510 ? QStringLiteral("Connect to PROG PORT on K2510 and\r\nPress RETRY to Continue")
                  : QStringLiteral("Connect to MOTION PORT on R7520 (slot-01) and\r\n"
                                   "Press RETRY to Continue");
        link::Answer answer;
        {
            // While the engineer moves the cable the link is as busy as during its own
            // questions: the background poll and every refresh cycle hold instead of reading
            // from a cable that may be out.
            link::BusyScope asking(link);
            events.processPendingEvents();
            answer =
                answers.ask(prompt, k2510 ? QStringLiteral("TMGPROG") : QStringLiteral("MOTPROG"),
                            link::Buttons::RetryCancel, link::Icon::Critical);
        }
        if (answer != link::Answer::Retry) {
            link.OnlineMode = false;
            if (goOffline) goOffline();
            return false;
        }
        // The board now on the cable has never seen our handshake; what it makes of a bare
        // address byte is its own business, so the next read hand-shakes afresh.
        link.ResetHandshake();
    }
}

} // namespace talvern::setup
