#pragma once
// System-wide keyboard shortcuts ("application hotkeys"): a key combination that fires while any
// application has the focus, and that can be handed on to that application afterwards.
//
// A shortcut value is 16 bits, the encoding the profiles keep: low byte = Windows virtual-key
// code, 0x2000 = Shift, 0x4000 = Ctrl, 0x8000 = Alt (Ctrl+A = 0x4041, F12 = 123).
//
// Everything runs on the thread that created the service; notifications arrive through the Qt
// event loop.

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

namespace platform {

class GlobalHotkeys : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~GlobalHotkeys() override = default;

    // Registers `shortcut` under `id` (an id already registered is released first). Returns
    // false, with the reason in lastError(), when the key has no mapping on this system, the
    // service has no display, or another client already holds the combination.
    virtual bool Register(int id, uint16_t shortcut) = 0;
    // Releases `id`; an unknown id is ignored.
    virtual void Unregister(int id) = 0;
    virtual bool IsRegistered(int id) const = 0;

    // Only while a receiver of activated(id) runs: hands the key press that fired `id` on to the
    // window that has the keyboard focus, as if no hotkey had taken it. When the receivers return
    // without calling it, the press is dropped. Returns false outside that window of time.
    virtual bool PassOn(int id) = 0;

    // Short name of the backend ("x11", "none"), and why the last Register failed.
    virtual QString backendName() const = 0;
    QString lastError() const { return lastError_; }

signals:
    // The combination registered under `id` was pressed.
    void activated(int id);

protected:
    QString lastError_;
};

// The service for this session: the X11 backend when an X display can be opened, otherwise the
// null backend (every Register fails with a reason). Never returns null.
std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys(QObject* parent = nullptr);

// The backend that has nothing to grab keys from.
std::unique_ptr<GlobalHotkeys> CreateNullGlobalHotkeys(const QString& reason,
                                                       QObject* parent = nullptr);

} // namespace platform
