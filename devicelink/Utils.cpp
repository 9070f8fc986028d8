#include "devicelink/Utils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace YnqUtils {

void Delay(uint32_t milliseconds) {
    if (milliseconds == 0)
        return;
    // A monotonic clock: wall-clock changes must not stretch or cut a device wait.
    QElapsedTimer clock;
    clock.start();
    qint64 now = 0;
    do {
        // Sampled before the events and the sleep, so the wait is at least the requested time.
        now = clock.elapsed();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    } while (now < static_cast<qint64>(milliseconds));
}

uint16_t Crc16Update(uint16_t crc, uint8_t b) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) {
        if (BitIsSet(crc, 0))
            crc = static_cast<uint16_t>((crc >> 1) ^ 0xA001);
        else
            crc = static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

bool Crc16Block(std::span<const uint8_t> data, uint16_t start, uint16_t endPos, uint16_t& crc) {
    crc = 0xFFFF;
    if (endPos == 0)
        return false;
    if (start > endPos - 1)
        return false;
    if (endPos > data.size())
        return false;
    for (std::size_t i = start; i < endPos; ++i)
        crc = Crc16Update(crc, data[i]);
    return true;
}

int HexDigitValue(char c) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        if (kDigits[i] == c)
            return i;
    }
    return -1;
}

bool HexToInt(const QByteArray& s, int32_t& value) {
    uint32_t sum = 0;
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        const int d = HexDigitValue(c);
        if (d < 0) {
            value = 0;
            return false;
        }
        // Digits beyond the eighth from the right fall outside 32 bits.
        const qsizetype shift = 4 * (n - 1 - i);
        if (shift < 32)
            sum += static_cast<uint32_t>(d) << shift;
    }
    value = static_cast<int32_t>(sum);
    return true;
}

QString HexBytes(std::span<const uint8_t> bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size() * 3));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(' ');
        out += QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

} // namespace YnqUtils
