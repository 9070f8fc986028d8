// Test entry for the GUI tests: a QApplication (offscreen unless the test says otherwise),
// private runtime and configuration folders, and no real HID device ever opened.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QUIVRA_NO_REAL_HID", "1", 1);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS"); // the tray must be the X11 one the test controls
    QTemporaryDir runtime;
    QTemporaryDir config;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    ::setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
