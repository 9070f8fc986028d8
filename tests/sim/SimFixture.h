#pragma once
// A simulated controller with both devices checked out, and helpers that move whole reports
// through the HID seam exactly as the program's channel does.

#include "sim/SimHid.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace simtest {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kId = 0x59;

class SimFixture : public ::testing::Test {
protected:
    void SetUp() override { start(sim::SimConfig{}); }

    // Replaces the controller with a fresh one and checks both devices out.
    void start(const sim::SimConfig& config) {
        hid = std::make_unique<sim::SimHidController>(config);
        tracker = open(config.tracker.product);
        indicator = open(config.indicator.product);
    }

    // Checks out the listed device with this product name; null when there is none.
    platform::HidDevice* open(const QString& product) {
        int index = -1;
        hid->enumerate([&](platform::HidDevice& device, int i) {
            if (device.productName() == product) {
                index = i;
            }
            return true;
        });
        return index < 0 ? nullptr : hid->checkOutByIndex(index);
    }

    int length() const { return hid->config().reportLength; }

    // One full report: the ID, `body`, zeros up to the report length.
    Bytes report(const Bytes& body) const {
        Bytes out(static_cast<std::size_t>(length()), 0);
        out[0] = kId;
        std::copy_n(body.begin(), std::min(body.size(), out.size() - 1), out.begin() + 1);
        return out;
    }

    bool send(platform::HidDevice* device, const Bytes& body) {
        const Bytes bytes = report(body);
        return device->setFeature(bytes.data(), bytes.size());
    }

    // A short command: 0xA5, 0x5A, code, payload.
    bool command(platform::HidDevice* device, uint8_t code, const Bytes& payload = {}) {
        Bytes body{0xA5, 0x5A, code};
        body.insert(body.end(), payload.begin(), payload.end());
        return send(device, body);
    }

    // Reads one report of the device's length; nullopt when the get fails.
    std::optional<Bytes> get(platform::HidDevice* device) {
        Bytes buffer(static_cast<std::size_t>(length()), 0);
        buffer[0] = kId;
        if (!device->getFeature(buffer.data(), buffer.size())) {
            return std::nullopt;
        }
        return buffer;
    }

    // Runs the queued hotplug notifications.
    static void pump() { QCoreApplication::processEvents(); }

    std::unique_ptr<sim::SimHidController> hid;
    platform::HidDevice* tracker = nullptr;
    platform::HidDevice* indicator = nullptr;
};

inline uint16_t word(const Bytes& bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

} // namespace simtest
