#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

QString DefaultConfigHome() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        return xdg;
    }
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

Autostart::Autostart(QString configHome)
    : configHome_(configHome.isEmpty() ? DefaultConfigHome() : std::move(configHome)) {}

QString Autostart::EntryPath(const QString& valueName) const {
    return configHome_ + QStringLiteral("/autostart/") + valueName + QStringLiteral(".desktop");
}

bool Autostart::IsAutoRun(const QString& valueName) const {
    return QFileInfo(EntryPath(valueName)).isFile();
}

QString Autostart::ExecLine(const QString& executablePath) {
    // Inside double quotes the format wants ", `, $ and \ escaped with a backslash; a literal %
    // is written %%. The value as a whole is a string, whose own escaping doubles each
    // backslash once more.
    QString quoted;
    for (const QChar c : executablePath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
        }
        if (c == u'%') {
            quoted += u'%';
        }
        quoted += c;
    }
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    return u'"' + quoted + QStringLiteral("\" -TRAY");
}

bool Autostart::SetAutoRun(const QString& valueName, bool enable, const QString& executablePath) {
    lastError_.clear();
    const QString path = EntryPath(valueName);
    if (!enable) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            lastError_ = QStringLiteral("%1: %2").arg(path, file.errorString());
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        lastError_ = QStringLiteral("%1: cannot create the folder").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        lastError_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Quivra Control Center\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(ExecLine(executablePath));
    file.write(entry.toUtf8());
    if (!file.commit()) {
        lastError_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace platform
