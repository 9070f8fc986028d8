// quivractl: the control centre's command set from the command line.
#include "CliCommands.h"
#include "CliOptions.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quivractl"));

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QLatin1String("help")) || arguments.contains(QLatin1String("--help")) ||
        arguments.contains(QLatin1String("-h"))) {
        std::fputs(cli::UsageText().toUtf8().constData(), stdout);
        return cli::kExitOk;
    }
    cli::Options options;
    QString error;
    if (!cli::ParseOptions(arguments, options, error) || !cli::CheckCommand(options, error)) {
        std::fprintf(stderr, "quivractl: %s\n", error.toUtf8().constData());
        return cli::kExitUsage;
    }
    return cli::Run(options);
}
