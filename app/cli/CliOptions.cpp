#include "CliOptions.h"

namespace cli {

bool ParseOptions(const QStringList& arguments, Options& o, QString& error) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const auto value = [&](QString& out) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("option %1 needs a value").arg(a);
                return false;
            }
            out = arguments[++i];
            return true;
        };
        if (a == QLatin1String("--simulate")) {
            o.simulate = true;
        } else if (a == QLatin1String("--json")) {
            o.json = true;
        } else if (a == QLatin1String("--verbose")) {
            o.verbose = true;
        } else if (a == QLatin1String("--config")) {
            if (!value(o.config))
                return false;
        } else if (a == QLatin1String("--sim-state")) {
            if (!value(o.simState))
                return false;
        } else if (a == QLatin1String("--sim-report-length")) {
            QString text;
            if (!value(text))
                return false;
            bool ok = false;
            o.simReportLength = text.toInt(&ok);
            if (!ok || o.simReportLength < 10 || o.simReportLength > 256) {
                error = QStringLiteral("--sim-report-length wants a number from 10 to 256, not %1")
                            .arg(text);
                return false;
            }
        } else if (a.startsWith(QLatin1String("--")) && o.command.isEmpty()) {
            error = QStringLiteral("unknown option %1").arg(a);
            return false;
        } else if (o.command.isEmpty()) {
            o.command = a;
        } else {
            o.args << a; // the command checks its own arguments (e.g. --raw, --keep)
        }
    }
    if (o.command.isEmpty()) {
        error = QStringLiteral("no command given (try: quivractl help)");
        return false;
    }
    return true;
}

QString UsageText() {
    return QStringLiteral(
        "usage: quivractl [options] COMMAND [ARGS]\n"
        "options:\n"
        "  --simulate               use simulated devices instead of the system's\n"
        "  --sim-state FILE         keep the simulated devices' memory in FILE between runs\n"
        "  --sim-report-length N    feature-report length of the simulated devices (10..256)\n"
        "  --config FILE            configuration file (default: the executable's path + .ini)\n"
        "  --json                   data as JSON\n"
        "  --verbose                diagnostic log lines to stderr\n"
        "commands:\n"
        "  list                     every HID device, with the tracker and the indicator marked\n"
        "  status                   both status lines and the tracker-on state\n"
        "  params [--raw]           read the parameter block (fields, or bytes 0-123 in hex)\n"
        "  set NAME=VALUE...        write parameters (as the parameters page does)\n"
        "  on | off [--keep]        tracker on; off with return to centre (--keep: keep value)\n"
        "  center | reset-center    set or reset the tracker's centre\n"
        "  led blue|red|ir on|off   one LED of the indicator; led off: all dark\n"
        "  histogram [--count N]    histogram value(s) of the tracker\n"
        "  clear-params             clear the tracker's parameters\n"
        "  restart tracker|indicator\n"
        "  boot tracker|indicator --yes   send the device to its bootloader\n"
        "exit status: 0 success, 1 device missing or exchange failed, 2 usage error\n");
}

} // namespace cli
