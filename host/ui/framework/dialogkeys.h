#pragma once

class CAdUiBaseDialog;
class QKeyEvent;

namespace hostui {

// The platform's dialog manager for the keys a modal dialog's focused control leaves to
// its dialog (a key the control ignored reaches the dialog's window): Enter presses the
// focused push button, else the template's default push button (BS_DEFPUSHBUTTON), else
// sends IDOK; Escape sends IDCANCEL. A control that answers WM_GETDLGCODE with
// DLGC_WANTALLKEYS keeps both. TRUE when the key was the dialog's.
bool handleDialogKey(CAdUiBaseDialog& dialog, const QKeyEvent& key);

// Alt with a caption's underlined letter (`&` in the caption) presses a button, ticks a
// check box or radio button, or, on a static text, focuses the control after it. Qt finds
// the letter (its mnemonic shortcuts); this makes the press immediate, as the platform's
// is, instead of Qt's animated click a moment later. Installed once on the application.
void watchMnemonics();

}  // namespace hostui
