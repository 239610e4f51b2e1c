#pragma once

#include "ui/framework/wintypes.h"

#include <qnamespace.h>

#include <optional>

class QKeyEvent;

// Keys between Qt and window messages: Qt's key events become WM_KEYDOWN with the
// platform's virtual-key codes and WM_CHAR with the character typed, and the keys held
// while a message is handled answer GetKeyState. (Making key events, as a person's
// keyboard would, is keyboard.h.)

namespace hostui {

// The platform's virtual-key code of a Qt key event (Shift+Tab is VK_TAB with Shift held);
// 0 for a key without one.
UINT virtualKeyOf(const QKeyEvent& key);
// The Qt key of a virtual-key code that has no letter or digit; Qt::Key_unknown for none.
Qt::Key qtKeyOf(WPARAM virtualKey);
// The character a key event sends as WM_CHAR after its WM_KEYDOWN, as the platform
// translates it: one printable character typed without Ctrl or Alt; none otherwise.
std::optional<char16_t> charMessageOf(const QKeyEvent& key);

// The window-message key state of a Qt mouse event.
WPARAM keyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// The keys held while a key message is handled: GetKeyState answers the modifiers of the
// key event that sent it, as the platform's state of the message queue does.
class HeldKeys {
public:
    explicit HeldKeys(Qt::KeyboardModifiers modifiers);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    std::optional<Qt::KeyboardModifiers> m_previous;
};

}  // namespace hostui

// The state of a key while a message is handled: negative while it is held.
SHORT GetKeyState(int virtualKey);
