#pragma once
// TdxInputManager: access to the attached game controllers. This is the placeholder the core
// creates, initialises and replaces in the designed order until the controller input arrives
// (libevdev); it lists no controllers.

#include <QString>

class TdxInputManager {
public:
    // `windowHandle` is the main window's handle in the design; unused here.
    explicit TdxInputManager(quintptr windowHandle = 0) : FHandle(windowHandle) {}
    virtual ~TdxInputManager() = default;

    TdxInputManager(const TdxInputManager&) = delete;
    TdxInputManager& operator=(const TdxInputManager&) = delete;

    // Gives the controllers the extended state format (272-byte state, 164 objects).
    virtual void SetExtendedJoystickFormat() {}

    // Opens the devices. Negative on failure (the core then reports "DirectX Error!"), 0 on
    // success. The placeholder always succeeds.
    virtual int Initialize() { return 0; }

    // Number of controllers found by the last Initialize().
    virtual int JoystickCount() const { return 0; }

protected:
    quintptr FHandle = 0;
};
