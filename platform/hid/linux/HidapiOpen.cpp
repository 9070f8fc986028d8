#include "platform/hid/linux/HidapiOpen.h"

#include <QFile>

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace platform::hidraw {

namespace {

// hidapi keeps process-wide state; it is initialised once, on the first open. Everything runs
// on the Qt thread, and hidapi starts no threads of its own on Linux. hid_exit is not called:
// the library holds nothing that outlives the process.
bool hidapiReady() {
    static const bool ready = hid_init() == 0;
    return ready;
}

int errnoOr(int fallback) {
    return errno != 0 ? errno : fallback;
}

class HidapiHandle final : public HidrawHandle {
public:
    explicit HidapiHandle(hid_device* device) : m_device(device) {}
    ~HidapiHandle() override { hid_close(m_device); }
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;

    long getFeature(uint8_t* buffer, std::size_t size) override {
        // hidapi reports a failure through errno (it keeps the ioctl's); EIO when it has none.
        errno = 0;
        const int got = hid_get_feature_report(m_device, buffer, std::min(size, kMaxTransfer));
        return got < 0 ? -errnoOr(EIO) : got;
    }

    long sendFeature(const uint8_t* buffer, std::size_t size) override {
        if (size > kMaxTransfer) {
            return -EMSGSIZE;
        }
        errno = 0;
        const int sent = hid_send_feature_report(m_device, buffer, size);
        return sent < 0 ? -errnoOr(EIO) : sent;
    }

private:
    hid_device* m_device;
};

OpenResult failure(int error, QString message) {
    OpenResult result;
    result.error = error;
    result.message = std::move(message);
    return result;
}

} // namespace

QString openFailureMessage(const QString& path, int error) {
    QString message =
        QStringLiteral("Cannot open %1 (%2)")
            .arg(path, QString::fromStdString(std::generic_category().message(error)));
    if (error == EACCES || error == EPERM) {
        message += QStringLiteral(": give your user access with a udev rule (TAG+=\"uaccess\") "
                                  "for this device");
    }
    return message;
}

OpenResult openWithHidapi(const QString& path) {
    if (qEnvironmentVariableIsSet(kNoRealHidVariable)) {
        return failure(EPERM, QStringLiteral("Cannot open %1: real HID devices are disabled in "
                                             "this process")
                                  .arg(path));
    }
    const QByteArray nativePath = QFile::encodeName(path);
    // hid_open_path gives no reason of its own; ask the file system first so that a missing
    // permission is named as such instead of a bare failure.
    if (::access(nativePath.constData(), R_OK | W_OK) != 0) {
        const int error = errnoOr(EIO);
        return failure(error, openFailureMessage(path, error));
    }
    if (!hidapiReady()) {
        return failure(EIO,
                       QStringLiteral("Cannot open %1: the HID library failed to start").arg(path));
    }
    errno = 0;
    hid_device* device = hid_open_path(nativePath.constData());
    if (!device) {
        const int error = errnoOr(EIO);
        return failure(error, openFailureMessage(path, error));
    }
    OpenResult result;
    result.handle = std::make_unique<HidapiHandle>(device);
    return result;
}

} // namespace platform::hidraw
