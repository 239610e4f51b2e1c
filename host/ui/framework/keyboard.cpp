#include "ui/framework/keyboard.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace hostui {

namespace {

// The modifier keys in the order a person's fingers go down on them.
constexpr std::pair<Qt::KeyboardModifier, Qt::Key> kModifierKeys[] = {
    {Qt::ShiftModifier, Qt::Key_Shift}, {Qt::ControlModifier, Qt::Key_Control}, {Qt::AltModifier, Qt::Key_Alt}};

// A control character as a text typed with its key: Tab, Enter, Escape and their kind.
constexpr std::pair<char32_t, Qt::Key> kControlKeys[] = {{U'\b', Qt::Key_Backspace}, {U'\t', Qt::Key_Tab},
                                                         {U'\n', Qt::Key_Return},     {U'\r', Qt::Key_Return},
                                                         {U'\x1b', Qt::Key_Escape},   {U'\x7f', Qt::Key_Delete}};

QString textOfKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    const bool letter = key >= Qt::Key_A && key <= Qt::Key_Z;
    if (letter && (modifiers & Qt::ControlModifier)) return QChar(static_cast<char16_t>(key - Qt::Key_A + 1));
    if (letter) return QChar(static_cast<char16_t>(key - Qt::Key_A + u'a'));
    for (const auto& [c, k] : kControlKeys)
        if (k == key) return QChar(static_cast<char16_t>(c));
    return {};
}

void sendKey(QWidget* target, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent event(type, key, modifiers, text);
    QApplication::sendEvent(target, &event);
}

// One keystroke: the modifiers down, the key down and up, the modifiers up again; the
// modifiers each event carries are those held before it, as the window system reports.
void keystroke(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    const QPointer<QWidget> alive(target);
    Qt::KeyboardModifiers held;
    for (const auto& [modifier, modifierKey] : kModifierKeys) {
        if (!(modifiers & modifier) || !alive) continue;
        sendKey(target, QEvent::KeyPress, modifierKey, held, {});
        held |= modifier;
    }
    if (alive) sendKey(target, QEvent::KeyPress, key, modifiers, text);
    if (alive) sendKey(target, QEvent::KeyRelease, key, modifiers, text);
    for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it) {
        if (!(modifiers & it->first) || !alive) continue;
        sendKey(target, QEvent::KeyRelease, it->second, held, {});
        held &= ~it->first;
    }
}

void commit(QWidget* target, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

}  // namespace

int keyForCharacter(char32_t c) {
    for (const auto& [control, key] : kControlKeys)
        if (control == c) return key;
    const bool printable = (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF);
    if (!printable) return 0;
    // Qt's key codes for Latin-1 are the upper-case characters; ß and ÿ keep their own.
    const bool lowerLetter = (c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
    return static_cast<int>(lowerLetter ? c - 0x20 : c);
}

void pressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (target) keystroke(target, key, modifiers, textOfKey(key, modifiers));
}

void typeText(QWidget* target, const QString& text) {
    const QPointer<QWidget> alive(target);
    for (qsizetype i = 0; i < text.size() && alive; ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        if (pair) ++i;
        const char32_t c = pair ? QChar::surrogateToUcs4(character[0], character[1]) : character[0].unicode();
        if (const int key = keyForCharacter(c)) keystroke(target, key, Qt::NoModifier, character);
        else commit(target, character);
    }
}

}  // namespace hostui
