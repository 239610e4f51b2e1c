#include "app/uiverbs.h"

#include "app/uicontrols.h"
#include "app/uifacts.h"
#include "rx/numbertext.h"
#include "ui/framework/controls.h"
#include "ui/framework/dockbar.h"
#include "ui/framework/dragdrop.h"
#include "ui/framework/frame.h"
#include "ui/framework/keyboard.h"
#include "ui/framework/labeledit.h"
#include "ui/framework/listview.h"
#include "ui/framework/mouse.h"
#include "ui/render/drawingview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <optional>

namespace hostapp::uiverbs {

namespace {

void activate(QWidget* w) {
    QWidget* window = w->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
}

// "Alt+X" and "Ctrl+Z": a letter, in either case, with one modifier held.
std::optional<std::pair<Qt::Key, Qt::KeyboardModifiers>> letterWithModifier(const std::wstring& name) {
    static const std::pair<std::wstring, Qt::KeyboardModifier> modifiers[] = {{L"Alt+", Qt::AltModifier},
                                                                              {L"Ctrl+", Qt::ControlModifier}};
    for (const auto& [prefix, modifier] : modifiers) {
        if (name.size() != prefix.size() + 1 || !name.starts_with(prefix)) continue;
        const wchar_t letter = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(name.back())));
        if (letter < L'A' || letter > L'Z') return std::nullopt;
        return std::pair{static_cast<Qt::Key>(Qt::Key_A + (letter - L'A')), Qt::KeyboardModifiers(modifier)};
    }
    return std::nullopt;
}

std::optional<std::pair<Qt::Key, Qt::KeyboardModifiers>> keyNamed(const std::wstring& name) {
    static const std::vector<std::pair<std::wstring, std::pair<Qt::Key, Qt::KeyboardModifiers>>> keys = {
        {L"Tab", {Qt::Key_Tab, Qt::NoModifier}},         {L"Shift+Tab", {Qt::Key_Backtab, Qt::ShiftModifier}},
        {L"Up", {Qt::Key_Up, Qt::NoModifier}},           {L"Down", {Qt::Key_Down, Qt::NoModifier}},
        {L"Enter", {Qt::Key_Return, Qt::NoModifier}},    {L"Esc", {Qt::Key_Escape, Qt::NoModifier}},
        {L"Delete", {Qt::Key_Delete, Qt::NoModifier}},   {L"F2", {Qt::Key_F2, Qt::NoModifier}},
        {L"Home", {Qt::Key_Home, Qt::NoModifier}},       {L"End", {Qt::Key_End, Qt::NoModifier}},
        {L"PageUp", {Qt::Key_PageUp, Qt::NoModifier}},   {L"PageDown", {Qt::Key_PageDown, Qt::NoModifier}},
    };
    for (const auto& [n, k] : keys)
        if (n == name) return k;
    return letterWithModifier(name);
}

QAction* mainMenuEntry(const QString& path) {
    auto* main = qobject_cast<QMainWindow*>(hostui::mainFrameWidget());
    const QStringList parts = path.split('/');
    if (!main || parts.size() != 2) return nullptr;
    for (QAction* top : main->menuBar()->actions()) {
        if (!top->menu() || top->text().remove('&') != parts[0]) continue;
        for (QAction* entry : top->menu()->actions())
            if (!entry->isSeparator() && entry->text().remove('&') == parts[1]) return entry;
    }
    return nullptr;
}

// Sends one mouse event as the window system would, the buttons held included.
void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

