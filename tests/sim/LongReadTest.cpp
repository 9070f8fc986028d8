// Long reads of the tracker's EEPROM and RAM: chunk framing for every report length, chunking,
// the CRC, out-of-range requests and the injected faults.
#include "SimFixture.h"

#include "sim/Crc16.h"

using namespace simtest;

namespace {

// One chunk as the host sees it: the first report and its follow-ups, reassembled.
struct Chunk {
    Bytes first;
    std::vector<Bytes> followUps;
    uint16_t n = 0;
    Bytes data;
};

class LongReadTest : public SimFixture {
protected:
    bool request(uint8_t cmd, uint16_t wanted, uint16_t address) {
        return send(tracker,
                    {0xA5, cmd, static_cast<uint8_t>(wanted & 0xFF),
                     static_cast<uint8_t>(wanted >> 8), static_cast<uint8_t>(address & 0xFF),
                     static_cast<uint8_t>(address >> 8)});
    }

    // Sends the request and reads the chunk the way the host does: the follow-ups it expects.
    Chunk read(uint8_t cmd, uint16_t wanted, uint16_t address) {
        Chunk chunk;
        EXPECT_TRUE(request(cmd, wanted, address));
        const auto first = get(tracker);
        EXPECT_TRUE(first);
        if (!first) {
            return chunk;
        }
        chunk.first = *first;
        chunk.n = word(chunk.first, 3);
        const std::size_t payload = static_cast<std::size_t>(length()) - 1;
        const std::size_t firstPart = std::min<std::size_t>(chunk.n, payload - 8);
        chunk.data.assign(chunk.first.begin() + 9, chunk.first.begin() + 9 + firstPart);
        while (chunk.data.size() < chunk.n) {
            const auto next = get(tracker);
            EXPECT_TRUE(next);
            if (!next) {
                break;
            }
            chunk.followUps.push_back(*next);
            const std::size_t take = std::min(payload, chunk.n - chunk.data.size());
            chunk.data.insert(chunk.data.end(), next->begin() + 1, next->begin() + 1 + take);
        }
        return chunk;
    }

    Bytes block(const std::array<uint8_t, sim::kBlockSize>& b, std::size_t from,
                std::size_t count) {
        return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
                     b.begin() + static_cast<std::ptrdiff_t>(from + count));
    }
};

TEST(Crc16Test, ModbusCheckValue) {
    const std::string text = "123456789";
    EXPECT_EQ(sim::crc16Modbus({reinterpret_cast<const uint8_t*>(text.data()), text.size()}),
              0x4B37);
    EXPECT_EQ(sim::crc16Modbus({}), 0xFFFF);
}

// The whole block in one chunk, for each supported shape of report.
struct FramingCase {
    int length;
    std::size_t followUps;   // reports after the first
    std::size_t fillerBytes; // filler behind the data in the report that ends the chunk
};

class LongReadFraming : public LongReadTest, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(LongReadFraming, WholeBlockInOneChunk) {
    const FramingCase c = GetParam();
    sim::SimConfig config;
    config.reportLength = c.length;
    start(config);

    const Chunk chunk = read(0xC5, 124, 0);
    EXPECT_EQ(chunk.first[0], kId);
    EXPECT_EQ(chunk.first[1], 0x5A);
    EXPECT_EQ(chunk.first[2], 0xC5);
    EXPECT_EQ(chunk.n, 124);
    EXPECT_EQ(word(chunk.first, 5), 0);
    EXPECT_EQ(word(chunk.first, 7), sim::crc16Modbus(hid->tracker().eeprom));
    EXPECT_EQ(chunk.data, block(hid->tracker().eeprom, 0, 124));
    ASSERT_EQ(chunk.followUps.size(), c.followUps);

    const Bytes& last = chunk.followUps.empty() ? chunk.first : chunk.followUps.back();
    EXPECT_EQ(last.size(), static_cast<std::size_t>(c.length));
    for (const Bytes& r : chunk.followUps) {
        EXPECT_EQ(r.size(), static_cast<std::size_t>(c.length));
        EXPECT_EQ(r[0], kId);
    }
    const auto filler =
        std::count(last.end() - static_cast<std::ptrdiff_t>(c.fillerBytes), last.end(), 0xEE);
    EXPECT_EQ(static_cast<std::size_t>(filler), c.fillerBytes);
}

// L = 10: 1 byte in the first report, 123 in 14 follow-ups of 9 (3 spare).
// L = 17: 8 + 116 in 8 follow-ups of 16 (12 spare). L = 64: 55 + 69 in 2 of 63 (57 spare).
// L = 65: 56 + 68 in 2 of 64 (60 spare). L = 256: all 124 in the first report (123 spare).
INSTANTIATE_TEST_SUITE_P(ReportLengths, LongReadFraming,
                         ::testing::Values(FramingCase{10, 14, 3}, FramingCase{17, 8, 12},
                                           FramingCase{64, 2, 57}, FramingCase{65, 2, 60},
                                           FramingCase{256, 0, 123}),
                         [](const auto& info) { return "L" + std::to_string(info.param.length); });

