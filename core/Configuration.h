#pragma once
// Where the configuration file is and what the command line switches on.

#include <QString>
#include <QStringList>

namespace core {

// `path` with its extension (the part from the last "." of the file name) replaced by `ext`, or
// `ext` appended when the file name has none: "/opt/q/quivra-cc" + ".ini" ->
// "/opt/q/quivra-cc.ini".
QString ChangeFileExt(const QString& path, const QString& ext);

// The folder of `executablePath` with a trailing "/".
QString ExecutableFolder(const QString& executablePath);

// The configuration file: the first argument when there is one and it does not begin with "-";
// otherwise the executable's path with ".ini". `arguments` excludes the program name.
QString ConfigFilePath(const QString& executablePath, const QStringList& arguments);

// True when any argument equals "DEBUG" ignoring letter case (the first one included).
bool HasDebugArgument(const QStringList& arguments);

// True when a file named like the executable with the extension ".Ini" exists beside it. The
// name is compared ignoring the letter case of the extension, as the file systems the program
// was first made for do, so "quivra-cc.ini" counts. Only then are the "DataPathes" keys read.
bool DataPathesFileExists(const QString& executablePath);

// True when `path` names an existing file (not a folder).
bool FileExists(const QString& path);

} // namespace core
