#include "ui/framework/headerctrl.h"

#include "ui/framework/listview.h"

#include <QHeaderView>

#include <algorithm>
#include <cwchar>

namespace {

hostui::ListViewWidget* listOf(const CWnd& header) {
    for (QWidget* w = header.widget(); w; w = w->parentWidget())
        if (auto* list = dynamic_cast<hostui::ListViewWidget*>(w)) return list;
    return nullptr;
}

bool validColumn(const hostui::ListViewWidget* list, int index) {
    return list && index >= 0 && index < static_cast<int>(list->model().columns.size());
}

}  // namespace

int CHeaderCtrl::GetItemCount() const {
    const hostui::ListViewWidget* list = listOf(*this);
    return list ? static_cast<int>(list->model().columns.size()) : 0;
}

BOOL CHeaderCtrl::GetItem(int index, HDITEM* item) const {
    hostui::ListViewWidget* list = listOf(*this);
    if (!item || !validColumn(list, index)) return FALSE;
    if (item->mask & HDI_WIDTH) item->cxy = list->columnWidth(index);
    if (item->mask & HDI_FORMAT) {
        const int mark = list->sortMark(index);
        item->fmt = HDF_STRING | HDF_LEFT | (mark > 0 ? HDF_SORTUP : 0) | (mark < 0 ? HDF_SORTDOWN : 0);
    }
    if ((item->mask & HDI_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::wstring text = list->model().columns[static_cast<std::size_t>(index)].toStdWString();
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
        std::wmemcpy(item->pszText, text.c_str(), n);
        item->pszText[n] = L'\0';
    }
    return TRUE;
}

BOOL CHeaderCtrl::SetItem(int index, HDITEM* item) {
    hostui::ListViewWidget* list = listOf(*this);
    if (!item || !validColumn(list, index)) return FALSE;
    if (item->mask & HDI_WIDTH) list->setColumnWidth(index, item->cxy);
    if (item->mask & HDI_FORMAT)
        list->setSortMark(index, (item->fmt & HDF_SORTUP) ? 1 : ((item->fmt & HDF_SORTDOWN) ? -1 : 0));
    return TRUE;
}