bool dropEnd(VerbCall& v, hostui::PlannedDrop& drop) {
    if (v.words.size() == 4 && v.words[3].text == L"outside") drop.end = hostui::PlannedDrop::End::outside;
    else if (v.words.size() == 4 && v.words[3].text == L"cancel") drop.end = hostui::PlannedDrop::End::cancel;
    else if (v.words.size() == 5 && v.words[3].text == L"view") {
        auto* view = acedGetAcadDwgView() ? dynamic_cast<hostui::DrawingView*>(acedGetAcadDwgView()->widget()) : nullptr;
        const auto comma = v.words[4].text.find(L',');
        double x = 0, y = 0;
        if (!view || comma == std::wstring::npos ||
            !hostrx::parseNumber(v.words[4].text.substr(0, comma), x) || !hostrx::parseNumber(v.words[4].text.substr(comma + 1), y)) {
            v.why = L"drag ends with view X,Y, outside or cancel";
            return false;
        }
        // A point no pixel of any screen could show is no place to drop on.
        const QPointF pixel = view->toPixel(AcGePoint3d(x, y, 0));
        constexpr double kFarthest = 1 << 24;
        if (!(std::abs(pixel.x()) < kFarthest && std::abs(pixel.y()) < kFarthest)) {
            v.why = L"the drawing point " + v.words[4].text + L" lies beyond any pixel of the view";
            return false;
        }
        drop.end = hostui::PlannedDrop::End::view;
        drop.viewPixel = pixel.toPoint();
    } else {
        v.why = L"drag ends with view X,Y, outside or cancel";
        return false;
    }
    return true;
}

bool setTicked(VerbCall& v, bool ticked) {
    auto* button = qobject_cast<QAbstractButton*>(v.control.widget);
    if (!button || !button->isCheckable()) {
        v.why = v.control.name + L" is not a check box or a radio button";
        return false;
    }
    // A click ticks a radio button (and unticks the others of its group) but never
    // unticks it: that is the program's business, as a person cannot.
    if (button->isChecked() != ticked) {
        if (ticked || !qobject_cast<QRadioButton*>(button)) hostui::click(button);
        else button->setChecked(false);
    }
    return true;
}

// An entry of the open context menu, else of the main window's menus ("Marvolt/Burst Blocks").
bool windowMenuEntry(VerbCall& v) {
    if (v.words.size() < 2) {
        v.why = L"menu takes an entry";
        return false;
    }
    const QString entry = QString::fromStdWString(v.words[1].text);
    if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (QAction* a : popup->actions())
            if (!a->isSeparator() && a->text().remove('&') == entry) {
                popup->setActiveAction(a);
                a->trigger();
                popup->close();
                return true;
            }
    }
    if (QAction* action = mainMenuEntry(entry)) {
        action->trigger();
        return true;
    }
    v.why = L"no menu entry " + v.words[1].text;
    return false;
}

}  // namespace

bool click(VerbCall& v) {
    QWidget* target = nullptr;
    QPoint at;
    if (!clickPoint(v.control, v.words, 2, target, at, v.why)) return false;
    hostui::click(target, Qt::LeftButton, at);
    return true;
}

bool dclick(VerbCall& v) {
    QWidget* target = nullptr;
    QPoint at;
    if (!clickPoint(v.control, v.words, 2, target, at, v.why)) return false;
    hostui::doubleClick(target, at);
    return true;
}

bool rclick(VerbCall& v) {
    QWidget* target = nullptr;
    QPoint at;
    if (!clickPoint(v.control, v.words, 2, target, at, v.why)) return false;
    hostui::click(target, Qt::RightButton, at);
    return true;
}

bool header(VerbCall& v) {
    auto* list = dynamic_cast<hostui::ListViewWidget*>(v.control.widget);
    auto* table = list ? qobject_cast<QTableView*>(list->view()) : nullptr;
    const auto column = v.words.size() >= 3 ? wholeNumber(v.words[2].text) : std::nullopt;
    if (!table || !table->horizontalHeader()->isVisible() || !column || *column < 0 ||
        *column >= table->horizontalHeader()->count()) {
        v.why = v.control.name + L" has no column header " + (v.words.size() >= 3 ? v.words[2].text : std::wstring());
        return false;
    }
    QHeaderView* head = table->horizontalHeader();
    const int x = head->sectionViewportPosition(*column) + head->sectionSize(*column) / 2;
    hostui::click(head->viewport(), Qt::LeftButton, QPoint(x, head->height() / 2));
    return true;
}

