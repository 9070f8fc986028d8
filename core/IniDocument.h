#pragma once
// An INI document held in memory: read, change, write back. Used for the configuration file,
// the profiles and the language files.
//
// Semantics, chosen so that files written by older tools keep working and nothing in them gets
// lost:
// - section and key names are compared ignoring letter case; the first spelling is kept;
// - a line "key=value" splits at the first "="; blanks around key and value are trimmed;
// - lines beginning with ";" and blank lines are dropped (and so not written back);
// - every other line is kept in its place: unknown keys, duplicate keys (reads see the first),
//   lines without "=" (kept verbatim), lines before the first section header;
// - a section header that appears twice continues the first section;
// - new sections and keys are appended at the end (of the file, of their section);
// - the encoding is detected and kept on save: UTF-8 (with or without BOM), UTF-16LE with BOM,
//   otherwise (not valid UTF-8, no BOM) windows-1251; the line ending style is kept too.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace core {

// Parses an integer as the configuration and profile readers do: optional sign, then decimal,
// "$" hexadecimal or "0x"/"0X" hexadecimal. Hexadecimal takes up to 8 digits and wraps into
// 32 bits ("$FFFFFFFF" is -1); decimal must fit 32 bits. Blanks around the text are ignored.
// Returns nothing for anything else (empty text, stray characters, out of range).
std::optional<int> ParseIniInteger(const QString& text);

class IniDocument {
public:
    enum class Encoding { Utf8, Utf8Bom, Utf16LE, Windows1251 };

    IniDocument() = default;

    // Reads `path`. Returns false with a message in `error` (path and reason) when the file
    // cannot be read; the document is then empty. A file that is not INI-shaped still loads:
    // its lines are kept as described above.
    bool LoadFile(const QString& path, QString* error = nullptr);
    // Parses bytes of a file (encoding detected as above).
    void LoadFromBytes(const QByteArray& bytes);

    // Writes the document to `path` atomically (a temporary file renamed over the old one) in
    // the document's encoding. Returns false with a message in `error` when it cannot.
    bool SaveFile(const QString& path, QString* error = nullptr) const;
    QByteArray ToBytes() const;

    // The path given to the last LoadFile or SaveFile, or set here.
    QString FileName() const { return fileName_; }
    void SetFileName(const QString& path) { fileName_ = path; }

    Encoding FileEncoding() const { return encoding_; }
    void SetFileEncoding(Encoding encoding) { encoding_ = encoding; }

    // Reading. A missing section or key gives the default.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // The value parsed by ParseIniInteger; the default when missing or not parsable.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // ReadInteger(section, key, def ? 1 : 0) != 0.
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // Section names in file order (the unnamed lines before the first header are not listed).
    QStringList Sections() const;
    // Key names of a section in order (verbatim lines without "=" are not listed).
    QStringList SectionKeys(const QString& section) const;

    // Writing. Changes the first matching key in place, or appends the key to its section, or
    // appends a new section at the end.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // Writes "1" or "0".
    void WriteBool(const QString& section, const QString& key, bool value);
    // Removes a whole section / every entry of one key. Missing ones are ignored.
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);
    void Clear();

private:
    struct Entry {
        QString key;   // empty for a verbatim line
        QString value; // the value, or the verbatim line
        bool verbatim = false;
    };
    struct Section {
        QString name;
        bool unnamed = false; // lines before the first header
        std::vector<Entry> entries;
    };

    const Section* find(const QString& section) const;
    Section* find(const QString& section);
    static const Entry* findKey(const Section& s, const QString& key);

    std::vector<Section> sections_;
    QString fileName_;
    Encoding encoding_ = Encoding::Utf8;
    bool crlf_ = false;
};

} // namespace core
