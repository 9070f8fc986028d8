#pragma once
// The command line of quivractl:
//   quivractl [--simulate] [--sim-state FILE] [--sim-report-length N] [--config FILE] [--json]
//             [--verbose] COMMAND [ARGS...]
// Options may stand before or after the command.

#include <QString>
#include <QStringList>

namespace cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // a device is missing or an exchange failed
constexpr int kExitUsage = 2;

struct Options {
    bool simulate = false;
    QString simState;        // --sim-state FILE (implies nothing without --simulate)
    int simReportLength = 0; // 0: the simulator's default
    QString config;          // --config FILE
    bool json = false;
    bool verbose = false; // diagnostic log lines to stderr
    QString command;
    QStringList args; // the command's own arguments, options removed
};

// Parses `arguments` (without the program name). False with a one-line message in `error` on a
// usage error (unknown option, missing value, no command).
bool ParseOptions(const QStringList& arguments, Options& options, QString& error);

// The usage text.
QString UsageText();

} // namespace cli
