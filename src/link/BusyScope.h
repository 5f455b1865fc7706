#pragma once
#include "RSComm.h"

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

} // namespace talvern::link
