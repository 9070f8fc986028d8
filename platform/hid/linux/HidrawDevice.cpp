#include "platform/hid/linux/HidrawDevice.h"

#include <cerrno>

namespace platform::hidraw {

HidrawDevice::HidrawDevice(HidrawNode node) : m_node(std::move(node)) {}

void HidrawDevice::checkOut(std::unique_ptr<HidrawHandle> handle) {
    m_handle = std::move(handle);
    m_checkedOut = true;
}

void HidrawDevice::checkIn() {
    m_handle.reset();
    m_checkedOut = false;
}

void HidrawDevice::markUnplugged() {
    m_plugged = false;
    m_handle.reset();
}

bool HidrawDevice::ready(const void* buffer, std::size_t size) {
    if (!m_checkedOut || !m_plugged || !m_handle) {
        m_lastError = ENODEV;
        return false;
    }
    if (!buffer || size == 0) {
        m_lastError = EINVAL; // there is no report ID to send
        return false;
    }
    return true;
}

bool HidrawDevice::getFeature(uint8_t* buffer, std::size_t size) {
    if (!ready(buffer, size)) {
        return false;
    }
    const long got = m_handle->getFeature(buffer, size);
    if (got < 0) {
        m_lastError = int(-got);
        return false;
    }
    if (std::size_t(got) > size) {
        // Cannot happen with hidraw, which never delivers more than asked; a count beyond the
        // buffer would mean the request went wrong, so it is not taken as a success.
        m_lastError = EIO;
        return false;
    }
    m_lastError = 0;
    return true;
}

bool HidrawDevice::setFeature(const uint8_t* buffer, std::size_t size) {
    if (!ready(buffer, size)) {
        return false;
    }
    const long sent = m_handle->sendFeature(buffer, size);
    if (sent < 0) {
        m_lastError = int(-sent);
        return false;
    }
    if (std::size_t(sent) < size) {
        m_lastError = EIO; // short write
        return false;
    }
    m_lastError = 0;
    return true;
}

} // namespace platform::hidraw
