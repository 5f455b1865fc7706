#pragma once
#include "RSComm.h"
#include "WireScope.h"

namespace talvern::link {

// Marks the link busy for the length of a public operation (and of its questions), so that
// timer-driven callers can skip a turn instead of entering the link.
class BusyScope {
public:
    explicit BusyScope(RSComm& link) : link_(link) { ++link_.busyDepth_; }
    ~BusyScope() { --link_.busyDepth_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    RSComm& link_;
};

// One public PLS command as LastTransactionFailed sees it: failed when any exchange needed a
// resend, any step failed on the wire, or the link has failed.
class TransactionScope {
public:
    explicit TransactionScope(RSComm& link) : link_(link), wire_(link, WireKind::PlsCommand) {
        link_.resends_ = 0;
        link_.outOfStep_ = 0;
        link_.trouble_ = false;
    }
    ~TransactionScope() {
        link_.lastFailed_ =
            link_.trouble_ || link_.resends_ > 0 || link_.outOfStep_ > 0 || link_.CommError;
        if (link_.lastFailed_) link_.ResetHandshake();
    }
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;

private:
    RSComm& link_;
    WireScope wire_; // ends after the verdict above is in
};

} // namespace talvern::link