bool drag(VerbCall& v) {
    hostui::PlannedDrop drop;
    QWidget* target = nullptr;
    QPoint at;
    if (v.words.size() < 4 || !dropEnd(v, drop) || !clickPoint(v.control, v.words, 2, target, at, v.why)) {
        if (v.why.empty()) v.why = L"drag takes C ITEM and where it ends";
        return false;
    }
    hostui::planNextDrop(drop);
    QPointer<QWidget> alive(target);
    sendMouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    const QPoint away = at + QPoint(QApplication::startDragDistance() + 4, 0);
    if (alive) sendMouse(target, QEvent::MouseMove, away, Qt::NoButton, Qt::LeftButton);
    if (alive) sendMouse(target, QEvent::MouseButtonRelease, away, Qt::LeftButton, Qt::NoButton);
    if (hostui::dropIsPlanned()) {
        hostui::planNextDrop(std::nullopt);
        v.why = L"no drag started from " + v.control.name;
        return false;
    }
    return true;
}

bool tab(VerbCall& v) {
    if (!dynamic_cast<hostui::TabControlWidget*>(v.control.widget) || v.words.size() < 3) {
        v.why = v.control.name + L" is not a tab control, or no tab is named";
        return false;
    }
    return click(v);
}

// On a list (without its label edit open) the letters go to the list as typed, its
// incremental search starting afresh as after a pause; nothing is emptied.
bool typeIntoList(hostui::ListViewWidget& list, const std::wstring& text) {
    activate(&list);
    list.view()->setFocus(Qt::OtherFocusReason);
    list.resetTypeAhead();
    // Key by key, any character (Qt's test keys know ASCII alone): the key code a
    // keyboard gives for it, and the character as its text.
    QPointer<QWidget> view(list.view());
    for (const QChar c : QString::fromStdWString(text)) {
        const int code = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, QString(c));
        if (view) QApplication::sendEvent(view, &press);
        if (view) QApplication::sendEvent(view, &release);
    }
    return true;
}

bool type(VerbCall& v) {
    QLineEdit* edit = editOf(v.control.widget);
    auto* list = dynamic_cast<hostui::ListViewWidget*>(v.control.widget);
    if (list && !list->labelEditor() && v.words.size() >= 3) return typeIntoList(*list, v.words[2].text);
    if (!edit || v.words.size() < 3) {
        v.why = v.control.name + L" takes no typing, or no text is given";
        return false;
    }
    activate(edit);
    edit->setFocus(Qt::OtherFocusReason);
    edit->clear();
    // The keys go to this edit even if a handler moves the focus meanwhile.
    hostui::typeText(edit, QString::fromStdWString(v.words[2].text));
    return true;
}

bool key(VerbCall& v) {
    const auto k = v.words.size() >= 3 ? keyNamed(v.words[2].text) : std::nullopt;
    if (!k) {
        v.why = L"no key is named " + (v.words.size() >= 3 ? v.words[2].text : std::wstring());
        return false;
    }
    QWidget* target = editOf(v.control.widget) ? static_cast<QWidget*>(editOf(v.control.widget)) : v.control.widget;
    auto* list = dynamic_cast<hostui::ListViewWidget*>(v.control.widget);
    if (list && !list->labelEditor()) target = list->view();
    if (QWidget* focus = QApplication::focusWidget(); !list && focus && v.control.widget->isAncestorOf(focus)) target = focus;
    hostui::pressKey(target, k->first, k->second);
    return true;
}

bool focus(VerbCall& v) {
    activate(v.control.widget);
    QWidget* target = editOf(v.control.widget) ? static_cast<QWidget*>(editOf(v.control.widget)) : v.control.widget;
    target->setFocus(Qt::OtherFocusReason);
    return true;
}

bool tick(VerbCall& v) { return setTicked(v, true); }
bool untick(VerbCall& v) { return setTicked(v, false); }

