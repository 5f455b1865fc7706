#include "SetupCompare.h"

namespace talvern::setup {

namespace {

// Where a value lives in the record.
enum class Field { Parameter, Channels, Scale, Offset, Program, Compensation, OnPoint, OffPoint };

struct ValueSlot {
    Field field;
    int index; // parameter row or channel
};

struct ValueTable {
    std::vector<SetupValue> values;
    std::vector<ValueSlot> places;
};

const ValueTable& Table() {
    static const ValueTable table = [] {
        ValueTable t;
        auto add = [&t](QString address, QString name, Board board, bool downloaded,
                        ValueSlot slot) {
            t.values.push_back({std::move(address), std::move(name), board, downloaded});
            t.places.push_back(slot);
        };
        const auto& parameters = ParameterTable();
        auto addParameters = [&](Board board) {
            for (int i = 0; i <= gSetupMax; ++i) {
                const ParameterInfo& p = parameters[i];
                if (p.board != board || !p.downloadable) continue;
                add(QString::fromLatin1(p.address), QString::fromLatin1(p.reportLabel), p.board,
                    true, {Field::Parameter, i});
            }
        };
        addParameters(Board::K2510);
        const Board pls = Board::K2510;
        add(QStringLiteral("PLS"), QStringLiteral("Number of Channels"), pls, true,
            {Field::Channels, 0});
        add(QStringLiteral("PLS"), QStringLiteral("Scale Factor"), pls, true, {Field::Scale, 0});
        // The download leaves the offset alone: it is set from the position, on the PLS.
        add(QStringLiteral("PLS"), QStringLiteral("Offset"), pls, false, {Field::Offset, 0});
        add(QStringLiteral("PLS"), QStringLiteral("Program"), pls, true, {Field::Program, 0});
        for (int c = 0; c < 8; ++c)
            add(QStringLiteral("PLS CH0%1").arg(c), QStringLiteral("Speed Compensation (msec)"),
                pls, true, {Field::Compensation, c});
        for (int c = 0; c < 8; ++c) {
            add(QStringLiteral("PLS CH0%1").arg(c), QStringLiteral("ON Setpoint"), pls, true,
                {Field::OnPoint, c});
            add(QStringLiteral("PLS CH0%1").arg(c), QStringLiteral("OFF Setpoint"), pls, true,
                {Field::OffPoint, c});
        }
        addParameters(Board::R7520);
        return t;
    }();
    return table;
}

CompareRow Row(int item, const SetupData& open, std::optional<std::int32_t> other,
               const SetupData& factory) {
    return {item, ValueOf(open, item), other, ValueOf(factory, item)};
}

} // namespace

const std::vector<SetupValue>& SetupValues() {
    return Table().values;
}

std::int32_t ValueOf(const SetupData& s, int item) {
    const ValueSlot slot = Table().places.at(static_cast<std::size_t>(item));
    switch (slot.field) {
        case Field::Parameter:
            // A short record (an old file) lacks the value: it reads as 0, as the report prints it.
            return slot.index < static_cast<int>(s.ParamValue.size()) ? s.ParamValue[slot.index]
                                                                      : 0;
        case Field::Channels:
            return s.PLSCfg0;
        case Field::Scale:
            return s.PLSScale;
        case Field::Offset:
            return s.PLSOfs;
        case Field::Program:
            return s.PLSCfg1;
        case Field::Compensation:
            return s.PLSCfgRest[slot.index];
        case Field::OnPoint:
            return s.PLSSetpoint[slot.index][0];
        case Field::OffPoint:
            return s.PLSSetpoint[slot.index][1];
    }
    return 0;
}

int SetupComparison::differing() const {
    int n = 0;
    for (const CompareRow& r : rows)
        n += r.differs();
    return n;
}

int SetupComparison::unknown() const {
    int n = 0;
    for (const CompareRow& r : rows)
        n += r.unknown();
    return n;
}

QString SetupComparison::countText() const {
    const int total = static_cast<int>(rows.size());
    const int d = differing();
    QString text = total == 1 ? QStringLiteral("%1 of 1 value differs").arg(d)
                   : d == 1   ? QStringLiteral("1 of %1 values differs").arg(total)
                              : QStringLiteral("%1 of %2 values differ").arg(d).arg(total);
    const int u = unknown();
    if (u > 0)
        text += u == 1 ? QStringLiteral(", 1 could not be read")
                       : QStringLiteral(", %1 could not be read").arg(u);
    return text;
}

QString DifferenceLine(const CompareRow& row) {
    const SetupValue& v = SetupValues().at(static_cast<std::size_t>(row.item));
    return QStringLiteral("%1 %2: %3 -> %4")
        .arg(v.address, v.name, QString::number(row.open),
             row.other ? QString::number(*row.other) : QStringLiteral("unknown"));
}

QStringList SetupComparison::differenceLines() const {
    QStringList lines;
    for (const CompareRow& r : rows)
        if (r.differs() || r.unknown()) lines << DifferenceLine(r);
    return lines;
}

QString SetupComparison::tableText(const QString& openTitle, const QString& otherTitle) const {
    QString text = QStringLiteral("Value\t%1\t%2\tFactory\tDiffers\n").arg(openTitle, otherTitle);
    for (const CompareRow& r : rows) {
        const SetupValue& v = SetupValues().at(static_cast<std::size_t>(r.item));
        text += QStringLiteral("%1 %2\t%3\t%4\t%5\t%6\n")
                    .arg(v.address, v.name, QString::number(r.open),
                         r.other ? QString::number(*r.other) : QStringLiteral("unknown"),
                         QString::number(r.factory),
                         r.differs()   ? QStringLiteral("yes")
                         : r.unknown() ? QStringLiteral("?")
                                       : QString());
    }
    return text + countText() + QLatin1Char('\n');
}

SetupComparison CompareSetups(const SetupData& open, const SetupData& other,
                              const SetupData& factory) {
    SetupComparison c;
    const int n = static_cast<int>(SetupValues().size());
    for (int i = 0; i < n; ++i)
        c.rows.push_back(Row(i, open, ValueOf(other, i), factory));
    return c;
}

SetupComparison CompareWithBoard(const SetupData& open, const BoardReading& reading,
                                 const SetupData& factory) {
    SetupComparison c;
    c.failure = reading.failure;
    const auto& values = SetupValues();
    for (int i = 0; i < static_cast<int>(values.size()); ++i) {
        if (values[i].board != reading.board) continue;
        const std::optional<std::int32_t> other =
            i < static_cast<int>(reading.values.size()) ? reading.values[i] : std::nullopt;
        c.rows.push_back(Row(i, open, other, factory));
    }
    return c;
}

DownloadChanges ChangesOfDownload(const SetupData& open, const BoardReading& reading) {
    DownloadChanges changes;
    for (const CompareRow& r : CompareWithBoard(open, reading, open).rows) {
        if (!SetupValues()[r.item].downloaded) continue;
        changes.changing += r.differs();
        changes.unknown += r.unknown();
    }
    return changes;
}

QString DownloadChangesText(const DownloadChanges& c) {
    QString text = c.changing == 0 && c.unknown == 0
                       ? QStringLiteral("Nothing changes on the board: it holds every value of "
                                        "the set-up already.")
                   : c.changing == 1
                       ? QStringLiteral("1 value will change on the board.")
                       : QStringLiteral("%1 values will change on the board.").arg(c.changing);
    if (c.unknown > 0)
        text += c.unknown == 1
                    ? QStringLiteral(" 1 value could not be read from the board.")
                    : QStringLiteral(" %1 values could not be read from the board.").arg(c.unknown);
    return text;
}

} // namespace talvern::setup
