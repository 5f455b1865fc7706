#include "OnlineState.h"

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
        bool ok = false;
        const int board = link.RSRead(QStringLiteral("B698")).toInt(&ok);
        if (ok && board == boardType) return true;
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
        events.processPendingEvents();
        const link::Answer answer =
            answers.ask(prompt, k2510 ? QStringLiteral("TMGPROG") : QStringLiteral("MOTPROG"),
                        link::Buttons::RetryCancel, link::Icon::Critical);
        if (answer != link::Answer::Retry) {
            link.OnlineMode = false;
            if (goOffline) goOffline();
            return false;
        }
    }
}

} // namespace talvern::setup
