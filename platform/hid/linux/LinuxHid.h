#pragma once
// The Linux HID backend: hidraw nodes found through libudev, opened and driven through hidapi.

#include "platform/hid/HidController.h"

#include <QObject>

#include <memory>

// A controller over the system's hidraw nodes that follows hot-plugging through a udev monitor
// on the Qt event loop (it must be created on the Qt thread). Its list stays empty until the
// first deviceChange(). The caller owns it; `parent` only places it in the object tree, so
// destroy it before its parent. Input reports are not read: the program uses none, so no reader
// threads are started. While the environment variable QUIVRA_NO_REAL_HID is set, every
// check-out fails with a problem() saying so; enumerating still works. If udev cannot provide a
// monitor, a problem() says so from the event loop and only explicit rescans update the list.
std::unique_ptr<platform::HidController> createLinuxHidController(QObject* parent = nullptr);
