// Saving and loading the simulated devices' memory; a bad file changes nothing.
#include "SimFixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace simtest;

namespace {

class StateFileTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("sim-state.json");
    }

    void writeFile(const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    // A state that differs from a fresh controller's everywhere it can.
    void changeEverything() {
        sim::TrackerModel& t = hid->tracker();
        for (std::size_t i = 0; i < t.eeprom.size(); ++i) {
            t.eeprom[i] = static_cast<uint8_t>(255 - i);
            t.ram[i] = static_cast<uint8_t>(i * 3);
        }
        t.on = true;
        hid->indicator().applyLeds(0x37, 125, 200, 0);
    }

    QTemporaryDir dir;
    QString path;
};

struct Snapshot {
    std::array<uint8_t, sim::kBlockSize> eeprom, ram;
    bool on;
    uint8_t mask;
    bool ir, blue, red;
    uint8_t irLevel, blueLevel, redLevel;
    bool operator==(const Snapshot&) const = default;
};

// The file `root` with one entry of one of its objects replaced (or, with an undefined value,
// removed).
QByteArray edit(QJsonObject root, const QString& object, const QString& key,
                const QJsonValue& value) {
    QJsonObject inner = root.value(object).toObject();
    if (value.isUndefined()) {
        inner.remove(key);
    } else {
        inner.insert(key, value);
    }
    root.insert(object, inner);
    return QJsonDocument(root).toJson();
}

Snapshot snapshot(sim::SimHidController& hid) {
    const sim::TrackerModel& t = hid.tracker();
    const sim::IndicatorModel& i = hid.indicator();
    return {t.eeprom, t.ram,   t.on,      i.mask,      i.irOn,
            i.blueOn, i.redOn, i.irLevel, i.blueLevel, i.redLevel};
}

TEST_F(StateFileTest, RoundTrip) {
    changeEverything();
    const Snapshot saved = snapshot(*hid);
    QString error;
    ASSERT_TRUE(hid->saveState(path, &error)) << error.toStdString();

    start(sim::SimConfig{});
    ASSERT_NE(snapshot(*hid), saved);
    ASSERT_TRUE(hid->loadState(path, &error)) << error.toStdString();
    EXPECT_EQ(snapshot(*hid), saved);
    EXPECT_TRUE(hid->indicator().irOn);
    EXPECT_TRUE(hid->indicator().blueOn);
    EXPECT_FALSE(hid->indicator().redOn);

    // Saving again over the file replaces it with the same content.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray first = file.readAll();
    file.close();
    ASSERT_TRUE(hid->saveState(path, &error));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), first);
}

TEST_F(StateFileTest, BadFilesAreRejectedWithoutChanges) {
    changeEverything();
    ASSERT_TRUE(hid->saveState(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject good = QJsonDocument::fromJson(file.readAll()).object();
    file.close();

    // Each case edits the good file in one place.
    struct Case {
        const char* name;
        QByteArray (*make)(QJsonObject root);
        const char* mentions; // part of the error message
    };
    const Case cases[] = {
        {"not json", [](QJsonObject) { return QByteArray("{\"format\": "); }, "JSON"},
        {"top level array", [](QJsonObject) { return QByteArray("[1, 2]"); }, "object"},
        {"wrong format",
         [](QJsonObject r) {
             r.insert("format", "something else");
             return QJsonDocument(r).toJson();
         },
         "format"},
        {"future version",
         [](QJsonObject r) {
             r.insert("version", 2);
             return QJsonDocument(r).toJson();
         },
         "version"},
        {"eeprom too short",
         [](QJsonObject r) { return edit(r, "tracker", "eeprom", QString(246, QChar('0'))); },
         "tracker.eeprom"},
        {"eeprom not hex",
         [](QJsonObject r) {
             QString hex = r.value("tracker").toObject().value("eeprom").toString();
             hex[100] = 'G';
             return edit(r, "tracker", "eeprom", hex);
         },
         "tracker.eeprom"},
        {"ram missing",
         [](QJsonObject r) { return edit(r, "tracker", "ram", QJsonValue::Undefined); },
         "tracker.ram"},
        {"on not boolean", [](QJsonObject r) { return edit(r, "tracker", "on", 1); }, "tracker.on"},
        {"mask out of range", [](QJsonObject r) { return edit(r, "indicator", "mask", 256); },
         "indicator.mask"},
        {"level not whole",
         [](QJsonObject r) {
             return edit(r, "indicator", "red", QJsonObject{{"on", false}, {"level", 1.5}});
         },
         "indicator.red.level"},
        {"lit with level 0",
         [](QJsonObject r) {
             return edit(r, "indicator", "blue", QJsonObject{{"on", true}, {"level", 0}});
         },
         "indicator.blue"},
        {"led missing",
         [](QJsonObject r) { return edit(r, "indicator", "ir", QJsonValue::Undefined); },
         "indicator.ir"},
    };

    start(sim::SimConfig{});
    hid->tracker().eeprom[0] = 0x99; // the state a bad load must leave alone
    const Snapshot before = snapshot(*hid);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(c.make(good));
        QString error;
        EXPECT_FALSE(hid->loadState(path, &error));
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains(c.mentions)) << error.toStdString();
        EXPECT_EQ(snapshot(*hid), before);
    }

    // The good file loads, so each case failed for its own edit.
    writeFile(QJsonDocument(good).toJson());
    EXPECT_TRUE(hid->loadState(path));
    EXPECT_NE(snapshot(*hid), before);
}

TEST_F(StateFileTest, MissingFileAndUnwritablePlace) {
    const Snapshot before = snapshot(*hid);
    QString error;
    EXPECT_FALSE(hid->loadState(dir.filePath("absent.json"), &error));
    EXPECT_TRUE(error.contains("absent.json")) << error.toStdString();
    EXPECT_EQ(snapshot(*hid), before);

    error.clear();
    const QString nowhere = dir.filePath("no-such-folder/state.json");
    EXPECT_FALSE(hid->saveState(nowhere, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(nowhere));
}

} // namespace
