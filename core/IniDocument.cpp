#include "core/IniDocument.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <limits>

namespace core {

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

std::optional<int> ParseDigits(QStringView digits, int base, bool negative) {
    if (digits.isEmpty())
        return std::nullopt;
    if (base == 16) {
        if (digits.size() > 8)
            return std::nullopt;
        // Qt's conversion would also take a second "0x", a sign or blanks here.
        for (QChar c : digits)
            if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
                return std::nullopt;
        bool ok = false;
        const quint32 v = digits.toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        const auto s = static_cast<int32_t>(v);
        return negative ? static_cast<int>(0u - static_cast<uint32_t>(s)) : s;
    }
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const qlonglong v = digits.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    const qlonglong signedValue = negative ? -v : v;
    if (signedValue < std::numeric_limits<int>::min() ||
        signedValue > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(signedValue);
}

} // namespace

std::optional<int> ParseIniInteger(const QString& text) {
    QStringView s = QStringView(text).trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    if (s.startsWith(u'$'))
        return ParseDigits(s.mid(1), 16, negative);
    if (s.startsWith(u"0x") || s.startsWith(u"0X"))
        return ParseDigits(s.mid(2), 16, negative);
    return ParseDigits(s, 10, negative);
}

bool IniDocument::LoadFile(const QString& path, QString* error) {
    fileName_ = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Clear();
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    LoadFromBytes(file.readAll());
    return true;
}

void IniDocument::LoadFromBytes(const QByteArray& bytes) {
    Clear();
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding_ = Encoding::Utf8Bom;
        text = QString::fromUtf8(bytes.mid(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        encoding_ = Encoding::Utf16LE;
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        text = decoder.decode(bytes.mid(2));
    } else if (IsValidUtf8(bytes)) {
        encoding_ = Encoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        encoding_ = Encoding::Windows1251;
        QStringDecoder decoder("windows-1251");
        text = decoder.isValid() ? QString(decoder.decode(bytes)) : QString::fromLatin1(bytes);
    }
    crlf_ = text.contains(QStringLiteral("\r\n"));

    Section* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            current = find(name);
            if (!current) {
                sections_.push_back(Section{name, false, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current) {
            sections_.insert(sections_.begin(), Section{QString(), true, {}});
            current = &sections_.front();
        }
        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            // No key: kept as it stands so that nothing of the file gets lost.
            current->entries.push_back(Entry{QString(), trimmed, true});
            continue;
        }
        current->entries.push_back(
            Entry{trimmed.left(eq).trimmed(), trimmed.mid(eq + 1).trimmed(), false});
    }
}

QByteArray IniDocument::ToBytes() const {
    const QString eol = crlf_ ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const Section& s : sections_) {
        if (!s.unnamed)
            text += QLatin1Char('[') + s.name + QLatin1Char(']') + eol;
        for (const Entry& e : s.entries)
            text += (e.verbatim ? e.value : e.key + QLatin1Char('=') + e.value) + eol;
    }
    switch (encoding_) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Utf16LE: {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
    }
    case Encoding::Windows1251: {
        QStringEncoder encoder("windows-1251");
        if (encoder.isValid())
            return encoder.encode(text);
        return text.toLatin1();
    }
    }
    return text.toUtf8();
}

bool IniDocument::SaveFile(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = ToBytes();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

const IniDocument::Section* IniDocument::find(const QString& section) const {
    for (const Section& s : sections_)
        if (!s.unnamed && SameName(s.name, section))
            return &s;
    return nullptr;
}

IniDocument::Section* IniDocument::find(const QString& section) {
    for (Section& s : sections_)
        if (!s.unnamed && SameName(s.name, section))
            return &s;
    return nullptr;
}

const IniDocument::Entry* IniDocument::findKey(const Section& s, const QString& key) {
    for (const Entry& e : s.entries)
        if (!e.verbatim && SameName(e.key, key))
            return &e;
    return nullptr;
}

QString IniDocument::ReadString(const QString& section, const QString& key,
                                const QString& def) const {
    const Section* s = find(section);
    if (!s)
        return def;
    const Entry* e = findKey(*s, key);
    return e ? e->value : def;
}

int IniDocument::ReadInteger(const QString& section, const QString& key, int def) const {
    const Section* s = find(section);
    const Entry* e = s ? findKey(*s, key) : nullptr;
    if (!e)
        return def;
    return ParseIniInteger(e->value).value_or(def);
}

bool IniDocument::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniDocument::SectionExists(const QString& section) const {
    return find(section) != nullptr;
}

bool IniDocument::ValueExists(const QString& section, const QString& key) const {
    const Section* s = find(section);
    return s && findKey(*s, key);
}

QStringList IniDocument::Sections() const {
    QStringList names;
    for (const Section& s : sections_)
        if (!s.unnamed)
            names << s.name;
    return names;
}

QStringList IniDocument::SectionKeys(const QString& section) const {
    QStringList keys;
    if (const Section* s = find(section))
        for (const Entry& e : s->entries)
            if (!e.verbatim)
                keys << e.key;
    return keys;
}

void IniDocument::WriteString(const QString& section, const QString& key, const QString& value) {
    Section* s = find(section);
    if (!s) {
        sections_.push_back(Section{section, false, {}});
        s = &sections_.back();
    }
    for (Entry& e : s->entries) {
        if (!e.verbatim && SameName(e.key, key)) {
            e.value = value.trimmed();
            return;
        }
    }
    s->entries.push_back(Entry{key, value.trimmed(), false});
}

void IniDocument::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniDocument::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniDocument::EraseSection(const QString& section) {
    std::erase_if(sections_,
                  [&](const Section& s) { return !s.unnamed && SameName(s.name, section); });
}

void IniDocument::DeleteKey(const QString& section, const QString& key) {
    if (Section* s = find(section))
        std::erase_if(s->entries,
                      [&](const Entry& e) { return !e.verbatim && SameName(e.key, key); });
}

void IniDocument::Clear() {
    sections_.clear();
}

} // namespace core
