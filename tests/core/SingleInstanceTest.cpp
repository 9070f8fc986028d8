// Single instance between real processes: a second start hands over and ends, a lock left by a
// killed process does not block a start, other names do not see each other; and in-process,
// only dwData = 1 counts as a hand-over.
#include "core/SingleInstance.h"

#include "devicelink/Utils.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Starts the helper; for a first instance, waits until it has claimed the name.
    std::unique_ptr<QProcess> Launch(const QString& name, int holdMs = 20000) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(QCC_INSTANCE_HELPER), {name, dir.path(), QString::number(holdMs)});
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    static QString FirstLine(QProcess& p) {
        for (int i = 0; i < 200 && !p.canReadLine(); ++i)
            p.waitForReadyRead(100);
        return QString::fromUtf8(p.readLine()).trimmed();
    }
    static void Stop(QProcess& p) {
        p.kill();
        p.waitForFinished(10000);
    }

    QTemporaryDir dir;
};

TEST_F(InstanceTest, SecondStartHandsOverAndEnds) {
    auto first = Launch("quivra-ccMUTEX");
    ASSERT_EQ(FirstLine(*first), "first");
    auto second = Launch("quivra-ccMUTEX");
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(second->readAllStandardOutput()).trimmed(), "second");
    EXPECT_EQ(FirstLine(*first), "handover");
    Stop(*first);
}

TEST_F(InstanceTest, OtherNamesDoNotSeeEachOther) {
    auto a = Launch("quivra-ccMUTEX");
    ASSERT_EQ(FirstLine(*a), "first");
    auto b = Launch("copy-of-quivra-ccMUTEX");
    EXPECT_EQ(FirstLine(*b), "first");
    Stop(*a);
    Stop(*b);
}

TEST_F(InstanceTest, LockOfAKilledInstanceDoesNotBlock) {
    auto crashed = Launch("quivra-ccMUTEX");
    ASSERT_EQ(FirstLine(*crashed), "first");
    Stop(*crashed); // SIGKILL: lock file and socket stay behind
    auto next = Launch("quivra-ccMUTEX");
    EXPECT_EQ(FirstLine(*next), "first");
    Stop(*next);
}

TEST_F(InstanceTest, OnlyDwDataOneIsAHandOver) {
    core::SingleInstance first("inprocMUTEX", dir.path());
    ASSERT_EQ(first.Claim(), core::SingleInstance::Role::First);
    int handOvers = 0;
    QObject::connect(&first, &core::SingleInstance::handOverRequested, [&] { ++handOvers; });

    core::SingleInstance sender("inprocMUTEX", dir.path());
    // Sending blocks until written; the first instance reads it from the event loop.
    ASSERT_TRUE(sender.Send(2, QByteArray()));
    ASSERT_TRUE(sender.Send(1, QByteArray("data")));
    ASSERT_TRUE(sender.Send(7, QByteArray()));
    for (int i = 0; i < 200 && handOvers == 0; ++i)
        YnqUtils::Delay(10);
    YnqUtils::Delay(100); // let the other two arrive as well
    EXPECT_EQ(handOvers, 1);
    EXPECT_EQ(core::SingleInstance::InstanceNameFor("/opt/q/quivra-cc"), "quivra-ccMUTEX");
}

} // namespace
