#pragma once

#include <QString>
#include <Qt>

class QWidget;

namespace hostui {

// What a person's keyboard and input method hand a control, sent as the window system's
// own input goes on: through the application, so that shortcuts, mnemonics, the dialog
// manager's Enter and Escape and the parents of a control that ignores a key all see it.
// Both stop when the control goes away meanwhile (a key that closed its dialog).

// Presses and releases a key with the modifiers held: the modifier keys go down first and
// come up last, and the key carries the text a keyboard gives with it (a control
// character with Ctrl, the lower-case letter with Alt).
void pressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Types the text into the control character by character, whatever the focus does
// meanwhile. A character that has a key on a Western keyboard (ASCII, the Latin-1 letters
// and signs such as é, ü and ß) comes as that key's press and release carrying it; any
// other (Greek, Cyrillic, CJK, a character outside the basic plane such as an emoji) as
// an input method's commit of that character, which is how a person's input method
// hands it over.
void typeText(QWidget* target, const QString& text);

// The key a Western keyboard has for the character (its upper-case form, as the window
// system reports letters), or nothing (0) for a character typed through an input method.
int keyForCharacter(char32_t c);

}  // namespace hostui
