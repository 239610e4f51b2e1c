#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

class CAdUiDockControlBar;
class QLineEdit;
class QPoint;
class QWidget;

namespace hostapp {

struct UiWord;

// A control a "@ui" line names, as found now: TEMPLATE:ID, TEMPLATE, view, palette or main.
struct Control {
    QWidget* widget = nullptr;
    std::wstring name;
};

// Finds the control named; false with why when there is none now.
bool findControl(const std::wstring& name, Control& out, std::wstring& why);

// The docking bar of the module's palette, or null.
CAdUiDockControlBar* paletteBar();
// The palette's title bar, where its own controls (close) are.
QWidget* paletteTitle();

// A whole number written in a "@ui" line.
std::optional<int> wholeNumber(const std::wstring& text);

// The edit a person types into: the control itself, or the edit inside it; for a list,
// its open label edit. Null when there is none.
QLineEdit* editOf(QWidget* w);

// The texts of the items of a list (every column), a combo box or a tab control.
using Rows = std::vector<std::vector<QString>>;
Rows itemTexts(QWidget* w);

// An item named by its text in quotes (the first row from the top with that text in
// any column) or by "#N", its row from the top.
std::optional<int> itemIndex(const UiWord& item, const Rows& rows);

// Where a click on the control, or on the item named by words[itemAt] when there is one,
// lands: a list's empty space without an item, the palette's title for the palette.
bool clickPoint(const Control& c, const std::vector<UiWord>& words, std::size_t itemAt, QWidget*& target, QPoint& at,
                std::wstring& why);

}  // namespace hostapp
