#include "hostwindow.h"

#include "palette/palettecommands.h"
#include "frame/textboxdialog.h"
#include "palette/zeldockcontrolbar.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

class Palette : public ::testing::Test {
protected:
    void TearDown() override {
        destroyPalette();
        HostWindow::settle();
    }

    static CZelDockControlBar& bar() { return *thePalette(); }
    static QDockWidget& dock() { return *bar().dock(); }
    static int width() { return dock().width(); }
    static hostui::TabControlWidget& tabs() {
        return *dynamic_cast<hostui::TabControlWidget*>(bar().tabHost().tabControl().widget());
    }
    static bool pageShown(int page) {
        CAcUiDialog& p = page == 0 ? static_cast<CAcUiDialog&>(bar().tabHost().blockPage())
                                   : static_cast<CAcUiDialog&>(bar().tabHost().fieldPage());
        return p.IsWindowVisible();
    }
    static void show() {
        marvoltShowPalette();
        HostWindow::settle();
    }
    static void toggle() {
        marvoltTogglePalette();
        HostWindow::settle();
    }
    static void clickTab(int index) {
        QTest::mouseClick(&tabs(), Qt::LeftButton, {}, tabs().tabRect(index).center());
        HostWindow::settle();
    }
    void dockAt(Qt::DockWidgetArea area) {
        bar().placeAt(area);
        acedGetAcadFrame()->RecalcLayout();
        HostWindow::settle();
    }
    static QWidget& title() { return *dock().titleBarWidget(); }
    // What a person's double-click delivers: a click, then the double-click and release.
    static void doubleClickTitle() {
        QTest::mouseClick(&title(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(&title(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&title(), Qt::LeftButton, {}, QPoint(5, 5));
        HostWindow::settle();
    }

    HostWindow host;
};

TEST_F(Palette, FirstShowDocksLeftWithTheBlockPageAndTabsOnTheRight) {
    show();
    ASSERT_NE(thePalette(), nullptr);
    EXPECT_TRUE(dock().isVisible());
    EXPECT_FALSE(dock().isFloating());
    EXPECT_EQ(host.main().dockWidgetArea(&dock()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(pageShown(0));
    EXPECT_FALSE(pageShown(1));
    EXPECT_TRUE(tabs().tabsOnRight());
    ASSERT_EQ(tabs().count(), 2);
    EXPECT_EQ(tabs().itemText(0), " Block Explorer ");
    EXPECT_EQ(tabs().itemText(1), " Field Manager ");
    EXPECT_EQ(bar().tabHost().blockPage().widget()->x(), 0);
}

TEST_F(Palette, DockedRightPutsTheTabsLeftAndShiftsThePages) {
    show();
    dockAt(Qt::RightDockWidgetArea);
    EXPECT_FALSE(tabs().tabsOnRight());
    EXPECT_EQ(bar().tabHost().blockPage().widget()->x(), 23);
    EXPECT_EQ(bar().tabHost().blockPage().widget()->width(), bar().tabHost().widget()->width() - 23);
    dockAt(Qt::LeftDockWidgetArea);
    EXPECT_TRUE(tabs().tabsOnRight());
    EXPECT_EQ(bar().tabHost().blockPage().widget()->x(), 0);
}

TEST_F(Palette, ExactlyCentredCountsAsTheLeftHalf) {
    show();
    bar().setFloatingBar(true);
    HostWindow::settle();
    // Centre the floating palette's tab host on the main window's centre.
    CRect mainRect, hostRect;
    acedGetAcadFrame()->GetWindowRect(&mainRect);
    bar().tabHost().GetWindowRect(&hostRect);
    const int shift = (mainRect.left + mainRect.right) / 2 - (hostRect.left + hostRect.right) / 2;
    dock().move(dock().pos() + QPoint(shift, 0));
    dock().resize(dock().size() + QSize(0, 1));  // a size message lets the tab host look again
    HostWindow::settle();
    bar().tabHost().GetWindowRect(&hostRect);
    ASSERT_EQ((hostRect.left + hostRect.right) / 2, (mainRect.left + mainRect.right) / 2);
    EXPECT_TRUE(tabs().tabsOnRight());
    dock().move(dock().pos() + QPoint(1, 0));
    dock().resize(dock().size() + QSize(0, 1));
    HostWindow::settle();
    EXPECT_FALSE(tabs().tabsOnRight());
}

TEST_F(Palette, HideBeforeAnyPaletteDoesNothing) {
    toggle();
    EXPECT_EQ(thePalette(), nullptr);
}

struct WidthCase {
    const char* name;
    int before;    // width dragged to before collapsing
    int restored;  // width after two toggles
};

class PaletteWidths : public Palette, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(PaletteWidths, TwoTogglesRestoreTheWidthBefore) {
    show();
    bar().dragEdgeTo(GetParam().before);
    HostWindow::settle();
    ASSERT_EQ(width(), GetParam().before);
    toggle();
    EXPECT_EQ(width(), 30);
    EXPECT_TRUE(bar().collapsed());
    toggle();
    EXPECT_EQ(width(), GetParam().restored);
    EXPECT_FALSE(bar().collapsed());
}

INSTANTIATE_TEST_SUITE_P(, PaletteWidths,
                         ::testing::Values(WidthCase{"Wide", 520, 520}, WidthCase{"Narrow", 120, 120},
                                           WidthCase{"AtTheStripWidth", 30, 410}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(Palette, ALayoutWidthAbove820IsCutBackTo410) {
    show();
    bar().dragEdgeTo(900);
    HostWindow::settle();
    EXPECT_EQ(width(), 410);
    EXPECT_EQ(bar().layoutSize().cx, 410);
}

TEST_F(Palette, AClickOnATabOfTheCollapsedPaletteExpandsItAndShowsThatPage) {
    show();
    const int before = width();
    toggle();
    ASSERT_EQ(width(), 30);
    clickTab(1);
    EXPECT_EQ(width(), before);
    EXPECT_TRUE(pageShown(1));
    EXPECT_FALSE(pageShown(0));
    clickTab(0);
    EXPECT_TRUE(pageShown(0));
}

TEST_F(Palette, ButtonDownWhileCollapsedClearsTheFlagSoTheNextToggleCollapsesAgain) {
    show();
    toggle();
    QTest::mousePress(&title(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&title(), Qt::LeftButton, {}, QPoint(5, 5));
    HostWindow::settle();
    EXPECT_FALSE(bar().collapsed());
    EXPECT_EQ(width(), 30);
    toggle();
    EXPECT_EQ(width(), 30);
    EXPECT_EQ(bar().expandedWidth(), 30u);
    toggle();
    EXPECT_EQ(width(), 410);
}

TEST_F(Palette, DoubleClickWhileCollapsedCollapsesAgainAndRemembers30) {
    show();
    toggle();
    doubleClickTitle();
    EXPECT_FALSE(dock().isFloating());
    EXPECT_EQ(width(), 30);
    EXPECT_TRUE(bar().collapsed());
    EXPECT_EQ(bar().expandedWidth(), 30u);
}

TEST_F(Palette, DoubleClickWhileExpandedCollapses) {
    show();
    doubleClickTitle();
    EXPECT_EQ(width(), 30);
}

TEST_F(Palette, HideWhileFloatingWaitsForTheNextDockedLayout) {
    show();
    const int before = width();
    bar().setFloatingBar(true);
    HostWindow::settle();
    const QSize floating = dock().size();
    toggle();
    EXPECT_EQ(dock().size(), floating);
    EXPECT_FALSE(bar().collapsed());
    EXPECT_EQ(bar().sizingRequest(), 0x60u);
    dockAt(Qt::LeftDockWidgetArea);
    EXPECT_EQ(width(), 30);
    EXPECT_TRUE(bar().collapsed());
    EXPECT_EQ(bar().sizingRequest(), 0u);
    EXPECT_GT(before, 30);
}

TEST_F(Palette, CloseThenMarvoltShowsTheSamePaletteWithItsPages) {
    show();
    CZelDockControlBar* first = thePalette();
    clickTab(1);
    QWidget* page = bar().tabHost().fieldPage().widget();
    QTest::mouseClick(title().findChild<QToolButton*>("close"), Qt::LeftButton);
    HostWindow::settle();
    EXPECT_FALSE(dock().isVisible());
    show();
    EXPECT_EQ(thePalette(), first);
    EXPECT_TRUE(dock().isVisible());
    EXPECT_EQ(bar().tabHost().fieldPage().widget(), page);
    EXPECT_TRUE(pageShown(1));
}

TEST_F(Palette, DockSideAndWidthComeBackInTheNextPalette) {
    show();
    dockAt(Qt::RightDockWidgetArea);
    bar().dragEdgeTo(333);
    HostWindow::settle();
    destroyPalette();
    show();
    EXPECT_EQ(host.main().dockWidgetArea(&dock()), Qt::RightDockWidgetArea);
    EXPECT_EQ(width(), 333);
}

TEST_F(Palette, KeepsTheKeyboardFocusWhenTheCursorComesOntoTheDrawing) {
    show();
    QWidget* tabs = bar().tabHost().tabControl().widget();
    QApplication::setActiveWindow(&host.main());
    tabs->setFocus();
    HostWindow::settle();
    ASSERT_EQ(QApplication::focusWidget(), tabs);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(host.main().centralWidget(), &enter);
    EXPECT_EQ(QApplication::focusWidget(), tabs);
    EXPECT_TRUE(hostui::keepsFocus(tabs));
}

TEST_F(Palette, AWindowThatDoesNotAskLosesTheFocusToTheDrawing) {
    QWidget* drawing = host.main().centralWidget();
    drawing->setFocusPolicy(Qt::StrongFocus);
    auto* dock = new QDockWidget("Other", &host.main());
    auto* edit = new QLineEdit(dock);
    dock->setWidget(edit);
    host.main().addDockWidget(Qt::RightDockWidgetArea, dock);
    HostWindow::settle();
    QApplication::setActiveWindow(&host.main());
    edit->setFocus();
    HostWindow::settle();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(drawing, &enter);
    EXPECT_EQ(QApplication::focusWidget(), drawing);
}

TEST_F(Palette, KeepsTheFocusQuery) {
    show();
    EXPECT_EQ(bar().tabHost().SendMessage(WM_ACAD_KEEPFOCUS), TRUE);
    EXPECT_EQ(bar().tabHost().blockPage().SendMessage(WM_ACAD_KEEPFOCUS), TRUE);
    EXPECT_EQ(bar().tabHost().fieldPage().SendMessage(WM_ACAD_KEEPFOCUS), TRUE);
}

// Answers a modal dialog as a person would, once it is up.
class ClickingDriver : public hostui::ModalDriver {
public:
    explicit ClickingDriver(std::function<void(CAdUiBaseDialog&)> act) : m_act(std::move(act)) {
        hostui::setModalDriver(this);
    }
    ~ClickingDriver() override { hostui::setModalDriver(nullptr); }
    void runDialog(CAdUiBaseDialog& dialog) override { m_act(dialog); }
    int messageBox(const std::wstring&, const std::wstring&, UINT) override { return IDOK; }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest&) override { return std::nullopt; }

private:
    std::function<void(CAdUiBaseDialog&)> m_act;
};

QPushButton* button(CAdUiBaseDialog& dialog, int id) { return dynamic_cast<QPushButton*>(dialog.GetDlgItem(id)->widget()); }
QLineEdit* edit(CAdUiBaseDialog& dialog) { return dynamic_cast<QLineEdit*>(dialog.GetDlgItem(res::IDC_TEXTBOX_EDIT)->widget()); }

class TextPrompt : public ::testing::Test {
protected:
    HostWindow host;
    ModuleResourceScope resources;
};

TEST_F(TextPrompt, OkWithAnEmptyEditAnswersAnEmptyText) {
    TextBoxDialog dialog;
    dialog.m_text = L"before";
    dialog.m_captionLine = L"Enter Table Name";
    std::wstring caption;
    ClickingDriver driver([&](CAdUiBaseDialog& d) {
        caption = d.GetDlgItem(res::IDC_TEXTBOX_CAPTION)->windowText();
        EXPECT_EQ(edit(d)->text(), "before");
        edit(d)->clear();
        QTest::mouseClick(button(d, IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_text, L"");
    EXPECT_EQ(caption, L"Enter Table Name");
}

TEST_F(TextPrompt, TypedTextIsTheAnswer) {
    TextBoxDialog dialog;
    ClickingDriver driver([&](CAdUiBaseDialog& d) {
        QTest::keyClicks(edit(d), "Owner's set");
        QTest::mouseClick(button(d, IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_text, L"Owner's set");
}

TEST_F(TextPrompt, CancelAndTheCloseBoxKeepTheText) {
    for (const bool closeBox : {false, true}) {
        TextBoxDialog dialog;
        dialog.m_text = L"kept";
        ClickingDriver driver([&](CAdUiBaseDialog& d) {
            QTest::keyClicks(edit(d), " changed");
            if (closeBox) d.widget()->close();
            else QTest::mouseClick(button(d, IDCANCEL), Qt::LeftButton);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.m_text, L"kept");
    }
}

TEST_F(TextPrompt, ComesBackWhereItWasLeft) {
    QPoint moved;
    {
        TextBoxDialog dialog;
        ClickingDriver driver([&](CAdUiBaseDialog& d) {
            d.widget()->move(140, 90);
            moved = d.widget()->pos();
            QTest::mouseClick(button(d, IDCANCEL), Qt::LeftButton);
        });
        dialog.DoModal();
    }
    TextBoxDialog again;
    QPoint shown;
    ClickingDriver driver([&](CAdUiBaseDialog& d) {
        shown = d.widget()->pos();
        QTest::mouseClick(button(d, IDCANCEL), Qt::LeftButton);
    });
    again.DoModal();
    EXPECT_EQ(shown, moved);
}

TEST_F(TextPrompt, WithoutTheModulesResourcesItCannotBeMade) {
    CAcModuleResourceOverride none(nullptr);
    TextBoxDialog dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
}

}  // namespace
