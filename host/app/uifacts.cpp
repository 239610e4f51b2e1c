#include "app/uifacts.h"

#include "ap/docmanager.h"
#include "app/mainwindow.h"
#include "app/scriptverbs.h"
#include "app/uicontrols.h"
#include "ed/commandline.h"
#include "ui/framework/controls.h"
#include "ui/framework/dialog.h"
#include "ui/framework/dockbar.h"
#include "ui/framework/frame.h"
#include "ui/framework/imagelist.h"
#include "ui/framework/listview.h"
#include "ui/framework/tooltip.h"
#include "ui/render/drawingview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>

#include <algorithm>

namespace hostapp {

namespace {

QString quoted(const QString& text) { return "\"" + text + "\""; }

std::vector<QString> firstColumn(const Rows& rows) {
    std::vector<QString> texts;
    for (const auto& row : rows) texts.push_back(row.empty() ? QString() : row.front());
    return texts;
}

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
        // A row that asks its parent for its picture is asked now, as showing it would.
        const int image = list.imageOf(static_cast<int>(i));
        if (model.images && image >= 0 && image < model.images->count()) line += imageFact(model.images->image(image));
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

}  // namespace

void showFacts(const Control& c, const std::vector<UiWord>& words) {
    if (c.name == L"main") showMain(words);
    else if (c.name == L"palette") showPalette();
    else if (c.name == L"view") showView(c.widget);
    else showControl(c);
}

void showTip(const Control& c) {
    QString text = hostui::toolTipText(c.widget);
    text.replace("\r\n", "\\n").replace("\n", "\\n");
    printFact((QString("@ %1 tip ").arg(QString::fromStdWString(c.name)) + quoted(text)).toStdWString());
}

void printFact(const std::wstring& fact) {
    hosted::CommandLine& line = hosted::CommandLine::instance();
    const std::wstring& sofar = line.transcript();
    line.print((sofar.empty() || sofar.back() == L'\n' ? L"" : L"\n") + fact);
}

}  // namespace hostapp
