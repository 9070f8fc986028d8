#include "sim/SimState.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSaveFile>

#include <optional>

namespace sim {

namespace {

const QString kFormat = QStringLiteral("quivra-sim-state");
constexpr int kVersion = 1;

struct Led {
    const char* key;
    bool IndicatorModel::*on;
    uint8_t IndicatorModel::*level;
};
constexpr Led kLeds[] = {
    {"ir", &IndicatorModel::irOn, &IndicatorModel::irLevel},
    {"blue", &IndicatorModel::blueOn, &IndicatorModel::blueLevel},
    {"red", &IndicatorModel::redOn, &IndicatorModel::redLevel},
};

QString toHex(const std::array<uint8_t, kBlockSize>& block) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(block.data()), kBlockSize).toHex().toUpper());
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

// Collects the first fault found while reading; later checks are skipped once one is set.
class Reader {
public:
    explicit Reader(QString path) : path_(std::move(path)) {}

    bool failed() const { return !fault_.isEmpty(); }
    QString message() const { return QStringLiteral("state file %1: %2").arg(path_, fault_); }
    void fault(const QString& text) {
        if (fault_.isEmpty()) {
            fault_ = text;
        }
    }

    QJsonObject object(const QJsonObject& parent, const QString& key, const QString& where) {
        const QJsonValue value = parent.value(key);
        if (!value.isObject()) {
            fault(QStringLiteral("\"%1\" must be an object").arg(where));
            return {};
        }
        return value.toObject();
    }

    bool boolean(const QJsonObject& parent, const QString& key, const QString& where) {
        const QJsonValue value = parent.value(key);
        if (!value.isBool()) {
            fault(QStringLiteral("\"%1\" must be true or false").arg(where));
            return false;
        }
        return value.toBool();
    }

    int integer(const QJsonObject& parent, const QString& key, const QString& where, int low,
                int high) {
        const QJsonValue value = parent.value(key);
        const double number = value.toDouble(-1.0);
        const int whole = value.toInt(low - 1);
        if (!value.isDouble() || number != whole || whole < low || whole > high) {
            fault(QStringLiteral("\"%1\" must be a whole number from %2 to %3")
                      .arg(where)
                      .arg(low)
                      .arg(high));
            return low;
        }
        return whole;
    }

    std::array<uint8_t, kBlockSize> block(const QJsonObject& parent, const QString& key,
                                          const QString& where) {
        std::array<uint8_t, kBlockSize> bytes{};
        const QJsonValue value = parent.value(key);
        const QString text = value.toString();
        bool good = value.isString() && text.size() == 2 * kBlockSize;
        for (int i = 0; good && i < kBlockSize; ++i) {
            const int high = hexDigit(text[2 * i]);
            const int low = hexDigit(text[2 * i + 1]);
            good = high >= 0 && low >= 0;
            bytes[static_cast<std::size_t>(i)] = static_cast<uint8_t>(high * 16 + low);
        }
        if (!good) {
            fault(QStringLiteral("\"%1\" must be %2 hexadecimal digits (%3 bytes)")
                      .arg(where)
                      .arg(2 * kBlockSize)
                      .arg(kBlockSize));
        }
        return bytes;
    }

private:
    QString path_;
    QString fault_;
};

void setError(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

} // namespace

bool saveModelState(const QString& path, const TrackerModel& tracker,
                    const IndicatorModel& indicator, QString* error) {
    QJsonObject trackerJson{
        {QStringLiteral("eeprom"), toHex(tracker.eeprom)},
        {QStringLiteral("ram"), toHex(tracker.ram)},
        {QStringLiteral("on"), tracker.on},
    };
    QJsonObject indicatorJson{{QStringLiteral("mask"), indicator.mask}};
    for (const Led& led : kLeds) {
        indicatorJson.insert(QLatin1String(led.key),
                             QJsonObject{{QStringLiteral("on"), indicator.*led.on},
                                         {QStringLiteral("level"), indicator.*led.level}});
    }
    const QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("tracker"), trackerJson},
        {QStringLiteral("indicator"), indicatorJson},
    };

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error,
                 QStringLiteral("state file %1: cannot write: %2").arg(path, file.errorString()));
        return false;
    }
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        setError(error,
                 QStringLiteral("state file %1: cannot write: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool loadModelState(const QString& path, TrackerModel& tracker, IndicatorModel& indicator,
                    QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error,
                 QStringLiteral("state file %1: cannot read: %2").arg(path, file.errorString()));
        return false;
    }
    // A state file is a few hundred bytes; anything far larger is not one.
    constexpr qint64 kMaxSize = 64 * 1024;
    if (file.size() > kMaxSize) {
        setError(error, QStringLiteral("state file %1: too large to be a state file").arg(path));
        return false;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    Reader reader(path);
    if (parseError.error != QJsonParseError::NoError) {
        reader.fault(QStringLiteral("not valid JSON (%1 at offset %2)")
                         .arg(parseError.errorString())
                         .arg(parseError.offset));
    } else if (!document.isObject()) {
        reader.fault(QStringLiteral("the top level must be an object"));
    }
    const QJsonObject root = document.object();
    if (!reader.failed() && root.value(QStringLiteral("format")).toString() != kFormat) {
        reader.fault(QStringLiteral("\"format\" must be \"%1\"").arg(kFormat));
    }
    if (!reader.failed()) {
        reader.integer(root, QStringLiteral("version"), QStringLiteral("version"), kVersion,
                       kVersion);
    }

    TrackerModel newTracker = tracker;
    IndicatorModel newIndicator = indicator;
    const QJsonObject t = reader.object(root, QStringLiteral("tracker"), QStringLiteral("tracker"));
    if (!reader.failed()) {
        newTracker.eeprom =
            reader.block(t, QStringLiteral("eeprom"), QStringLiteral("tracker.eeprom"));
        newTracker.ram = reader.block(t, QStringLiteral("ram"), QStringLiteral("tracker.ram"));
        newTracker.on = reader.boolean(t, QStringLiteral("on"), QStringLiteral("tracker.on"));
    }
    const QJsonObject ind =
        reader.object(root, QStringLiteral("indicator"), QStringLiteral("indicator"));
    if (!reader.failed()) {
        newIndicator.mask = static_cast<uint8_t>(
            reader.integer(ind, QStringLiteral("mask"), QStringLiteral("indicator.mask"), 0, 255));
    }
    for (const Led& led : kLeds) {
        if (reader.failed()) {
            break;
        }
        const QString where = QStringLiteral("indicator.%1").arg(QLatin1String(led.key));
        const QJsonObject o = reader.object(ind, QLatin1String(led.key), where);
        if (reader.failed()) {
            break;
        }
        const bool on = reader.boolean(o, QStringLiteral("on"), where + QStringLiteral(".on"));
        const int level =
            reader.integer(o, QStringLiteral("level"), where + QStringLiteral(".level"), 0, 255);
        if (!reader.failed() && on && level == 0) {
            reader.fault(
                QStringLiteral("\"%1\" is on with level 0; a lit LED needs a level").arg(where));
        }
        newIndicator.*led.on = on;
        newIndicator.*led.level = static_cast<uint8_t>(level);
    }

    if (reader.failed()) {
        setError(error, reader.message());
        return false;
    }
    tracker = newTracker;
    indicator = newIndicator;
    return true;
}

} // namespace sim
