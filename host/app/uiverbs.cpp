#include "app/uiverbs.h"

#include "ap/docmanager.h"
#include "app/mainwindow.h"
#include "ed/commandline.h"
#include "rx/numbertext.h"
#include "rx/utf8.h"
#include "ui/framework/controls.h"
#include "ui/framework/dialog.h"
#include "ui/framework/dockbar.h"
#include "ui/framework/dragdrop.h"
#include "ui/framework/labeledit.h"
#include "ui/framework/listview.h"
#include "ui/framework/frame.h"
#include "ui/framework/tooltip.h"
#include "ui/render/drawingview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <optional>

namespace hostapp {

namespace {

// --- naming controls and items ---

struct Control {
    QWidget* widget = nullptr;
    std::wstring name;
};

CAdUiDockControlBar* paletteBar() {
    CFrameWnd* frame = acedGetAcadFrame();
    if (!frame) return nullptr;
    for (CAdUiDockControlBar* bar : frame->bars())
        if (bar->dock()) return bar;
    return nullptr;
}

std::optional<int> number(const std::wstring& text) {
    long long value = 0;
    if (!hostrx::parseInteger(hostrx::wideToUtf8(text), value) || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

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

bool resolve(const std::wstring& name, Control& out, std::wstring& why) {
    out.name = name;
    if (name == L"main") out.widget = hostui::mainFrameWidget();
    else if (name == L"view") out.widget = acedGetAcadDwgView() ? acedGetAcadDwgView()->widget() : nullptr;
    else if (name == L"palette") out.widget = paletteBar() ? paletteBar()->dock() : nullptr;
    else {
        const auto colon = name.find(L':');
        const auto templateId = number(name.substr(0, colon));
        const auto controlId = colon == std::wstring::npos ? std::optional<int>(0) : number(name.substr(colon + 1));
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

// The edit a person types into: the control itself, or the edit inside it; for a list,
// its open label edit.
QLineEdit* editOf(QWidget* w) {
    if (auto* list = dynamic_cast<hostui::ListViewWidget*>(w)) return list->labelEditor();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e;
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->lineEdit();
    return w->findChild<QLineEdit*>();
}

QString quoted(const QString& text) { return "\"" + text + "\""; }

using Rows = std::vector<std::vector<QString>>;

// An item named by its text in quotes (the first row from the top with that text in
// any column) or by "#N", its row from the top.
std::optional<int> itemIndex(const UiWord& item, const Rows& rows) {
    if (!item.quoted && item.text.starts_with(L"#")) {
        const auto n = number(item.text.substr(1));
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

std::vector<QString> firstColumn(const Rows& rows) {
    std::vector<QString> texts;
    for (const auto& row : rows) texts.push_back(row.empty() ? QString() : row.front());
    return texts;
}

// --- what a person does ---

void activate(QWidget* w) {
    QWidget* window = w->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
}

void personDoubleClick(QWidget* w, QPoint at) {
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

QWidget* paletteTitle() { return paletteBar() ? paletteBar()->dock()->titleBarWidget() : nullptr; }

// Where a click on the control or one of its items lands.
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

std::optional<std::pair<Qt::Key, Qt::KeyboardModifiers>> keyNamed(const std::wstring& name) {
    static const std::vector<std::pair<std::wstring, std::pair<Qt::Key, Qt::KeyboardModifiers>>> keys = {
        {L"Tab", {Qt::Key_Tab, Qt::NoModifier}},         {L"Shift+Tab", {Qt::Key_Backtab, Qt::ShiftModifier}},
        {L"Up", {Qt::Key_Up, Qt::NoModifier}},           {L"Down", {Qt::Key_Down, Qt::NoModifier}},
        {L"Enter", {Qt::Key_Return, Qt::NoModifier}},    {L"Esc", {Qt::Key_Escape, Qt::NoModifier}},
        {L"Delete", {Qt::Key_Delete, Qt::NoModifier}},   {L"F2", {Qt::Key_F2, Qt::NoModifier}},
    };
    for (const auto& [n, k] : keys)
        if (n == name) return k;
    return std::nullopt;
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

// --- "@ui show" ---

// One line per open drawing, named as its tab shows it.
void showDocuments(QMainWindow* main) {
    const auto* window = qobject_cast<MainWindow*>(main);
    const QTabBar* tabs = window ? window->documentTabs() : nullptr;
    for (int i = 0; i < acDocManager->documentCount(); ++i) {
        AcApDocument* doc = acDocManager->document(i);
        QString name = tabs && i < tabs->count() ? tabs->tabText(i) : QString::fromWCharArray(doc->fileName());
        if (doc->isModified() && name.endsWith('*')) name.chop(1);
        printFact(QString("@ document %1 modified=%2%3")
                      .arg(quoted(name))
                      .arg(doc->isModified() ? 1 : 0)
                      .arg(doc == acDocManager->curDocument() ? " current" : "")
                      .toStdWString());
    }
}

void showMenu(const QList<QAction*>& menus, const QString& wanted) {
    for (QAction* top : menus) {
        if (!top->menu() || top->text().remove('&') != wanted) continue;
        const auto entries = top->menu()->actions();
        for (int i = 0; i < entries.size(); ++i) {
            const QString head = QString("@ menu %1 #%2 ").arg(quoted(wanted)).arg(i);
            if (entries[i]->isSeparator()) printFact((head + "---").toStdWString());
            else
                printFact((head + quoted(entries[i]->text().remove('&')) + " " +
                           quoted(entries[i]->data().toString()))
                              .toStdWString());
        }
    }
}

void showMain(const std::vector<UiWord>& words) {
    auto* main = qobject_cast<QMainWindow*>(hostui::mainFrameWidget());
    printFact(L"@ main " + std::to_wstring(main->width()) + L" " + std::to_wstring(main->height()));
    const auto menus = main->menuBar()->actions();
    for (int i = 0; i < menus.size(); ++i)
        printFact(QString("@ menubar #%1 %2").arg(i).arg(quoted(menus[i]->text().remove('&'))).toStdWString());
    if (words.size() >= 3) showMenu(menus, QString::fromStdWString(words[2].text));
    showDocuments(main);
}

void showPalette() {
    CAdUiDockControlBar* bar = paletteBar();
    QDockWidget* dock = bar->dock();
    auto* tabs = dock->findChild<hostui::TabControlWidget*>();
    int page = -1;
    if (tabs) {
        // The pages are the tab control's sibling windows, in the order they were made.
        int index = 0;
        for (QObject* sibling : tabs->parentWidget()->children()) {
            auto* w = dynamic_cast<hostui::WindowWidget*>(sibling);
            if (!w) continue;
            if (w->isVisibleTo(tabs->parentWidget())) page = index;
            ++index;
        }
    }
    printFact(QString("@ palette docked=%1 width=%2 height=%3 collapsed=%4 tabs=%5 page=%6 visible=%7")
                  .arg(bar->dockSide())
                  .arg(dock->width())
                  .arg(dock->height())
                  .arg(bar->IsCollapsed() ? 1 : 0)
                  .arg(tabs && !tabs->tabsOnRight() ? "left" : "right")
                  .arg(page)
                  .arg(dock->isVisible() ? 1 : 0)
                  .toStdWString());
}

void showView(QWidget* w) {
    auto* view = dynamic_cast<hostui::DrawingView*>(w);
    AcApDocument* doc = curDoc();
    const QString path = doc ? QString::fromWCharArray(doc->fileName()) : QString();
    printFact(QString("@ view entities=%1 path=%2").arg(view ? view->entityCount() : 0).arg(quoted(path)).toStdWString());
    if (!view) return;
    // One fact a line: an MText's paragraph breaks are written as \n, as in tips.
    for (const std::wstring& text : view->displayedTexts())
        printFact(L"@ view text \"" + QString::fromStdWString(text).replace("\n", "\\n").toStdWString() + L"\"");
}

QString imageFact(const QImage& image) {
    if (image.isNull()) return {};
    return hostui::isBlankImage(image) ? QString(" image=blank")
                                       : QString(" image=%1x%2").arg(image.width()).arg(image.height());
}

QString comboImageFact(QWidget* w, int index) {
    auto* combo = qobject_cast<QComboBox*>(w);
    const QIcon icon = combo ? combo->itemIcon(index) : QIcon();
    if (icon.isNull()) return {};
    const QList<QSize> sizes = icon.availableSizes();
    return imageFact(icon.pixmap(sizes.isEmpty() ? combo->iconSize() : sizes.front()).toImage());
}

void showList(const QString& name, hostui::ListViewWidget& list) {
    const hostui::ListModel& model = list.model();
    printFact(QString("@ %1 rows=%2").arg(name).arg(model.items.size()).toStdWString());
    for (std::size_t c = 0; c < model.columns.size(); ++c) {
        const int mark = list.sortMark(static_cast<int>(c));
        printFact(QString("@ %1 header #%2 %3 sort=%4")
                      .arg(name)
                      .arg(c)
                      .arg(quoted(model.columns[c]))
                      .arg(mark > 0 ? "up" : (mark < 0 ? "down" : "none"))
                      .toStdWString());
    }
    for (std::size_t i = 0; i < model.items.size(); ++i) {
        const hostui::ListItem& item = model.items[i];
        QString line = QString("@ %1 #%2").arg(name).arg(i);
        const std::size_t columns = std::max<std::size_t>(1, std::max(model.columns.size(), item.texts.size()));
        for (std::size_t c = 0; c < columns; ++c) line += " " + quoted(c < item.texts.size() ? item.texts[c] : QString());
        if (item.state & LVIS_SELECTED) line += " selected";
        if (static_cast<int>(i) == list.selectionMark()) line += " mark";
        if (model.images && item.image >= 0 && item.image < model.images->count())
            line += imageFact(model.images->image(item.image));
        printFact(line.toStdWString());
    }
}

void showControl(const Control& c) {
    const QString name = QString::fromStdWString(c.name);
    QWidget* w = c.widget;
    if (auto* dialog = dynamic_cast<CAdUiBaseDialog*>(CWnd::FromHandle(w)); dialog && c.name.find(L':') == std::wstring::npos) {
        printFact(QString("@ %1 title %2 visible=%3").arg(name, quoted(w->windowTitle())).arg(w->isVisible() ? 1 : 0).toStdWString());
        return;
    }
    if (auto* list = dynamic_cast<hostui::ListViewWidget*>(w)) {
        showList(name, *list);
        return;
    }
    const std::vector<QString> items = firstColumn(itemTexts(w));
    if (dynamic_cast<hostui::TabControlWidget*>(w) || qobject_cast<QComboBox*>(w)) {
        int current = -1;
        if (auto* tabs = dynamic_cast<hostui::TabControlWidget*>(w)) current = tabs->current();
        if (auto* combo = qobject_cast<QComboBox*>(w)) current = combo->currentIndex();
        printFact(QString("@ %1 rows=%2").arg(name).arg(items.size()).toStdWString());
        for (std::size_t i = 0; i < items.size(); ++i)
            printFact(QString("@ %1 #%2 %3%4%5")
                          .arg(name)
                          .arg(i)
                          .arg(quoted(items[i]))
                          .arg(static_cast<int>(i) == current ? " selected" : "")
                          .arg(comboImageFact(w, static_cast<int>(i)))
                          .toStdWString());
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable())
            printFact(QString("@ %1 %2").arg(name, quoted(combo->currentText())).toStdWString());
        return;
    }
    QString text;
    QString state;
    if (QLineEdit* edit = editOf(w)) text = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        text = button->text();
        if (button->isCheckable()) state = button->isChecked() ? " checked" : " unchecked";
    } else text = w->windowTitle();
    if (!w->isEnabled()) state += " disabled";
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == w || w->isAncestorOf(focus))) state += " focus";
    printFact(QString("@ %1 %2%3").arg(name, quoted(text), state).toStdWString());
}

// --- the actions ---

using Action = bool (*)(const std::vector<UiWord>&, const Control&, std::wstring&);

bool click(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    QWidget* target = nullptr;
    QPoint at;
    if (!clickPoint(c, w, 2, target, at, why)) return false;
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    return true;
}

bool dclick(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    QWidget* target = nullptr;
    QPoint at;
    if (!clickPoint(c, w, 2, target, at, why)) return false;
    personDoubleClick(target, at);
    return true;
}

bool rclick(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    QWidget* target = nullptr;
    QPoint at;
    if (!clickPoint(c, w, 2, target, at, why)) return false;
    QTest::mouseClick(target, Qt::RightButton, {}, at);
    return true;
}

bool header(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    auto* list = dynamic_cast<hostui::ListViewWidget*>(c.widget);
    auto* table = list ? qobject_cast<QTableView*>(list->view()) : nullptr;
    const auto column = w.size() >= 3 ? number(w[2].text) : std::nullopt;
    if (!table || !table->horizontalHeader()->isVisible() || !column || *column < 0 ||
        *column >= table->horizontalHeader()->count()) {
        why = c.name + L" has no column header " + (w.size() >= 3 ? w[2].text : std::wstring());
        return false;
    }
    QHeaderView* head = table->horizontalHeader();
    const int x = head->sectionViewportPosition(*column) + head->sectionSize(*column) / 2;
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, QPoint(x, head->height() / 2));
    return true;
}

// Sends one mouse event as the window system would, the buttons held included.
void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

bool dropEnd(const std::vector<UiWord>& w, hostui::PlannedDrop& drop, std::wstring& why) {
    if (w.size() == 4 && w[3].text == L"outside") drop.end = hostui::PlannedDrop::End::outside;
    else if (w.size() == 4 && w[3].text == L"cancel") drop.end = hostui::PlannedDrop::End::cancel;
    else if (w.size() == 5 && w[3].text == L"view") {
        auto* view = acedGetAcadDwgView() ? dynamic_cast<hostui::DrawingView*>(acedGetAcadDwgView()->widget()) : nullptr;
        const auto comma = w[4].text.find(L',');
        double x = 0, y = 0;
        if (!view || comma == std::wstring::npos ||
            !hostrx::parseNumber(w[4].text.substr(0, comma), x) || !hostrx::parseNumber(w[4].text.substr(comma + 1), y)) {
            why = L"drag ends with view X,Y, outside or cancel";
            return false;
        }
        drop.end = hostui::PlannedDrop::End::view;
        drop.viewPixel = view->toPixel(AcGePoint3d(x, y, 0)).toPoint();
    } else {
        why = L"drag ends with view X,Y, outside or cancel";
        return false;
    }
    return true;
}

bool drag(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    hostui::PlannedDrop drop;
    QWidget* target = nullptr;
    QPoint at;
    if (w.size() < 4 || !dropEnd(w, drop, why) || !clickPoint(c, w, 2, target, at, why)) {
        if (why.empty()) why = L"drag takes C ITEM and where it ends";
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
        why = L"no drag started from " + c.name;
        return false;
    }
    return true;
}

bool tab(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    if (!dynamic_cast<hostui::TabControlWidget*>(c.widget) || w.size() < 3) {
        why = c.name + L" is not a tab control, or no tab is named";
        return false;
    }
    return click(w, c, why);
}

bool type(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    QLineEdit* edit = editOf(c.widget);
    if (!edit || w.size() < 3) {
        why = c.name + L" takes no typing, or no text is given";
        return false;
    }
    activate(edit);
    edit->setFocus(Qt::OtherFocusReason);
    edit->clear();
    // The keys go to this edit even if a handler moves the focus meanwhile.
    QTest::keyClicks(edit, QString::fromStdWString(w[2].text));
    return true;
}

bool key(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    const auto k = w.size() >= 3 ? keyNamed(w[2].text) : std::nullopt;
    if (!k) {
        why = L"no key is named " + (w.size() >= 3 ? w[2].text : std::wstring());
        return false;
    }
    QWidget* target = editOf(c.widget) ? static_cast<QWidget*>(editOf(c.widget)) : c.widget;
    auto* list = dynamic_cast<hostui::ListViewWidget*>(c.widget);
    if (list && !list->labelEditor()) target = list->view();
    if (QWidget* focus = QApplication::focusWidget(); !list && focus && c.widget->isAncestorOf(focus)) target = focus;
    QTest::keyClick(target, k->first, k->second);
    return true;
}

bool focus(const std::vector<UiWord>&, const Control& c, std::wstring&) {
    activate(c.widget);
    QWidget* target = editOf(c.widget) ? static_cast<QWidget*>(editOf(c.widget)) : c.widget;
    target->setFocus(Qt::OtherFocusReason);
    return true;
}

bool setTicked(const Control& c, bool ticked, std::wstring& why) {
    auto* button = qobject_cast<QAbstractButton*>(c.widget);
    if (!button || !button->isCheckable()) {
        why = c.name + L" is not a check box or a radio button";
        return false;
    }
    // A click ticks a radio button (and unticks the others of its group) but never
    // unticks it: that is the program's business, as a person cannot.
    if (button->isChecked() != ticked) {
        if (ticked || !qobject_cast<QRadioButton*>(button)) QTest::mouseClick(button, Qt::LeftButton);
        else button->setChecked(false);
    }
    return true;
}

bool tick(const std::vector<UiWord>&, const Control& c, std::wstring& why) { return setTicked(c, true, why); }
bool untick(const std::vector<UiWord>&, const Control& c, std::wstring& why) { return setTicked(c, false, why); }

bool choose(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    auto* combo = qobject_cast<QComboBox*>(c.widget);
    // Opening the drop-down takes the focus first; what that sets off runs before the choice.
    if (combo && !combo->hasFocus()) {
        activate(combo);
        combo->setFocus(Qt::MouseFocusReason);
        settleWindows();
    }
    const auto index = combo && w.size() >= 3 ? itemIndex(w[2], itemTexts(combo)) : std::nullopt;
    if (!index) {
        why = L"no item " + (w.size() >= 3 ? w[2].text : std::wstring()) + L" to choose in " + c.name;
        return false;
    }
    combo->setCurrentIndex(*index);
    emit combo->activated(*index);
    return true;
}

bool browse(const std::vector<UiWord>&, const Control& c, std::wstring& why) {
    auto* button = c.widget->findChild<QToolButton*>("browse");
    if (!button) {
        why = c.name + L" has no browse button";
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool close(const std::vector<UiWord>&, const Control& c, std::wstring& why) {
    if (c.name == L"palette") {
        QWidget* title = paletteTitle();
        auto* button = title ? title->findChild<QToolButton*>("close") : nullptr;
        if (button) QTest::mouseClick(button, Qt::LeftButton);
        return button != nullptr;
    }
    if (!c.widget->isWindow()) {
        why = c.name + L" has no close box";
        return false;
    }
    c.widget->close();
    return true;
}

bool tip(const std::vector<UiWord>&, const Control& c, std::wstring&) {
    QString text = hostui::toolTipText(c.widget);
    text.replace("\r\n", "\\n").replace("\n", "\\n");
    printFact((QString("@ %1 tip ").arg(QString::fromStdWString(c.name)) + quoted(text)).toStdWString());
    return true;
}

bool show(const std::vector<UiWord>& w, const Control& c, std::wstring&) {
    if (c.name == L"main") showMain(w);
    else if (c.name == L"palette") showPalette();
    else if (c.name == L"view") showView(c.widget);
    else showControl(c);
    return true;
}

bool shot(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    const UiWord& file = w.back();
    if (!file.quoted) {
        why = L"the picture's file name must be in quotes";
        return false;
    }
    QWidget* target = c.widget ? c.widget : hostui::mainFrameWidget();
    if (!target || !target->grab().save(QString::fromStdWString(file.text))) {
        why = L"cannot save the picture " + file.text;
        return false;
    }
    return true;
}

bool resize(const std::vector<UiWord>& w, const Control& c, std::wstring& why) {
    const auto width = w.size() >= 4 ? number(w[2].text) : std::nullopt;
    const auto height = w.size() >= 4 ? number(w[3].text) : std::nullopt;
    if (!width || !height || c.name != L"main") {
        why = L"resize takes main W H";
        return false;
    }
    c.widget->resize(*width, *height);
    return true;
}

bool dock(const std::vector<UiWord>& w, std::wstring& why) {
    CAdUiDockControlBar* bar = paletteBar();
    if (!bar || w.size() < 2) {
        why = L"there is no palette to dock";
        return false;
    }
    const std::wstring& where = w[1].text;
    if (where == L"left") bar->placeAt(Qt::LeftDockWidgetArea);
    else if (where == L"right") bar->placeAt(Qt::RightDockWidgetArea);
    else if (where == L"float") bar->setFloatingBar(true);
    else {
        why = L"dock takes left, right or float";
        return false;
    }
    settleWindows();
    if (CFrameWnd* frame = acedGetAcadFrame()) frame->RecalcLayout();
    if (w.size() >= 3) {
        const auto width = number(w[2].text);
        if (!width || *width < 0) {
            why = L"the width must be a whole number of pixels";
            return false;
        }
        bar->dragEdgeTo(*width);
    }
    return true;
}

bool menu(const std::vector<UiWord>& w, std::wstring& why) {
    if (w.size() < 2) {
        why = L"menu takes an entry";
        return false;
    }
    const QString entry = QString::fromStdWString(w[1].text);
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
    why = L"no menu entry " + w[1].text;
    return false;
}

struct Verb {
    const wchar_t* name;
    Action action;
};

constexpr Verb kVerbs[] = {
    {L"click", &click}, {L"dclick", &dclick}, {L"tab", &tab},       {L"type", &type},       {L"key", &key},
    {L"focus", &focus}, {L"tick", &tick},     {L"untick", &untick}, {L"choose", &choose},   {L"browse", &browse},
    {L"close", &close}, {L"tip", &tip},       {L"show", &show},     {L"resize", &resize},   {L"select", &click},
    {L"rclick", &rclick}, {L"header", &header}, {L"drag", &drag},
};

}  // namespace

bool splitUiWords(const std::wstring& line, std::vector<UiWord>& words) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (iswspace(static_cast<wint_t>(line[i]))) {
            ++i;
            continue;
        }
        UiWord word;
        if (line[i] == L'"') {
            word.quoted = true;
            ++i;
            for (; i < line.size() && line[i] != L'"'; ++i) {
                if (line[i] == L'\\' && i + 1 < line.size() && line[i + 1] == L'"') ++i;
                word.text += line[i];
            }
            if (i >= line.size()) return false;
            ++i;
        } else {
            while (i < line.size() && !iswspace(static_cast<wint_t>(line[i]))) word.text += line[i++];
        }
        words.push_back(std::move(word));
    }
    return true;
}

namespace {

bool onlyLooks(const std::wstring& verb) { return verb == L"show" || verb == L"tip" || verb == L"shot"; }

bool reachable(const QWidget* widget, const ModalReach& reach) {
    if (!reach.open) return true;
    return reach.window && widget && (widget == reach.window || reach.window->isAncestorOf(widget));
}

}  // namespace

bool actOnWindows(const std::vector<UiWord>& words, std::wstring& why, const ModalReach& reach) {
    if (words.empty()) {
        why = L"an empty @ui line";
        return false;
    }
    const std::wstring& verb = words[0].text;
    bool done = false;
    if (verb == L"dock" && reach.open) {
        why = L"the main window cannot be used while a modal window is open";
        return false;
    }
    if (verb == L"dock") done = dock(words, why);
    else if (verb == L"menu") done = menu(words, why);
    else if (verb == L"shot" && (words.size() == 2)) {
        Control main;
        main.name = L"main";
        main.widget = hostui::mainFrameWidget();
        done = shot(words, main, why);
    } else {
        const auto it = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                     [&](const Verb& v) { return verb == v.name; });
        const bool isShot = verb == L"shot";
        if (it == std::end(kVerbs) && !isShot) {
            why = L"no @ui action is named " + verb;
            return false;
        }
        Control control;
        if (words.size() < 2 || !resolve(words[1].text, control, why)) {
            if (why.empty()) why = L"the @ui " + verb + L" line names no control";
            return false;
        }
        if (!onlyLooks(verb) && !reachable(control.widget, reach)) {
            why = control.name + L" is behind the open modal window";
            return false;
        }
        done = isShot ? shot(words, control, why) : it->action(words, control, why);
    }
    settleWindows();
    return done;
}

void settleWindows() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void printFact(const std::wstring& fact) {
    hosted::CommandLine& line = hosted::CommandLine::instance();
    const std::wstring& sofar = line.transcript();
    line.print((sofar.empty() || sofar.back() == L'\n' ? L"" : L"\n") + fact);
}

}  // namespace hostapp
