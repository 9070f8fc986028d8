#pragma once
// TJvApplicationHotKey: one system-wide hotkey of the main window. While it is active and has a
// key, its combination is registered with the hotkey service; a press emits HotKey().

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

namespace platform {
class GlobalHotkeys;
}

class TJvApplicationHotKey : public QObject {
    Q_OBJECT
public:
    // `service` is not owned and must outlive the component; `id` is unique per service.
    TJvApplicationHotKey(const QString& objectName, platform::GlobalHotkeys& service, int id,
                         QObject* parent);
    ~TJvApplicationHotKey() override;

    // The 16-bit shortcut value; 0 = none. Changing it while active registers the new key.
    uint16_t HotKeyValue() const { return key_; }
    void SetHotKey(uint16_t key);

    // Active: registered whenever there is a key. A registration the system refuses leaves the
    // component active but unregistered; it says nothing to the user and reports the reason
    // through the log function.
    bool Active() const { return active_; }
    void SetActive(bool active);
    bool Registered() const;

    // Hands the press that fired HotKey() on to the application in the foreground. Only works
    // while a HotKey() receiver runs; false otherwise.
    bool PassKeyOn();

    // Where refused registrations are reported (the diagnostic log); may be empty.
    std::function<void(const QString&)> Log;

signals:
    void HotKey();

private:
    void Apply();

    platform::GlobalHotkeys& service_;
    int id_;
    uint16_t key_ = 0;
    bool active_ = false;
};
