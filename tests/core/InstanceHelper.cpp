// A stand-in program for the single-instance tests: claims NAME in FOLDER and prints its role.
// The first instance then waits (up to the given milliseconds) for a hand-over and prints
// "handover" when one arrives.
#include "core/SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4)
        return 2;
    core::SingleInstance instance(args[1], args[2]);
    const core::SingleInstance::Role role = instance.Claim();
    switch (role) {
    case core::SingleInstance::Role::First:
        std::puts("first");
        break;
    case core::SingleInstance::Role::Second:
        std::puts("second");
        std::fflush(stdout);
        return 0;
    case core::SingleInstance::Role::Failed:
        std::printf("failed %s\n", instance.errorString().toUtf8().constData());
        return 1;
    }
    std::fflush(stdout);
    QObject::connect(&instance, &core::SingleInstance::handOverRequested, [] {
        std::puts("handover");
        std::fflush(stdout);
    });
    QTimer::singleShot(args[3].toInt(), &app, &QCoreApplication::quit);
    return app.exec();
}
