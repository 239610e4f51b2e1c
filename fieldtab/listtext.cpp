#include "fieldtab/listtext.h"

namespace {

struct SortRequest {
    const CListCtrl* list;
    int column;
    bool ascending;
};

int compareRows(LPARAM first, LPARAM second, LPARAM data) {
    const auto& request = *reinterpret_cast<const SortRequest*>(data);
    const std::wstring a = request.list->GetItemText(static_cast<int>(first), request.column);
    const std::wstring b = request.list->GetItemText(static_cast<int>(second), request.column);
    const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) - CSTR_EQUAL;
    return request.ascending ? order : -order;
}

}  // namespace

std::wstring trimmed(const std::wstring& text) {
    const wchar_t* blanks = L" \t\r\n\v\f";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

void sortByColumnText(CListCtrl& list, int column, bool ascending) {
    CHeaderCtrl* header = list.GetHeaderCtrl();
    HDITEM item;
    item.mask = HDI_FORMAT;
    for (int c = 0; header && c < header->GetItemCount(); ++c) {
        header->GetItem(c, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        header->SetItem(c, &item);
    }
    const SortRequest request{&list, column, ascending};
    list.SortItemsEx(&compareRows, reinterpret_cast<LPARAM>(&request));
    if (header && header->GetItem(column, &item)) {
        item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        header->SetItem(column, &item);
    }
}
