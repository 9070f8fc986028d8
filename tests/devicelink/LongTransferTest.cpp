#include "ScriptedHidDevice.h"

#include "devicelink/HID.h"
#include "devicelink/ParamBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

constexpr uint16_t kBlock = 124;

Bytes SampleBlock() {
    Bytes b(kBlock);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<uint8_t>(i * 7 + 3);
    return b;
}

int FollowUps(int length, int n) {
    const int payload = static_cast<uint8_t>(length - 1);
    const int first = payload - 8;
    if (n <= first)
        return 0;
    const int rest = n - first;
    return rest / payload + (rest % payload ? 1 : 0);
}

class LongTransfer : public testing::Test {
protected:
    void Bind(int length) {
        device = std::make_unique<ScriptedHidDevice>(length);
        channel.SetHidDev(device.get());
    }
    bool Read(std::span<uint8_t> data, uint16_t& received) {
        return channel.GetLongData(true, 0x59, 5, kBlock, 0, data, received);
    }
    std::unique_ptr<ScriptedHidDevice> device;
    QStringList log;
    TynqHidDevice channel{&log};
    ynq::TDataArray raw{};
};

// --- reads over the supported report lengths -------------------------------------------------

class LongReadByLength : public LongTransfer, public testing::WithParamInterface<int> {};

TEST_P(LongReadByLength, OneChunkFillsTheBlockAndOnlyTheTailOfTheLastReport) {
    const int length = GetParam();
    Bind(length);
    raw.fill(0xCC);
    BlockResponder responder(*device, SampleBlock());
    uint16_t received = 0;
    ASSERT_TRUE(Read(raw, received));
    EXPECT_EQ(received, kBlock);
    EXPECT_TRUE(std::equal(raw.begin(), raw.begin() + kBlock, SampleBlock().begin()));

    // One request: 59 A5 C5, 124 wanted, address 0, zero padded to the report length.
    ASSERT_EQ(device->written.size(), 1u);
    Bytes request(static_cast<std::size_t>(length), 0);
    const uint8_t head[] = {0x59, 0xA5, 0xC5, 0x7C, 0x00, 0x00, 0x00};
    std::copy(std::begin(head), std::end(head), request.begin());
    EXPECT_EQ(device->written[0], request);

    const int followUps = FollowUps(length, kBlock);
    EXPECT_EQ(device->gets, 1 + followUps);
    // Whole follow-up reports are copied: after byte 123 comes the filler of the last report,
    // then zeros from the clearing at the start.
    const int payload = static_cast<uint8_t>(length - 1);
    const std::size_t copiedEnd =
        followUps == 0 ? kBlock : static_cast<std::size_t>(payload - 8 + followUps * payload);
    for (std::size_t i = kBlock; i < raw.size(); ++i)
        ASSERT_EQ(raw[i], i < copiedEnd ? 0xEE : 0x00) << "byte " << i;
}

TEST_P(LongReadByLength, ArrayOfExactlyTheBlockIsNeverOverrun) {
    Bind(GetParam());
    BlockResponder responder(*device, SampleBlock());
    std::array<uint8_t, kBlock + 300> guarded;
    guarded.fill(0xCC);
    uint16_t received = 0;
    ASSERT_TRUE(channel.GetLongData(true, 0x59, 5, kBlock, 0,
                                    std::span<uint8_t>(guarded).first(kBlock), received));
    EXPECT_EQ(received, kBlock);
    EXPECT_TRUE(std::all_of(guarded.begin() + kBlock, guarded.end(), [](uint8_t b) {
        return b == 0xCC;
    }));
}

// --- writes over the supported report lengths ------------------------------------------------

class LongWriteByLength : public LongTransfer, public testing::WithParamInterface<int> {};

TEST_P(LongWriteByLength, FrameIsCutIntoReportsOfThePayloadSize) {
    const int length = GetParam();
    const std::size_t payload = static_cast<uint8_t>(length - 1);
    Bind(length);
    const Bytes block = SampleBlock();
    ASSERT_TRUE(channel.SetLongData(0x59, 7, block, kBlock, 0));

    Bytes frame = {0xA5, 0x87, 0x7C, 0x00, 0x00, 0x00};
    const uint16_t crc = ReferenceCrc(block.data(), block.size());
    frame.push_back(static_cast<uint8_t>(crc));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.insert(frame.end(), block.begin(), block.end());
    const std::size_t reports = (frame.size() + payload - 1) / payload;
    frame.resize(reports * payload, 0);

    ASSERT_EQ(device->written.size(), reports);
    for (std::size_t k = 0; k < reports; ++k) {
        SCOPED_TRACE(testing::Message() << "report " << k);
        Bytes expected(static_cast<std::size_t>(length), 0);
        expected[0] = 0x59;
        std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(k * payload), payload,
                    expected.begin() + 1);
        EXPECT_EQ(device->written[k], expected);
    }
}

