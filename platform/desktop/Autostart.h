#pragma once
// Starting the program with the desktop session: an XDG autostart entry
// <config home>/autostart/<name>.desktop whose Exec line runs the executable with " -TRAY".
// The config home is $XDG_CONFIG_HOME, or ~/.config when that is unset or not absolute.

#include <QString>

namespace platform {

class Autostart {
public:
    // `configHome` empty: the user's config home as above (tests pass a folder of their own).
    explicit Autostart(QString configHome = {});

    // Path of the entry for `valueName` ("noxQuivraCPL" -> .../autostart/noxQuivraCPL.desktop).
    QString EntryPath(const QString& valueName) const;

    // True when the entry exists. Any failure reads as false.
    bool IsAutoRun(const QString& valueName) const;

    // Writes the entry (creating the autostart folder when needed) or deletes it. Returns false,
    // with the reason in lastError(), when the file cannot be written or removed; nothing is
    // left half-written (the entry is replaced atomically).
    bool SetAutoRun(const QString& valueName, bool enable, const QString& executablePath);

    QString lastError() const { return lastError_; }

    // The Exec value for `executablePath` + " -TRAY": the path in double quotes with the
    // characters the desktop-entry format reserves escaped.
    static QString ExecLine(const QString& executablePath);

private:
    QString configHome_;
    QString lastError_;
};

} // namespace platform