bool choose(VerbCall& v) {
    auto* combo = qobject_cast<QComboBox*>(v.control.widget);
    // Opening the drop-down takes the focus first; what that sets off runs before the choice.
    if (combo && !combo->hasFocus()) {
        activate(combo);
        combo->setFocus(Qt::MouseFocusReason);
        settleWindows();
    }
    const auto index = combo && v.words.size() >= 3 ? itemIndex(v.words[2], itemTexts(combo)) : std::nullopt;
    if (!index) {
        v.why = L"no item " + (v.words.size() >= 3 ? v.words[2].text : std::wstring()) + L" to choose in " + v.control.name;
        return false;
    }
    combo->setCurrentIndex(*index);
    emit combo->activated(*index);
    return true;
}

bool browse(VerbCall& v) {
    auto* button = v.control.widget->findChild<QToolButton*>("browse");
    if (!button) {
        v.why = v.control.name + L" has no browse button";
        return false;
    }
    hostui::click(button);
    return true;
}

bool close(VerbCall& v) {
    if (v.control.name == L"palette") {
        QWidget* title = paletteTitle();
        auto* button = title ? title->findChild<QToolButton*>("close") : nullptr;
        if (button) hostui::click(button);
        return button != nullptr;
    }
    if (!v.control.widget->isWindow()) {
        v.why = v.control.name + L" has no close box";
        return false;
    }
    v.control.widget->close();
    return true;
}

bool tip(VerbCall& v) {
    showTip(v.control);
    return true;
}

bool show(VerbCall& v) {
    showFacts(v.control, v.words);
    return true;
}

bool shot(VerbCall& v) {
    const UiWord& file = v.words.back();
    if (!file.quoted) {
        v.why = L"the picture's file name must be in quotes";
        return false;
    }
    QWidget* target = v.control.widget ? v.control.widget : hostui::mainFrameWidget();
    if (!target || !target->grab().save(QString::fromStdWString(file.text))) {
        v.why = L"cannot save the picture " + file.text;
        return false;
    }
    return true;
}

bool resize(VerbCall& v) {
    const auto width = v.words.size() >= 4 ? wholeNumber(v.words[2].text) : std::nullopt;
    const auto height = v.words.size() >= 4 ? wholeNumber(v.words[3].text) : std::nullopt;
    if (!width || !height || v.control.name != L"main") {
        v.why = L"resize takes main W H";
        return false;
    }
    v.control.widget->resize(*width, *height);
    return true;
}

bool dock(VerbCall& v) {
    CAdUiDockControlBar* bar = paletteBar();
    if (!bar || v.words.size() < 2) {
        v.why = L"there is no palette to dock";
        return false;
    }
    const std::wstring& where = v.words[1].text;
    if (where == L"left") bar->placeAt(Qt::LeftDockWidgetArea);
    else if (where == L"right") bar->placeAt(Qt::RightDockWidgetArea);
    else if (where == L"float") bar->setFloatingBar(true);
    else {
        v.why = L"dock takes left, right or float";
        return false;
    }
    settleWindows();
    if (CFrameWnd* frame = acedGetAcadFrame()) frame->RecalcLayout();
    if (v.words.size() >= 3) {
        const auto width = wholeNumber(v.words[2].text);
        if (!width || *width < 0) {
            v.why = L"the width must be a whole number of pixels";
            return false;
        }
        bar->dragEdgeTo(*width);
    }
    return true;
}

bool answer(VerbCall& v) {
    // The waiting window's caller goes on first; the windows settle after it.
    v.settle = false;
    if (!v.modals) {
        v.why = L"no message box, file dialog or dialog is open";
        return false;
    }
    return v.words.size() == 2 && v.modals->answer(v.words[1], v.why);
}

bool menu(VerbCall& v) {
    if (!v.modals || !v.modals->popupMenuOpen()) return windowMenuEntry(v);
    v.settle = false;
    return v.modals->choosePopupEntry(v.words, v.why);
}

}  // namespace hostapp::uiverbs
