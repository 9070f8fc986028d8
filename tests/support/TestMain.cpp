// Test entry for everything below the GUI: a QCoreApplication so that the message-pumping waits
// and Qt timers run, and a guard that makes the real HID backend refuse to open any device.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QUIVRA_NO_REAL_HID", "1", 1);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
