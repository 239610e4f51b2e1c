#pragma once

#include "ui/framework/wnd.h"

#include <string>
#include <vector>

constexpr UINT MF_STRING = 0x0, MF_GRAYED = 0x1, MF_SEPARATOR = 0x800;
constexpr UINT TPM_LEFTALIGN = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_RETURNCMD = 0x100;

// A popup menu of the window framework.
class CMenu {
public:
    struct Entry {
        UINT id = 0;
        std::wstring text;
        bool separator = false;
    };

    BOOL CreatePopupMenu();
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCTSTR text = nullptr);
    BOOL DestroyMenu();
    int GetMenuItemCount() const;
    // Opens the menu at the screen point and runs it until an entry is chosen or it is
    // dismissed. The chosen entry's id goes to owner as WM_COMMAND, or with
    // TPM_RETURNCMD is the answer (0 for none).
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const CRect* rect = nullptr);
    const std::vector<Entry>& entries() const { return m_entries; }

private:
    bool m_made = false;
    std::vector<Entry> m_entries;
};
