// Picks the hotkey backend for this session. The only place that knows which backends exist.
#include "GlobalHotkeys.h"

#ifdef QCC_HAVE_X11
#include "platform/x11/X11GlobalHotkeys.h"
#endif

namespace platform {

std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys(QObject* parent) {
#ifdef QCC_HAVE_X11
    QString reason;
    if (auto x11 = x11::CreateX11GlobalHotkeys(&reason, parent)) {
        return x11;
    }
    return CreateNullGlobalHotkeys(reason, parent);
#else
    return CreateNullGlobalHotkeys(QStringLiteral("this build has no X11 hotkey support"), parent);
#endif
}

} // namespace platform
