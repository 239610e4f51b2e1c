#include "ui/framework/menu.h"

#include "ui/framework/modal.h"

BOOL CMenu::CreatePopupMenu() {
    m_made = true;
    m_entries.clear();
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCTSTR text) {
    if (!m_made) return FALSE;
    Entry entry;
    entry.id = static_cast<UINT>(id);
    entry.separator = (flags & MF_SEPARATOR) != 0;
    entry.text = text ? text : L"";
    m_entries.push_back(std::move(entry));
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    const bool had = m_made;
    m_made = false;
    m_entries.clear();
    return had ? TRUE : FALSE;
}

int CMenu::GetMenuItemCount() const { return m_made ? static_cast<int>(m_entries.size()) : -1; }

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const CRect*) {
    if (!m_made) return FALSE;
    std::vector<std::wstring> labels;
    for (const Entry& e : m_entries) labels.push_back(e.separator ? std::wstring() : e.text);
    const int chosen = hostui::modalDriver().popupMenu(labels, x, y);
    const UINT id = chosen >= 0 && chosen < static_cast<int>(m_entries.size()) && !m_entries[static_cast<std::size_t>(chosen)].separator
                        ? m_entries[static_cast<std::size_t>(chosen)].id
                        : 0;
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(id);
    if (id != 0 && owner) owner->SendMessage(WM_COMMAND, id, 0);
    return TRUE;
}
