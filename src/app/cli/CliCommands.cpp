#include "CliCommands.h"

#include <array>

namespace talvern::app {

bool CliContext::ensureOnline() {
    if (link.OnlineMode) return true;
    if (link.CommError) return false;
    link.OnlineMode = true;
    link.OpenRSComm(line);
    return link.OnlineMode;
}

void CliContext::print(const QString& text) const {
    std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
    std::fflush(out);
}

void CliContext::complain(const QString& text) const {
    std::fprintf(err, "%s\n", text.toLocal8Bit().constData());
    std::fflush(err);
}

void CliContext::tell(const QString& title, const QString& text) const {
    answers.ask(text, title, link::Buttons::Ok, link::Icon::Exclamation);
}

namespace {

std::optional<int> Number(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < -32768 || n > 32767) return std::nullopt;
    return n;
}

// Parses every word as a 16-bit number; false on the first that is not one.
bool Numbers(CliContext& c, const QStringList& words, std::vector<std::int16_t>* values) {
    for (const QString& w : words) {
        const std::optional<int> n = Number(w);
        if (!n) {
            c.complain(QStringLiteral("not a number: ") + w);
            return false;
        }
        values->push_back(static_cast<std::int16_t>(*n));
    }
    return true;
}

int Read(CliContext& c, const QStringList& args) {
    if (args.isEmpty()) return kUsage;
    if (!c.ensureOnline()) return kLinkFailure;
    for (const QString& add : args)
        c.print(c.link.RSRead(add));
    return kDone;
}

int Write(CliContext& c, const QStringList& args) {
    if (args.size() != 2) return kUsage;
    if (!c.ensureOnline()) return kLinkFailure;
    // The change log names the board and the value the write replaces.
    if (c.changes) {
        c.link.RSRead(QStringLiteral("B698"));
        c.link.RSRead(args.at(0));
    }
    const qsizetype before = c.answers.titles.size();
    c.link.RSWrite(args.at(0), args.at(1));
    return c.answers.titles.mid(before).contains(QStringLiteral("ENTRY ALERT")) ? kFailed : kDone;
}

int Pls(CliContext& c, const QStringList& args) {
    if (args.isEmpty()) return kUsage;
    const QString sub = args.at(0);
    QStringList rest = args.mid(1);
    const bool clear = sub == QLatin1String("set") && rest.removeAll(QStringLiteral("--clear")) > 0;
    std::vector<std::int16_t> n;
    if (!Numbers(c, rest, &n)) return kUsage;
    auto online = [&] { return c.ensureOnline(); };
    auto result = [](bool ok) { return ok ? kDone : kFailed; };

    if (sub == QLatin1String("scale") || sub == QLatin1String("offset") ||
        sub == QLatin1String("pos") || sub == QLatin1String("rpm")) {
        if (!rest.isEmpty()) return kUsage;
        if (!online()) return kLinkFailure;
        const QString value = sub == QLatin1String("scale")    ? c.link.PLSScaleFactor()
                              : sub == QLatin1String("offset") ? c.link.PLSOffset()
                              : sub == QLatin1String("pos")    ? c.link.PLSPos()
                                                               : c.link.PLSRpm();
        c.print(value);
        return value == QLatin1String("-9999") ? kFailed : kDone;
    }
    if (sub == QLatin1String("set")) {
        if (n.size() != 3) return kUsage;
        if (!online()) return kLinkFailure;
        return result(c.link.SingleSetpoint(n[0], n[1], n[2], clear));
    }
    if (sub == QLatin1String("pulse")) {
        if (n.size() != 4) return kUsage;
        if (!online()) return kLinkFailure;
        return result(c.link.PulseTrain(n[0], n[1], n[2], n[3]));
    }
    if (sub == QLatin1String("clear")) {
        if (n.size() != 1) return kUsage;
        if (!online()) return kLinkFailure;
        return result(c.link.ClearPLSChan(n[0]));
    }
    if (sub == QLatin1String("recall")) {
        if (n.size() != 1) return kUsage;
        if (!online()) return kLinkFailure;
        const bool ok = c.link.RecallChannel(n[0]);
        c.print(QStringLiteral("%1 %2")
                    .arg(c.link.ChannelRecallState())
                    .arg(c.link.ChannelRecallPos()));
        return result(ok);
    }
    if (sub == QLatin1String("set-offset")) {
        if (n.size() != 1) return kUsage;
        if (!online()) return kLinkFailure;
        return result(c.link.SetPLSOffset(n[0]));
    }
    if (sub == QLatin1String("config")) {
        if (!rest.isEmpty()) return kUsage;
        if (!online()) return kLinkFailure;
        const auto config = c.link.PLSConfigUpload();
        QStringList words;
        for (std::int16_t v : config)
            words << QString::number(v);
        c.print(words.join(QLatin1Char(' ')));
        return c.link.CommError ? kLinkFailure : kDone;
    }
    if (sub == QLatin1String("config-download")) {
        if (n.size() != 25) return kUsage;
        if (!online()) return kLinkFailure;
        std::array<std::int16_t, 24> cfg{};
        for (int i = 0; i < 24; ++i)
            cfg[i] = n[i + 1];
        return result(c.link.PLSConfigDownload(cfg, n[0]));
    }
    return kUsage;
}

int BoardCommand(CliContext& c, const QStringList& args) {
    if (args != QStringList{QStringLiteral("status")}) return kUsage;
    if (!c.ensureOnline()) return kLinkFailure;
    const QString board = c.link.RSRead(QStringLiteral("B698"));
    const QString name = board == QLatin1String("1")   ? QStringLiteral(" (K2510)")
                         : board == QLatin1String("3") ? QStringLiteral(" (R7520)")
                                                       : QString();
    c.print(QStringLiteral("Board: ") + board + name);
    const std::int16_t fault = c.link.FaultCode();
    c.print(QStringLiteral("Fault: ") + c.link.FaultDescription(fault));
    c.print(QStringLiteral("Firmware revision: %1").arg(c.link.FirmwareRev()));
    return kDone;
}

} // namespace

void AddLinkCommands(CliCommandTable& table) {
    table[QStringLiteral("read")] = Read;
    table[QStringLiteral("write")] = Write;
    table[QStringLiteral("pls")] = Pls;
    table[QStringLiteral("board")] = BoardCommand;
}

CliCommandTable AllCliCommands() {
    CliCommandTable table;
    AddLinkCommands(table);
    AddSetupFileCommands(table);
    AddSignatureCommands(table);
    AddProgramCommands(table);
    AddCompareCommands(table);
    return table;
}

int RunCliCommand(CliContext& context, const QStringList& command) {
    const CliCommandTable table = AllCliCommands();
    const auto it = command.isEmpty() ? table.end() : table.find(command.at(0));
    if (it == table.end()) return kUsage;
    // Every value the command writes is logged as the command's.
    QString source = QStringLiteral("talvern-cli ") + command.at(0);
    if ((command.at(0) == QLatin1String("pls") || command.at(0) == QLatin1String("board")) &&
        command.size() > 1)
        source += QLatin1Char(' ') + command.at(1);
    setup::ChangeSource changes(context.changes, source);
    const int status = it->second(context, command.mid(1));
    if (status == kUsage) return kUsage;
    return context.link.CommError ? kLinkFailure : status;
}

} // namespace talvern::app
