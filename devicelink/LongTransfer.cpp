// Framed multi-report transfers over the feature-report channel.
//
// Read: the host asks for the bytes still missing; the device answers a chunk whose first report
// carries a 9-byte header (0x5A, length, CRC) and the first data bytes, followed by up to 16
// reports of pure data. Each chunk is accepted only when its CRC-16/MODBUS matches.
// Write: one frame (header, CRC, data) cut into as many reports as needed; nothing is read back.

#include "devicelink/HID.h"
#include "devicelink/Utils.h"

#include <algorithm>
#include <array>

using YnqUtils::Crc16Block;
using YnqUtils::Delay;
using YnqUtils::HexBytes;
using YnqUtils::SetBit;

namespace {

// Offsets inside a long-read request report.
constexpr std::size_t kReqHeader = 1;  // 0xA5
constexpr std::size_t kReqCmd = 2;     // code | 0xC0
constexpr std::size_t kReqWanted = 3;  // 16-bit: bytes still wanted
constexpr std::size_t kReqAddress = 5; // 16-bit: block address

// Offsets inside the first report of a read reply.
constexpr std::size_t kRepHeader = 1; // 0x5A
constexpr std::size_t kRepLength = 3; // 16-bit: chunk length n
constexpr std::size_t kRepCrc = 7;    // 16-bit: CRC of the n data bytes
constexpr std::size_t kRepData = 9;   // first data byte
constexpr int kReplyHeaderBytes = 8;  // data bytes a first report gives up to its header

// Offsets inside a write frame (the frame starts at report byte 1).
constexpr std::size_t kFrameHeader = 0;  // 0xA5
constexpr std::size_t kFrameCmd = 1;     // code | 0x80
constexpr std::size_t kFrameLength = 2;  // 16-bit
constexpr std::size_t kFrameAddress = 4; // 16-bit
constexpr std::size_t kFrameCrc = 6;     // 16-bit
constexpr std::size_t kFrameData = 8;

// Report lengths the framing supports (report ID included).
constexpr int kMinReportLength = 10;
constexpr int kMaxFramedReportLength = 256;

void PutWord(std::span<uint8_t> buf, std::size_t at, uint16_t value) {
    buf[at] = static_cast<uint8_t>(value & 0xFF);
    buf[at + 1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetWord(std::span<const uint8_t> buf, std::size_t at) {
    return static_cast<uint16_t>(buf[at] | (buf[at + 1] << 8));
}

QString Hex2(uint8_t b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); }
QString Hex4(uint16_t w) { return QStringLiteral("%1").arg(w, 4, 16, QLatin1Char('0')).toUpper(); }

// Copies up to `count` bytes into data[at..], never past its end. Returns the bytes copied.
std::size_t CopyInto(std::span<uint8_t> data, std::size_t at, std::span<const uint8_t> from,
                     std::size_t count) {
    if (at >= data.size())
        return 0;
    const std::size_t n = std::min({count, from.size(), data.size() - at});
    std::copy_n(from.begin(), n, data.begin() + static_cast<std::ptrdiff_t>(at));
    return n;
}

bool LengthSupported(int length) {
    // 0 is left to the channel, which refuses it with its own trace.
    return length == 0 || (length >= kMinReportLength && length <= kMaxFramedReportLength);
}

} // namespace

bool TynqHidDevice::GetLongData(bool sendRequest, uint8_t reportId, uint8_t cmd, uint16_t total,
                                uint16_t address, std::span<uint8_t> data, uint16_t& received) {
    received = 0;
    std::fill(data.begin(), data.end(), uint8_t{0});
    SetBit(cmd, 7);
    SetBit(cmd, 6);
    uint16_t wanted = total;
    uint16_t at = address;

    const int length = ReportLength();
    if (!LengthSupported(length)) {
        Trace(QStringLiteral("Feature Report length not supported [%1]").arg(length));
        return false;
    }
    const int payload = static_cast<uint8_t>(length - 1); // P, in 8 bits: 256 gives 255
    const int first = payload - kReplyHeaderBytes;
    // The longest chunk that the first report and 16 follow-ups can carry.
    const int longestChunk = first + ynq::kMaxFollowUps * payload;

    std::array<uint8_t, ynq::kMaxReport> reply{};
    bool result = false;
    int wrongHeaders = 0;

    for (;;) {
        // Without sendRequest the replies are read directly, for every chunk.
        if (sendRequest) {
            std::array<uint8_t, 7> request{};
            request[0] = reportId;
            request[kReqHeader] = ynq::kRequestHeader;
            request[kReqCmd] = cmd;
            PutWord(request, kReqWanted, wanted);
            PutWord(request, kReqAddress, at);
            if (!SendFReport(request))
                break;
        }

        Delay(50);
        if (!GetFReport(reportId, reply)) {
            Trace(QStringLiteral("Ошибка. Преждевременный запрос на чтение пакета"));
            break;
        }
        if (reply[kRepHeader] != ynq::kShortCommand) {
            Trace(QStringLiteral("Ошибка. Не правильный заголовок [") + Hex2(reply[kRepHeader]) +
                  QStringLiteral("]"));
            // A device that never answers with a proper header must not hold the program.
            if (++wrongHeaders >= ynq::kMaxHeaderRetries) {
                Trace(QStringLiteral("Ошибка. Устройство не отвечает на запрос"));
                break;
            }
            continue;
        }
        wrongHeaders = 0;

        const uint16_t n = GetWord(reply, kRepLength);
        const uint16_t rxCrc = GetWord(reply, kRepCrc);
        if (n == 0)
            break;
        // A chunk longer than what is still wanted, than the framing can carry, or than the
        // caller's array holds cannot be a correct answer; nothing of it is stored past the end.
        if (n > wanted || n > longestChunk || std::size_t{received} + n > data.size()) {
            Trace(QStringLiteral("Ошибка. Неверная длина пакета [%1]").arg(n));
            break;
        }

        bool ok = true;
        const std::size_t chunkStart = received;
        if (n <= first) {
            CopyInto(data, chunkStart, std::span<const uint8_t>(reply).subspan(kRepData), n);
        } else {
            CopyInto(data, chunkStart, std::span<const uint8_t>(reply).subspan(kRepData),
                     static_cast<std::size_t>(first));
            const int rest = n - first;
            const int followUps = std::min(rest / payload + (rest % payload > 0 ? 1 : 0),
                                           ynq::kMaxFollowUps);
            std::size_t to = chunkStart + static_cast<std::size_t>(first);
            for (int k = 0; k < followUps; ++k) {
                Delay(10);
                ok = GetFReport(reportId, reply);
                // Whole reports are copied (a failed read leaves zeros), clipped at the array.
                CopyInto(data, to, std::span<const uint8_t>(reply).subspan(1),
                         static_cast<std::size_t>(payload));
                to += static_cast<std::size_t>(payload);
                if (!ok)
                    break;
            }
        }

        Trace(QString());
        Trace(QStringLiteral("Выдранный буфер:\t") +
              HexBytes(std::span<const uint8_t>(data).subspan(chunkStart, n)));
        Trace(QString());

        uint16_t crc = 0;
        if (!Crc16Block(data, static_cast<uint16_t>(chunkStart),
                        static_cast<uint16_t>(chunkStart + n), crc)) {
            Trace(QStringLiteral("Ошибка расчета CRC16]"));
        } else if (crc == rxCrc) {
            received = static_cast<uint16_t>(received + n);
            at = received;
            wanted = static_cast<uint16_t>(total - received);
        } else {
            Trace(QStringLiteral("Ошибка CRC16. Принятый CRC [") + Hex4(rxCrc) +
                  QStringLiteral("]. Расчитанный [") + Hex4(crc) + QStringLiteral("]"));
            break;
        }

        if (ok && received != total)
            continue;
        result = ok;
        break;
    }

    Trace(QStringLiteral("Полный буфер:\t") +
          HexBytes(std::span<const uint8_t>(data).first(std::min<std::size_t>(received,
                                                                              data.size()))));
    Trace(QString());
    return result;
}

bool TynqHidDevice::SetLongData(uint8_t reportId, uint8_t cmd, std::span<const uint8_t> data,
                                uint16_t length, uint16_t address) {
    if (!CurrDev())
        return false;
    SetBit(cmd, 7);

    uint16_t crc = 0;
    if (!Crc16Block(data, 0, length, crc))
        return false; // length 0, or more than the caller's array holds: nothing sent

    const int reportLength = ReportLength();
    if (!LengthSupported(reportLength)) {
        Trace(QStringLiteral("Feature Report length not supported [%1]").arg(reportLength));
        return false;
    }
    if (std::size_t{length} + kFrameData > ynq::kMaxReport) {
        Trace(QStringLiteral("Ошибка. Кадр длиннее буфера [%1]").arg(length));
        return false;
    }
    const int payload = static_cast<uint8_t>(reportLength - 1);

    std::array<uint8_t, ynq::kMaxReport> frame{};
    frame[kFrameHeader] = ynq::kRequestHeader;
    frame[kFrameCmd] = cmd;
    PutWord(frame, kFrameLength, length);
    PutWord(frame, kFrameAddress, address);
    PutWord(frame, kFrameCrc, crc);
    std::copy_n(data.begin(), length, frame.begin() + kFrameData);

    uint16_t frameBytes = static_cast<uint16_t>(length + kFrameData);
    if (frameBytes % payload != 0)
        frameBytes = static_cast<uint16_t>((frameBytes / payload + 1) * payload);

    bool result = false;
    for (std::size_t sent = 0; sent < frameBytes; sent += static_cast<std::size_t>(payload)) {
        std::array<uint8_t, ynq::kMaxReport> report{};
        report[0] = reportId;
        // The padded tail beyond the frame buffer is zeros by construction.
        if (sent < frame.size()) {
            const std::size_t n = std::min<std::size_t>(payload, frame.size() - sent);
            std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(sent), n, report.begin() + 1);
        }
        Delay(10);
        result = SendFReport(report);
        if (!result)
            break;
    }
    Trace(QString());
    return result;
}
