#include "CliOptions.h"

namespace talvern::app {

QString CliUsage() {
    return QStringLiteral(
        "usage: talvern-cli [options] COMMAND [ARGS]\n"
        "  --device PATH          serial device to open (a pseudo-terminal works); without "
        "it and --port,\n"
        "                         the device chosen in talvern's Comm Port dialog, else the "
        "settings file's port\n"
        "  --port N               port number 1..99 instead of the settings file's\n"
        "  --baud 9600|19200      speed instead of the settings file's\n"
        "  --simulate             the built-in simulated boards instead of a serial device\n"
        "  --board k2510|r7520    with --simulate: the board the cable is on at start (default "
        "k2510)\n"
        "  --trace FILE|-         log every byte: \"+S.mmm > HH\" sent, \"+S.mmm < HH\" received\n"
        "  --yes                  answer Yes to confirmation questions\n"
        "  --on-failure retry|cancel   answer to the link's Retry/Cancel questions when stdin is "
        "not a terminal\n"
        "\n"
        "  read ADDR...                  the value at each address, one line each (\"0\" on "
        "failure)\n"
        "  write ADDR VALUE              write a value\n"
        "  pls scale|offset|pos|rpm      a PLS value (\"-9999\" on failure)\n"
        "  pls set CH ON OFF [--clear]   program a channel with one setpoint pair\n"
        "  pls pulse CH ON OFF START     program a channel with a pulse train\n"
        "  pls clear CH                  clear a channel\n"
        "  pls recall CH                 print \"STATE POS\"\n"
        "  pls set-offset POS            make the present position read as POS\n"
        "  pls config                    the 19 uploaded configuration values\n"
        "  pls config-download SCALE V0 ... V23\n"
        "  board status                  board number, fault code and description, firmware "
        "revision,\n"
        "                                the program the board's ident names\n"
        "  board reset-faults            clear the fault and communication-error codes\n"
        "  board set-clock               set the board's clock to the computer's time and date\n"
        "  program check FILE.bxl        validate a program file set and show what it carries\n"
        "  program dump k2510|r7520 FILE.bxl\n"
        "                                dump the set into that board, once it is confirmed on "
        "the\n"
        "                                cable (--yes confirms)\n"
        "  program upload [k2510|r7520] FILE.bxl\n"
        "                                save the board's program into FILE's set\n"
        "  program verify [k2510|r7520] FILE.bxl\n"
        "                                compare the board's program with FILE's image\n"
        "  sdt new FILE                  write the factory defaults\n"
        "  sdt show FILE                 the set-up record as text\n"
        "  sdt diff A.sdt B.sdt          one line per value that differs (\"ADDR NAME: A -> B\");\n"
        "                                exit 0 nothing differs, 1 something does, 2 a file "
        "cannot be read\n"
        "  compare k2510|r7520 FILE.sdt  the file against that board on the cable, one line per "
        "value\n"
        "                                that differs; exit 0, 1, or 3 when a value could not be "
        "read\n"
        "  upload k2510|r7520 FILE.sdt   read that board's parameters (and the K2510's PLS)\n"
        "  download k2510|r7520 FILE.sdt write FILE's writable parameters (and PLS data)\n"
        "  export-shift FILE.sdt OUT.txt the shift data as text\n"
        "  log [--since YYYY-MM-DD] [--board k2510|r7520]\n"
        "                                the values written to the boards, oldest first (with\n"
        "                                --simulate: those written to the simulated boards)\n"
        "  signature acquire OUT.cfd     a servo signature from the R7520 (Ctrl+C cancels)\n"
        "  cfd show FILE.cfd             a cupfeed data file as the text export\n"
        "  cfd export FILE.cfd OUT.txt   the text export of a cupfeed data file\n"
        "  graph FILE.cfd OUT.png|OUT.pdf [--traces 0123] [--reference REF.cfd] [--tolerance PCT]\n"
        "                                the signature graph as on screen (PNG) or printed "
        "(PDF)\n"
        "  report FILE.sdt OUT.pdf       the printed set-up report of a set-up file\n"
        "  signature-report FILE.cfd OUT.pdf\n"
        "                                the printed signature data of a cupfeed data file\n"
        "\n"
        "exit status: 0 done, 1 refused or failed, 2 usage, 3 link failure\n");
}

std::optional<CliOptions> ParseCliOptions(const QStringList& args, QString* error) {
    CliOptions options;
    auto fail = [&](const QString& why) -> std::optional<CliOptions> {
        if (error) *error = why;
        return std::nullopt;
    };
    int i = 0;
    auto value = [&](const QString& option) -> std::optional<QString> {
        if (i + 1 >= args.size()) return std::nullopt;
        Q_UNUSED(option);
        return args.at(++i);
    };
    for (; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QLatin1String("--"))) break;
        if (a == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (a == QLatin1String("--yes")) {
            options.yes = true;
        } else if (a == QLatin1String("--device") || a == QLatin1String("--port") ||
                   a == QLatin1String("--baud") || a == QLatin1String("--board") ||
                   a == QLatin1String("--trace") || a == QLatin1String("--on-failure")) {
            const std::optional<QString> v = value(a);
            if (!v) return fail(a + QStringLiteral(" needs a value"));
            bool ok = false;
            if (a == QLatin1String("--device")) {
                options.device = *v;
            } else if (a == QLatin1String("--port")) {
                options.port = v->toInt(&ok);
                if (!ok || options.port < 1 || options.port > 99)
                    return fail(QStringLiteral("--port takes 1..99"));
            } else if (a == QLatin1String("--baud")) {
                options.baud = v->toInt(&ok);
                if (options.baud != 9600 && options.baud != 19200)
                    return fail(QStringLiteral("--baud takes 9600 or 19200"));
            } else if (a == QLatin1String("--board")) {
                options.board = v->toLower();
                if (options.board != QLatin1String("k2510") &&
                    options.board != QLatin1String("r7520"))
                    return fail(QStringLiteral("--board takes k2510 or r7520"));
            } else if (a == QLatin1String("--trace")) {
                options.trace = *v;
            } else {
                if (*v != QLatin1String("retry") && *v != QLatin1String("cancel"))
                    return fail(QStringLiteral("--on-failure takes retry or cancel"));
                options.retryOnFailure = *v == QLatin1String("retry");
            }
        } else if (a == QLatin1String("--help")) {
            return fail(QString());
        } else {
            return fail(QStringLiteral("unknown option ") + a);
        }
    }
    options.command = args.mid(i);
    if (options.command.isEmpty()) return fail(QStringLiteral("no command given"));
    return options;
}

} // namespace talvern::app
