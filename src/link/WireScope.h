#pragma once
#include "RSComm.h"

namespace talvern::link {

// One public operation of the link as its listener hears it: begun here, ended when the scope
// closes. Operations that call one another inside the link count once, as the outermost.
class WireScope {
public:
    WireScope(RSComm& link, WireKind kind, const QString& subject = {}, const QString& value = {})
        : link_(link), outer_(link.wireDepth_++ == 0 && link.observer_ != nullptr) {
        if (outer_) link_.observer_->transactionBegun(kind, subject, value, link_.clock_.now());
    }
    ~WireScope() {
        --link_.wireDepth_;
        if (outer_ && link_.observer_ != nullptr)
            link_.observer_->transactionEnded(value_, ended_ ? failed_ : link_.lastFailed_,
                                              link_.clock_.now());
    }
    // What the operation gave and whether it failed; without it, the link's LastTransactionFailed
    // at the end decides.
    void End(const QString& value, bool failed) {
        if (!outer_) return;
        value_ = value;
        failed_ = failed;
        ended_ = true;
    }
    WireScope(const WireScope&) = delete;
    WireScope& operator=(const WireScope&) = delete;

private:
    RSComm& link_;
    bool outer_;
    bool ended_ = false;
    bool failed_ = false;
    QString value_;
};

} // namespace talvern::link
