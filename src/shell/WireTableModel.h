#pragma once
// The wire monitor's list: the transactions of a WireLog that pass the filter, newest last. It
// holds only their numbers; what a row shows is read from the log when the row is painted.

#include "WireLog.h"

#include <QAbstractTableModel>
#include <deque>
#include <functional>
#include <optional>

namespace talvern::shell {

class WireTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Board, Kind, Address, Name, Value, Outcome, Bytes, ColumnCount };
    // The name of the parameter at an address on a board (number as B698 holds it), or "".
    using Names = std::function<QString(const QString& address, int board)>;

    WireTableModel(const link::WireLog& log, Names names, QObject* parent = nullptr);

    // Takes the transactions logged since the last call (after dropOld).
    void follow();
    // Lets go of the oldest rows before the log drops them, a thousand at a time, so that the
    // whole list moves only now and then.
    void dropOld();
    // Empties the list; only what is logged from now on is taken.
    void clear();
    // Rows whose address or name contains the text (any case), of the kind (none: every kind).
    void setFilter(const QString& address, std::optional<link::WireKind> kind);
    // The transaction a row shows; nothing once the log has dropped it (before the list's next
    // look).
    const link::WireTransaction* transaction(int row) const {
        return rows_[row] < log_.first() ? nullptr : &log_.at(rows_[row]);
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool passes(const link::WireTransaction& t) const;

    const link::WireLog& log_;
    Names names_;
    std::deque<std::uint64_t> rows_;
    std::uint64_t from_ = 0;  // the first number the list may hold (after a clear)
    std::uint64_t taken_ = 0; // one past the last number looked at
    QString address_;
    std::optional<link::WireKind> kind_;
};

} // namespace talvern::shell
