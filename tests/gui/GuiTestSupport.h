#pragma once
// Helpers of the GUI tests: bounded waits that keep the event loop running, a guard that answers
// modal message boxes, the whole program started in-process against the simulated devices, and
// screenshots saved as test artifacts.

#include "ui/QuivraApp.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

namespace guitest {

// Runs the event loop until `done` holds or `timeoutMs` passed; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Runs the event loop for `ms`.
void Pump(int ms);

// While it lives, every modal dialog that opens is closed with its default button a moment
// later; the texts of the message boxes it closed are kept.
class ModalAnswerer {
public:
    ModalAnswerer();
    ~ModalAnswerer();
    QStringList texts;

private:
    QTimer timer_;
};

// A folder that looks like an installation: "<dir>/quivra-cc" (the executable path the core
// derives its configuration from) and "<dir>/quivra-cc.ini".
class InstallFolder {
public:
    // `config` is the configuration text; empty: the sample configuration of the repository.
    explicit InstallFolder(const QString& config = {});
    QString ExecutablePath() const { return dir_.filePath(QStringLiteral("quivra-cc")); }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// The program started in-process with the simulated devices and no single-instance check.
struct RunningApp {
    std::unique_ptr<InstallFolder> folder;
    std::unique_ptr<TQuivraApp> app;
};
RunningApp StartApp(TStartOptions options = {}, const QString& config = {});

// The sample configuration with other parameter-read settings (attempts, pause in ms).
QString ConfigWithReadSettings(int count, int intervalMs);

// Saves `widget`'s picture as <build>/gui-artifacts/<name>.png; returns the path (empty on
// failure).
QString SaveScreenshot(class QWidget& widget, const QString& name);

} // namespace guitest