INSTANTIATE_TEST_SUITE_P(ReportLengths, LongReadByLength, testing::Values(10, 17, 64, 65, 256));
INSTANTIATE_TEST_SUITE_P(ReportLengths, LongWriteByLength, testing::Values(10, 17, 64, 65, 256));

// Golden frames written out by hand from the frame layout, for the two common report lengths.
TEST_F(LongTransfer, WriteWith65ByteReportsIsThreeReportsEndingInPadding) {
    Bind(65);
    const Bytes block = SampleBlock();
    ASSERT_TRUE(channel.SetLongData(0x59, 7, block, kBlock, 0));
    ASSERT_EQ(device->written.size(), 3u);
    const Bytes& first = device->written[0];
    EXPECT_EQ(Bytes(first.begin(), first.begin() + 7),
              (Bytes{0x59, 0xA5, 0x87, 0x7C, 0x00, 0x00, 0x00}));
    EXPECT_EQ(first[9], block[0]);
    // The third report carries frame bytes 128..131 (block bytes 120..123), then 60 zeros.
    const Bytes& third = device->written[2];
    EXPECT_EQ(Bytes(third.begin() + 1, third.begin() + 5),
              Bytes(block.begin() + 120, block.end()));
    EXPECT_TRUE(std::all_of(third.begin() + 5, third.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(LongTransfer, WriteWith256ByteReportsFitsOneReport) {
    Bind(256);
    const Bytes block = SampleBlock();
    ASSERT_TRUE(channel.SetLongData(0x59, 7, block, kBlock, 0));
    ASSERT_EQ(device->written.size(), 1u);
    const Bytes& r = device->written[0];
    ASSERT_EQ(r.size(), 256u);
    EXPECT_EQ(Bytes(r.begin() + 9, r.begin() + 9 + kBlock), block);
    EXPECT_TRUE(std::all_of(r.begin() + 9 + kBlock, r.end(), [](uint8_t b) { return b == 0; }));
}

// --- read exchanges with a misbehaving device ------------------------------------------------

TEST_F(LongTransfer, TwoChunksAskForTheRestAtTheNextAddress) {
    Bind(65);
    BlockResponder responder(*device, SampleBlock(), {56});
    uint16_t received = 0;
    ASSERT_TRUE(Read(raw, received));
    EXPECT_EQ(received, kBlock);
    EXPECT_TRUE(std::equal(raw.begin(), raw.begin() + kBlock, SampleBlock().begin()));
    ASSERT_EQ(device->written.size(), 2u);
    const Bytes& second = device->written[1];
    EXPECT_EQ(second[3] | second[4] << 8, 68);
    EXPECT_EQ(second[5] | second[6] << 8, 56);
}

TEST_F(LongTransfer, WrongHeaderOnceRepeatsTheSameRequest) {
    Bind(65);
    BlockResponder responder(*device, SampleBlock());
    responder.tamper = [](Bytes& first, int chunk) {
        if (chunk == 0)
            first[1] = 0x00;
    };
    channel.DebugMode = true;
    uint16_t received = 0;
    ASSERT_TRUE(Read(raw, received));
    ASSERT_EQ(device->written.size(), 2u);
    EXPECT_EQ(device->written[0], device->written[1]);
    EXPECT_TRUE(log.contains(QStringLiteral("Ошибка. Не правильный заголовок [00]")));
}

TEST_F(LongTransfer, WrongHeaderForeverEndsAfterTheBound) {
    Bind(65);
    BlockResponder responder(*device, SampleBlock());
    responder.tamper = [](Bytes& first, int) { first[1] = 0x13; };
    uint16_t received = 0;
    EXPECT_FALSE(Read(raw, received));
    EXPECT_EQ(received, 0);
    EXPECT_EQ(device->written.size(), static_cast<std::size_t>(ynq::kMaxHeaderRetries));
}

TEST_F(LongTransfer, WrongCrcEndsTheReadCountingOnlyEarlierChunks) {
    Bind(65);
    BlockResponder responder(*device, SampleBlock(), {56});
    responder.tamper = [](Bytes& first, int chunk) {
        if (chunk == 1) {
            first[7] = 0x34;
            first[8] = 0x12;
        }
    };
    channel.DebugMode = true;
    uint16_t received = 0;
    EXPECT_FALSE(Read(raw, received));
    EXPECT_EQ(received, 56);
    const Bytes block = SampleBlock();
    const uint16_t good = ReferenceCrc(block.data() + 56, 68);
    const QString goodHex = QStringLiteral("%1").arg(good, 4, 16, QLatin1Char('0')).toUpper();
    const QString expected =
        QStringLiteral("Ошибка CRC16. Принятый CRC [1234]. Расчитанный [") + goodHex + "]";
    EXPECT_TRUE(log.contains(expected)) << log.join('\n').toStdString();
}

TEST_F(LongTransfer, FailedFollowUpFailsTheRead) {
    Bind(65);
    BlockResponder responder(*device, SampleBlock());
    device->onWrite = [&, inner = device->onWrite](const Bytes& r) {
        inner(r);
        device->replies.pop_back(); // the last follow-up never comes
        return true;
    };
    uint16_t received = 0;
    EXPECT_FALSE(Read(raw, received));
    EXPECT_EQ(device->written.size(), 1u);
}

TEST_F(LongTransfer, FirstReplyMissingFailsWithItsTrace) {
    Bind(65);
    channel.DebugMode = true;
    uint16_t received = 0;
    EXPECT_FALSE(Read(raw, received));
    EXPECT_TRUE(log.contains(QStringLiteral("Ошибка. Преждевременный запрос на чтение пакета")));
}

TEST_F(LongTransfer, RequestWriteFailureEndsAtOnce) {
    Bind(65);
    device->failingWrites = {0};
    uint16_t received = 0;
    EXPECT_FALSE(Read(raw, received));
    EXPECT_EQ(device->gets, 0);
}

TEST_F(LongTransfer, HostileChunkLengthsStoreNothingPastTheArray) {
    struct Case {
        uint16_t announced;
        const char* what;
    };
    for (const Case c : {Case{0, "zero"}, Case{125, "more than wanted"},
                         Case{200, "longer than the framing"}, Case{65535, "near 65535"}}) {
        SCOPED_TRACE(c.what);
        Bind(65);
        BlockResponder responder(*device, SampleBlock());
        responder.tamper = [&](Bytes& first, int) {
            first[3] = static_cast<uint8_t>(c.announced);
            first[4] = static_cast<uint8_t>(c.announced >> 8);
        };
        std::array<uint8_t, kBlock + 64> guarded;
        guarded.fill(0xCC);
        uint16_t received = 0;
        EXPECT_FALSE(channel.GetLongData(true, 0x59, 5, kBlock, 0,
                                         std::span<uint8_t>(guarded).first(kBlock), received));
        EXPECT_EQ(received, 0);
        EXPECT_TRUE(std::all_of(guarded.begin() + kBlock, guarded.end(),
                                [](uint8_t b) { return b == 0xCC; }));
        EXPECT_EQ(device->written.size(), 1u) << "a bad length is not asked for again";
    }
}

TEST_F(LongTransfer, UnsupportedReportLengthsSendNothing) {
    for (int length : {0, 5, 9, 257}) {
        SCOPED_TRACE(length);
        Bind(length);
        uint16_t received = 0;
        EXPECT_FALSE(Read(raw, received));
        EXPECT_FALSE(channel.SetLongData(0x59, 7, raw, kBlock, 0));
        EXPECT_TRUE(device->written.empty());
    }
}

// --- write failures --------------------------------------------------------------------------

TEST_F(LongTransfer, WriteRefusesWhatItCannotFrame) {
    Bind(65);
    EXPECT_FALSE(channel.SetLongData(0x59, 7, raw, 0, 0)) << "length 0";
    EXPECT_FALSE(channel.SetLongData(0x59, 7, std::span<const uint8_t>(raw).first(10), 124, 0))
        << "longer than the data";
    const std::vector<uint8_t> big(1100, 0x11);
    EXPECT_FALSE(channel.SetLongData(0x59, 7, big, 1017, 0)) << "frame past 1024 bytes";
    EXPECT_TRUE(channel.SetLongData(0x59, 7, big, 1016, 0)) << "the longest frame that fits";
    device->written.clear();
    EXPECT_TRUE(device->written.empty());

    TynqHidDevice unbound;
    EXPECT_FALSE(unbound.SetLongData(0x59, 7, raw, kBlock, 0));
}

TEST_F(LongTransfer, FailedReportStopsTheRestOfTheFrame) {
    Bind(65);
    device->failingWrites = {1};
    EXPECT_FALSE(channel.SetLongData(0x59, 7, raw, kBlock, 0));
    EXPECT_EQ(device->written.size(), 2u);
}

} // namespace
