#include "app/uicontrols.h"

#include "app/scriptverbs.h"
#include "rx/numbertext.h"
#include "rx/utf8.h"
#include "ui/framework/controls.h"
#include "ui/framework/dialog.h"
#include "ui/framework/dockbar.h"
#include "ui/framework/frame.h"
#include "ui/framework/labeledit.h"
#include "ui/framework/listview.h"
#include "ui/render/drawingview.h"

#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>

#include <algorithm>
#include <climits>

namespace hostapp {

namespace {

// The live dialog made from a template, the visible one first, the newest first.
CAdUiBaseDialog* dialogOf(int templateId) {
    const auto& all = CAdUiBaseDialog::liveDialogs();
    for (const bool visibleOnly : {true, false})
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (static_cast<int>((*it)->templateId()) == templateId && (*it)->widget() &&
                (!visibleOnly || (*it)->widget()->isVisible()))
                return *it;
    return nullptr;
}

}  // namespace

CAdUiDockControlBar* paletteBar() {
    CFrameWnd* frame = acedGetAcadFrame();
    if (!frame) return nullptr;
    for (CAdUiDockControlBar* bar : frame->bars())
        if (bar->dock()) return bar;
    return nullptr;
}

QWidget* paletteTitle() { return paletteBar() ? paletteBar()->dock()->titleBarWidget() : nullptr; }

std::optional<int> wholeNumber(const std::wstring& text) {
    long long value = 0;
    if (!hostrx::parseInteger(hostrx::wideToUtf8(text), value) || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

bool findControl(const std::wstring& name, Control& out, std::wstring& why) {
    out.name = name;
    if (name == L"main") out.widget = hostui::mainFrameWidget();
    else if (name == L"view") out.widget = acedGetAcadDwgView() ? acedGetAcadDwgView()->widget() : nullptr;
    else if (name == L"palette") out.widget = paletteBar() ? paletteBar()->dock() : nullptr;
    else {
        const auto colon = name.find(L':');
        const auto templateId = wholeNumber(name.substr(0, colon));
        const auto controlId = colon == std::wstring::npos ? std::optional<int>(0) : wholeNumber(name.substr(colon + 1));
        if (!templateId || !controlId) {
            why = L"no control is named " + name + L" (TEMPLATE:ID, TEMPLATE, view, palette or main)";
            return false;
        }
        CAdUiBaseDialog* dialog = dialogOf(*templateId);
        if (!dialog) {
            why = L"no window of template " + std::to_wstring(*templateId) + L" is open";
            return false;
        }
        CWnd* control = colon == std::wstring::npos ? dialog : dialog->GetDlgItem(*controlId);
        out.widget = control ? control->widget() : nullptr;
    }
    if (!out.widget) why = L"there is no " + name + L" now";
    return out.widget != nullptr;
}

QLineEdit* editOf(QWidget* w) {
    if (auto* list = dynamic_cast<hostui::ListViewWidget*>(w)) return list->labelEditor();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e;
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->lineEdit();
    return w->findChild<QLineEdit*>();
}

std::optional<int> itemIndex(const UiWord& item, const Rows& rows) {
    if (!item.quoted && item.text.starts_with(L"#")) {
        const auto n = wholeNumber(item.text.substr(1));
        if (n && *n >= 0 && *n < static_cast<int>(rows.size())) return n;
        return std::nullopt;
    }
    const QString wanted = QString::fromStdWString(item.text);
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const std::vector<QString>& row) {
        return std::find(row.begin(), row.end(), wanted) != row.end();
    });
    if (it == rows.end()) return std::nullopt;
    return static_cast<int>(it - rows.begin());
}

Rows itemTexts(QWidget* w) {
    Rows rows;
    if (auto* tabs = dynamic_cast<hostui::TabControlWidget*>(w))
        for (int i = 0; i < tabs->count(); ++i) rows.push_back({tabs->itemText(i)});
    if (auto* combo = qobject_cast<QComboBox*>(w))
        for (int i = 0; i < combo->count(); ++i) rows.push_back({combo->itemText(i)});
    if (auto* list = dynamic_cast<hostui::ListViewWidget*>(w))
        for (const hostui::ListItem& item : list->model().items) rows.push_back(item.texts);
    return rows;
}

bool clickPoint(const Control& c, const std::vector<UiWord>& words, std::size_t itemAt, QWidget*& target,
                QPoint& at, std::wstring& why) {
    target = c.widget;
    if (c.name == L"palette") target = paletteTitle();
    if (!target) {
        why = L"the palette has no title to click";
        return false;
    }
    at = QPoint(std::min(8, target->width() / 2), target->height() / 2);
    if (c.name != L"palette") at = target->rect().center();
    auto* list = dynamic_cast<hostui::ListViewWidget*>(c.widget);
    if (list) {
        // Empty space: below the last row, or at the bottom corner of a full list.
        target = list->mouseTarget();
        const int rows = list->model().rowCount();
        const QRect last = rows > 0 ? list->itemRect(rows - 1) : QRect();
        at = rows > 0 && last.bottom() + 4 < target->height() ? QPoint(2, last.bottom() + 3)
                                                              : QPoint(target->width() - 3, target->height() - 3);
    }
    if (words.size() <= itemAt) return true;
    const auto index = itemIndex(words[itemAt], itemTexts(c.widget));
    if (!index) {
        why = L"no item " + words[itemAt].text + L" in " + c.name;
        return false;
    }
    if (auto* tabs = dynamic_cast<hostui::TabControlWidget*>(c.widget)) at = tabs->tabRect(*index).center();
    if (list) at = list->itemRect(*index).center();
    return true;
}

}  // namespace hostapp
