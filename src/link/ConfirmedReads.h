#pragma once
// A block of addresses read so that every value it gives is confirmed, at the wire's pace: a
// first pass reads each address once, a second pass (begun with a fresh handshake) reads each
// again, and a value counts when both readings are good and alike. Only the values that differ
// or failed are read again, each round after a fresh handshake (on a quiet line after a failed
// reading), until two readings agree; a live value that keeps moving gives the middle of three
// readings. A value that failed three times, or a link failure, ends the block with the address
// named.
//
// A step machine, one reading a step, so that a transfer stays one link transaction a step.

#include "RSComm.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace talvern::link {

class ConfirmedReads {
public:
    ConfirmedReads(RSComm& link, const QStringList& addresses);

    // Takes the next reading; false once the block has ended (confirmed or failed).
    bool step();
    void runToEnd();
    bool finished() const { return stage_ == Stage::Done; }
    // The address whose value could not be had; empty while running or when all were confirmed.
    const QString& failedAddress() const { return failedAddress_; }
    bool failed() const { return !failedAddress_.isEmpty(); }
    bool confirmed() const { return finished() && !failed(); }

    int size() const { return static_cast<int>(items_.size()); }
    const QString& address(int i) const { return items_.at(i).address; }
    // The confirmed value of address i; only once confirmed().
    qint64 value(int i) const { return *items_.at(i).value; }

    // How many addresses the first pass has read (those before it get their first reading).
    int firstPassRead() const { return stage_ == Stage::First ? next_ : size(); }
    // Ends the block after its first n addresses, which the first pass has read: the rest is
    // never read (a cancelled transfer keeps what it has, confirmed).
    void truncate(int n);

    // Readings taken so far, against the two every value needs at least.
    long readingsTaken() const { return taken_; }
    // The address the last reading was of (-1 before the first).
    int lastRead() const { return last_; }
    long readingsNeeded() const { return 2L * size(); }

private:
    struct Item {
        QString address;
        std::vector<qint64> readings;
        int failures = 0;
        std::optional<qint64> value;
    };
    enum class Stage { First, Second, Again, Done };

    // One reading of item i; false when the block failed.
    bool read(int i);
    void settle(Item& item);
    void startRound();

    RSComm& link_;
    std::vector<Item> items_;
    Stage stage_ = Stage::First;
    int next_ = 0;           // position in the pass, or in round_
    std::vector<int> round_; // the items read again in this round
    long taken_ = 0;
    int last_ = -1;
    QString failedAddress_;
};

} // namespace talvern::link
