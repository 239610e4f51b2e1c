#include "ui/framework/keymessages.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <array>
#include <utility>

namespace hostui {

namespace {

// The keys that have a name on both sides; letters and digits are their own codes.
constexpr std::array<std::pair<Qt::Key, UINT>, 14> kNamedKeys{{
    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_F2, VK_F2},
    {Qt::Key_Up, VK_UP},
    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Home, VK_HOME},
    {Qt::Key_End, VK_END},
    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},
    // The keypad's Enter is the platform's Return.
    {Qt::Key_Enter, VK_RETURN},
}};

std::optional<Qt::KeyboardModifiers>& heldNow() {
    static std::optional<Qt::KeyboardModifiers> held;
    return held;
}

}  // namespace

UINT virtualKeyOf(const QKeyEvent& key) {
    int k = key.key();
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return static_cast<UINT>(k);
    if (k == Qt::Key_Backtab) k = Qt::Key_Tab;
    for (const auto& [qtKey, virtualKey] : kNamedKeys)
        if (qtKey == k) return virtualKey;
    return 0;
}

Qt::Key qtKeyOf(WPARAM virtualKey) {
    for (const auto& [qtKey, code] : kNamedKeys)
        if (code == virtualKey) return qtKey;
    return Qt::Key_unknown;
}

std::optional<char16_t> charMessageOf(const QKeyEvent& key) {
    const QString text = key.text();
    const bool command = key.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (command || text.size() != 1 || !text.front().isPrint()) return std::nullopt;
    return text.front().unicode();
}

WPARAM keyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) keys |= MK_CONTROL;
    return keys;
}

HeldKeys::HeldKeys(Qt::KeyboardModifiers modifiers) : m_previous(heldNow()) { heldNow() = modifiers; }
HeldKeys::~HeldKeys() { heldNow() = m_previous; }

}  // namespace hostui

SHORT GetKeyState(int virtualKey) {
    const auto& now = hostui::heldNow();
    const Qt::KeyboardModifiers held = now ? *now : QGuiApplication::keyboardModifiers();
    Qt::KeyboardModifier wanted = Qt::NoModifier;
    if (virtualKey == static_cast<int>(VK_SHIFT)) wanted = Qt::ShiftModifier;
    else if (virtualKey == static_cast<int>(VK_CONTROL)) wanted = Qt::ControlModifier;
    else if (virtualKey == static_cast<int>(VK_MENU)) wanted = Qt::AltModifier;
    return wanted != Qt::NoModifier && (held & wanted) ? static_cast<SHORT>(-0x8000) : SHORT{0};
}
