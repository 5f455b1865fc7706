#include "WireTableModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

namespace talvern::shell {

WireTableModel::WireTableModel(const link::WireLog& log, Names names, QObject* parent)
    : QAbstractTableModel(parent), log_(log), names_(std::move(names)), from_(log.first()),
      taken_(log.first()) {}

void WireTableModel::dropOld() {
    constexpr std::uint64_t kMargin = 500, kBatch = 1000;
    if (rows_.empty() || rows_.front() >= log_.first() + kMargin) return;
    const std::uint64_t first = std::max(log_.first() + kMargin + kBatch, from_);
    const auto kept = std::lower_bound(rows_.begin(), rows_.end(), first);
    beginRemoveRows({}, 0, static_cast<int>(kept - rows_.begin()) - 1);
    rows_.erase(rows_.begin(), kept);
    endRemoveRows();
}

void WireTableModel::follow() {
    dropOld();
    std::vector<std::uint64_t> fresh;
    for (std::uint64_t n = std::max({taken_, log_.first(), from_}); n < log_.end(); ++n)
        if (passes(log_.at(n))) fresh.push_back(n);
    taken_ = log_.end();
    if (fresh.empty()) return;
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at + static_cast<int>(fresh.size()) - 1);
    rows_.insert(rows_.end(), fresh.begin(), fresh.end());
    endInsertRows();
}

void WireTableModel::clear() {
    beginResetModel();
    rows_.clear();
    from_ = taken_ = log_.end();
    endResetModel();
}

void WireTableModel::setFilter(const QString& address, std::optional<link::WireKind> kind) {
    beginResetModel();
    address_ = address.trimmed();
    kind_ = kind;
    rows_.clear();
    // What was already taken is looked at again under the new filter; the rest comes by follow.
    for (std::uint64_t n = std::max(log_.first(), from_); n < taken_; ++n)
        if (passes(log_.at(n))) rows_.push_back(n);
    endResetModel();
}

bool WireTableModel::passes(const link::WireTransaction& t) const {
    if (kind_ && t.kind != *kind_) return false;
    if (address_.isEmpty()) return true;
    return t.subject.contains(address_, Qt::CaseInsensitive) ||
           (names_ && names_(t.subject, t.board).contains(address_, Qt::CaseInsensitive));
}

int WireTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int WireTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant WireTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || !transaction(index.row())) return {};
    const link::WireTransaction& t = *transaction(index.row());
    if (role == Qt::ForegroundRole) {
        if (link::IsFailure(t.outcome)) return QBrush(QColor(0xb0, 0, 0));
        if (t.outcome == link::WireOutcome::Retried) return QBrush(QColor(0xa0, 0x60, 0));
        return {};
    }
    if (role == Qt::ToolTipRole) return link::RawBytesText(t);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case Time:
            return QString::number(static_cast<qint64>(t.startedAt * 1000.0));
        case Board:
            return link::BoardText(t.board);
        case Kind:
            return link::KindText(t.kind);
        case Address:
            return t.subject;
        case Name:
            return names_ ? names_(t.subject, t.board) : QString();
        case Value:
            // A read that gave nothing shows what a screen shows for it.
            return t.value.isEmpty() && t.kind == link::WireKind::Read ? QStringLiteral("-")
                                                                       : t.value;
        case Outcome:
            return link::OutcomeText(t.outcome);
        case Bytes:
            return link::RawBytesText(t);
    }
    return {};
}

QVariant WireTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[ColumnCount] = {"Time (ms)", "Board", "Kind",    "Address",
                                                     "Name",      "Value", "Outcome", "Bytes"};
    return QString::fromLatin1(kTitles[section]);
}

} // namespace talvern::shell
