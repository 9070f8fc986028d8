// The hotkey service where no window system offers global key grabs: nothing registers.
#include "GlobalHotkeys.h"

namespace platform {
namespace {

class NullGlobalHotkeys final : public GlobalHotkeys {
public:
    NullGlobalHotkeys(QString reason, QObject* parent) : GlobalHotkeys(parent) {
        lastError_ = std::move(reason);
    }
    bool Register(int, uint16_t) override { return false; }
    void Unregister(int) override {}
    bool IsRegistered(int) const override { return false; }
    bool PassOn(int) override { return false; }
    QString backendName() const override { return QStringLiteral("none"); }
};

} // namespace

std::unique_ptr<GlobalHotkeys> CreateNullGlobalHotkeys(const QString& reason, QObject* parent) {
    return std::make_unique<NullGlobalHotkeys>(reason, parent);
}

} // namespace platform
