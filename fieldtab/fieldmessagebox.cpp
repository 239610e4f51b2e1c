#include "fieldtab/fieldmessagebox.h"

int fieldMessageBox(CWnd* parent, const std::wstring& text, UINT buttons) {
    return MessageBoxW(parent ? parent->GetSafeHwnd() : nullptr, text.c_str(), hostui::applicationName(), buttons);
}
