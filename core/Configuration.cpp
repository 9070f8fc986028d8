#include "core/Configuration.h"

#include <QDir>
#include <QFileInfo>

namespace core {

QString ChangeFileExt(const QString& path, const QString& ext) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return path.left(dot) + ext;
    return path + ext;
}

QString ExecutableFolder(const QString& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral("./");
    return executablePath.left(slash + 1);
}

QString ConfigFilePath(const QString& executablePath, const QStringList& arguments) {
    if (!arguments.isEmpty() && !arguments.front().startsWith(QLatin1Char('-')))
        return arguments.front();
    return ChangeFileExt(executablePath, QStringLiteral(".ini"));
}

bool HasDebugArgument(const QStringList& arguments) {
    for (const QString& a : arguments)
        if (a.toUpper() == QLatin1String("DEBUG"))
            return true;
    return false;
}

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool DataPathesFileExists(const QString& executablePath) {
    const QString wanted =
        QFileInfo(ChangeFileExt(executablePath, QStringLiteral(".Ini"))).fileName();
    const QString base = wanted.left(wanted.size() - 4); // without ".Ini"
    const QDir folder(ExecutableFolder(executablePath));
    const QStringList names = folder.entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString& name : names)
        if (name.size() == wanted.size() && name.startsWith(base) &&
            name.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace core
