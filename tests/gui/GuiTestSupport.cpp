#include "GuiTestSupport.h"

#include "platform/desktop/GlobalHotkeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QThread>
#include <QWidget>

namespace guitest {

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return done();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void Pump(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

ModalAnswerer::ModalAnswerer() {
    timer_.setInterval(30);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts.append(box->text());
            box->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->accept();
        }
    });
    timer_.start();
}

ModalAnswerer::~ModalAnswerer() {
    timer_.stop();
}

InstallFolder::InstallFolder(const QString& config) {
    QString text = config;
    if (text.isEmpty()) {
        QFile sample(QStringLiteral(QCC_SAMPLE_CONFIG));
        if (sample.open(QIODevice::ReadOnly)) {
            text = QString::fromUtf8(sample.readAll());
        }
    }
    QFile ini(dir_.filePath(QStringLiteral("quivra-cc.ini")));
    if (ini.open(QIODevice::WriteOnly)) {
        ini.write(text.toUtf8());
    }
    QDir(dir_.path()).mkdir(QStringLiteral("Images"));
    QDir(dir_.path()).mkdir(QStringLiteral("Profiles"));
}

QString ConfigWithReadSettings(int count, int intervalMs) {
    return QStringLiteral("[Dest]\nVID=0x1209\nPID=0xA7B1\nFmwVer=01.02\nBootButton=1\n"
                          "[Source]\nVID=0x1209\nPID=0xA7B2\nFmwVer=01.02\nBootButton=1\n"
                          "[HID_Read]\nInterval=%1\nCount=%2\n")
        .arg(intervalMs)
        .arg(count);
}

RunningApp StartApp(TStartOptions options, const QString& config) {
    RunningApp running;
    running.folder = std::make_unique<InstallFolder>(config);
    options.ExecutablePath = running.folder->ExecutablePath();
    options.Simulate = true;
    options.SingleInstance = false;
    if (!options.HotkeysFactory) {
        options.HotkeysFactory = [] {
            return platform::CreateNullGlobalHotkeys(QStringLiteral("not used by this test"));
        };
    }
    running.app = std::make_unique<TQuivraApp>(std::move(options));
    running.app->Start();
    return running;
}

QString SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(QCC_ARTIFACT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget.grab().save(path, "PNG") ? path : QString();
}

} // namespace guitest