TEST_F(LongReadTest, RamReadAnswersTheRamBlock) {
    hid->tracker().ram[0] = 0x42;
    hid->tracker().ram[123] = 0x24;
    const Chunk chunk = read(0xC6, 124, 0);
    EXPECT_EQ(chunk.first[2], 0xC6);
    EXPECT_EQ(chunk.data, block(hid->tracker().ram, 0, 124));
    EXPECT_NE(chunk.data, block(hid->tracker().eeprom, 0, 124));
}

TEST_F(LongReadTest, ChunkLimitSplitsTheBlock) {
    hid->faults().chunkLimit = 56;
    Bytes all;
    uint16_t address = 0;
    std::vector<uint16_t> sizes;
    while (all.size() < 124) {
        const Chunk chunk = read(0xC5, static_cast<uint16_t>(124 - address), address);
        ASSERT_GT(chunk.n, 0);
        EXPECT_EQ(word(chunk.first, 5), address);
        EXPECT_EQ(word(chunk.first, 7), sim::crc16Modbus(chunk.data));
        sizes.push_back(chunk.n);
        all.insert(all.end(), chunk.data.begin(), chunk.data.end());
        address = static_cast<uint16_t>(address + chunk.n);
    }
    EXPECT_EQ(sizes, (std::vector<uint16_t>{56, 56, 12}));
    EXPECT_EQ(all, block(hid->tracker().eeprom, 0, 124));
}

TEST_F(LongReadTest, RequestsOutsideTheBlock) {
    struct Case {
        const char* name;
        uint16_t wanted;
        uint16_t address;
        uint16_t n;
    };
    const Case cases[] = {
        {"address at the end", 10, 124, 0}, {"address far beyond", 10, 0xFFFF, 0},
        {"nothing wanted", 0, 0, 0},        {"more than is left", 200, 100, 24},
        {"tail of the block", 24, 100, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Chunk chunk = read(0xC5, c.wanted, c.address);
        EXPECT_EQ(chunk.first[1], 0x5A);
        EXPECT_EQ(chunk.n, c.n);
        EXPECT_EQ(chunk.data, block(hid->tracker().eeprom, c.n ? c.address : 0, c.n));
        EXPECT_EQ(word(chunk.first, 7), sim::crc16Modbus(chunk.data));
    }
}

TEST_F(LongReadTest, InjectedFaultsSpoilOneReplyEach) {
    struct Case {
        const char* name;
        int sim::Faults::*fault;
        int value;
        uint8_t header;
        uint16_t announced;
        bool crcGood;
    };
    const Case cases[] = {
        {"wrong header", &sim::Faults::wrongHeader, 1, 0x00, 124, true},
        {"wrong crc", &sim::Faults::wrongCrc, 1, 0x5A, 124, false},
        {"zero chunk", &sim::Faults::zeroChunk, 1, 0x5A, 0, true},
        {"hostile length", &sim::Faults::hostileLength, 65535, 0x5A, 65535, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(sim::SimConfig{});
        hid->faults().*c.fault = c.value;

        ASSERT_TRUE(request(0xC5, 124, 0));
        const auto first = get(tracker);
        ASSERT_TRUE(first);
        EXPECT_EQ((*first)[1], c.header);
        EXPECT_EQ(word(*first, 3), c.announced);
        const Bytes data = c.announced == 0 ? Bytes{} : block(hid->tracker().eeprom, 0, 124);
        const bool crcGood =
            word(*first, 7) == sim::crc16Modbus(data) && (c.announced == 0 || c.announced == 124);
        EXPECT_EQ(crcGood, c.crcGood);

        // Counters count down: the next request is answered properly.
        if (c.fault != &sim::Faults::hostileLength) {
            const Chunk good = read(0xC5, 124, 0);
            EXPECT_EQ(good.first[1], 0x5A);
            EXPECT_EQ(good.n, 124);
            EXPECT_EQ(word(good.first, 7), sim::crc16Modbus(good.data));
        }
    }
}

TEST_F(LongReadTest, FailingFollowUpAndFailingGet) {
    hid->faults().followUpFails = 1;
    ASSERT_TRUE(request(0xC5, 124, 0));
    EXPECT_TRUE(get(tracker)) << "the first report is not a follow-up";
    EXPECT_FALSE(get(tracker));
    const auto second = get(tracker);
    ASSERT_TRUE(second) << "the follow-up is answered once the fault is used up";
    EXPECT_EQ(Bytes(second->begin() + 1, second->end()), block(hid->tracker().eeprom, 56, 64));

    hid->faults().getFails = -1;
    ASSERT_TRUE(request(0xC5, 124, 0));
    EXPECT_FALSE(get(tracker));
    EXPECT_FALSE(get(tracker));
}

} // namespace
