// The window framework on its own: dialogs made from a template of the test's own,
// controls found by id, the host's edits, and where settings live.
#include "ui/framework/controls.h"
#include "ui/framework/dataexchange.h"
#include "ui/framework/dialog.h"
#include "ui/framework/dialogbuilder.h"
#include "ui/framework/frame.h"
#include "ui/framework/modal.h"
#include "ui/framework/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

constexpr int kDialog = 900, kEdit = 901, kNumber = 902, kLabel = 903;
constexpr int kRadios = 910, kFirstA = 911, kBetween = 912, kFirstB = 913, kSecondA = 914, kSecondB = 915;

const hostres::ResourceTable& testResources() {
    static const hostres::ResourceTable table = [] {
        hostres::ResourceTable t;
        t.dialogs.push_back({kDialog,
                             L"Test",
                             WS_POPUP | WS_CAPTION,
                             L"Tahoma",
                             8,
                             200,
                             100,
                             {{kLabel, hostres::ControlKind::label, 10, 10, 60, 10, L"Label", WS_CHILD | WS_VISIBLE},
                              {kEdit, hostres::ControlKind::stringEdit, 10, 30, 80, 14, L"", WS_CHILD | WS_VISIBLE},
                              {kNumber, hostres::ControlKind::numericEdit, 100, 30, 40, 14, L"1", WS_CHILD | WS_VISIBLE},
                              {IDOK, hostres::ControlKind::button, 10, 70, 50, 14, L"OK", WS_CHILD | WS_VISIBLE}}});
        // Two radio groups; an edit without WS_GROUP lies inside the first.
        constexpr std::uint32_t radio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
        t.dialogs.push_back({kRadios,
                             L"Radios",
                             WS_POPUP | WS_CAPTION,
                             L"Tahoma",
                             8,
                             200,
                             100,
                             {{kFirstA, hostres::ControlKind::radioButton, 10, 10, 60, 10, L"A", radio | WS_GROUP},
                              {kBetween, hostres::ControlKind::edit, 10, 25, 60, 12, L"", WS_CHILD | WS_VISIBLE},
                              {kFirstB, hostres::ControlKind::radioButton, 10, 40, 60, 10, L"B", radio},
                              {kSecondA, hostres::ControlKind::radioButton, 100, 10, 60, 10, L"C", radio | WS_GROUP},
                              {kSecondB, hostres::ControlKind::radioButton, 100, 25, 60, 10, L"D", radio}}});
        return t;
    }();
    return table;
}

int g_resourceToken = 0;

// Runs a modal dialog's body as a person would, then closes it.
class ScriptedDriver : public hostui::ModalDriver {
public:
    explicit ScriptedDriver(std::function<void(CAdUiBaseDialog&)> act) : m_act(std::move(act)) {
        hostui::setModalDriver(this);
    }
    ~ScriptedDriver() override { hostui::setModalDriver(nullptr); }
    void runDialog(CAdUiBaseDialog& dialog) override {
        m_act(dialog);
        if (!dialog.hasEnded()) dialog.EndDialog(IDCANCEL);
    }
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) override {
        boxes.push_back(caption + L"|" + text + L"|" + std::to_wstring(type));
        return IDOK;
    }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest&) override { return std::nullopt; }
    std::vector<std::wstring> boxes;

private:
    std::function<void(CAdUiBaseDialog&)> m_act;
};

class Framework : public ::testing::Test {
protected:
    void SetUp() override { acRegisterResourceModule(&g_resourceToken, &testResources()); }
    void TearDown() override { acUnregisterResourceModule(&g_resourceToken); }
    CAcModuleResourceOverride resources{&g_resourceToken};
};

TEST_F(Framework, TemplateFontHasTahomasDialogUnitsWhereTahomaIsInstalled) {
    const QFont font = hostui::templateFont(L"Tahoma", 8);
    if (QFontInfo(font).family() != "Tahoma") GTEST_SKIP() << "Tahoma is not installed (Debian fonts-wine)";
    const hostui::DialogUnits units = hostui::dialogUnits(font);
    // The platform's base units of Tahoma 8 at 96 dots per inch.
    EXPECT_EQ(units.baseX, 6);
    EXPECT_EQ(units.baseY, 13);
}

TEST_F(Framework, ControlsAreFoundByTheirIdsAndPlacedInDialogUnits) {
    CAcUiDialog dialog(kDialog);
    QRect editRect;
    bool unknownIsNull = false;
    ScriptedDriver driver([&](CAdUiBaseDialog& d) {
        editRect = d.GetDlgItem(kEdit)->widget()->geometry();
        unknownIsNull = d.GetDlgItem(999) == nullptr;
        EXPECT_EQ(d.GetDlgItem(kLabel)->windowText(), L"Label");
        EXPECT_EQ(d.GetDlgItem(kEdit)->GetDlgCtrlID(), kEdit);
    });
    dialog.DoModal();
    const hostui::DialogUnits units = hostui::dialogUnits(hostui::templateFont(L"Tahoma", 8));
    EXPECT_EQ(editRect, QRect(units.x(10), units.y(30), units.x(80), units.y(14)));
    EXPECT_TRUE(unknownIsNull);
}

TEST_F(Framework, NumericEditNormalisesWhenTheFocusLeaves) {
    struct Case {
        const char* typed;
        const char* shown;
    };
    // In the units of a drawing without settings: decimal at four places. What is no
    // number stays as typed, for the edit's owner to judge.
    const Case cases[] = {{"2.50", "2.5000"}, {"+3", "3.0000"}, {"1e2", "100.0000"}, {"abc", "abc"}, {"2,5", "2,5"}, {"", ""}};
    for (const Case& c : cases) {
        CAcUiDialog dialog(kDialog);
        CAcUiNumericEdit number;
        QString shown;
        ScriptedDriver driver([&](CAdUiBaseDialog& d) {
            number.SubclassDlgItem(kNumber, &d);
            auto* edit = dynamic_cast<QLineEdit*>(number.widget());
            QApplication::setActiveWindow(d.widget());
            edit->setFocus();
            edit->clear();
            QTest::keyClicks(edit, c.typed);
            d.GetDlgItem(kEdit)->SetFocus();
            QApplication::processEvents();
            number.Convert();
            shown = edit->text();
        });
        dialog.DoModal();
        EXPECT_EQ(shown.toStdString(), c.shown) << "typed " << c.typed;
    }
}

TEST_F(Framework, PlainDialogsDoNotKeepTheFocusAndCloseBoxCancels) {
    CAcUiDialog dialog(kDialog);
    LRESULT keeps = -1;
    bool editKeeps = true;
    ScriptedDriver driver([&](CAdUiBaseDialog& d) {
        keeps = d.SendMessage(WM_ACAD_KEEPFOCUS);
        editKeeps = hostui::keepsFocus(d.GetDlgItem(kEdit)->widget());
        d.widget()->close();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(keeps, FALSE);
    EXPECT_FALSE(editKeeps);
}

TEST_F(Framework, MessageBoxesGoThroughTheDriverWithTheHostsCaption) {
    ScriptedDriver driver([](CAdUiBaseDialog&) {});
    EXPECT_EQ(AfxMessageBox(L"Saved.", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"Really?", L"Question", MB_YESNO), IDOK);
    ASSERT_EQ(driver.boxes.size(), 2u);
    EXPECT_EQ(driver.boxes[0], std::wstring(hostui::applicationName()) + L"|Saved.|0");
    EXPECT_EQ(driver.boxes[1], L"Question|Really?|4");
}

// On the desktop the dialog runs its own event loop until a button ends it.
TEST_F(Framework, DesktopModalLoopEndsWithTheButtonPressed) {
    CAcUiDialog dialog(kDialog);
    QTimer::singleShot(0, [&] {
        if (CWnd* ok = dialog.GetDlgItem(IDOK)) QTest::mouseClick(ok->widget(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

// A dialog that acts on its own timer: it ends itself, or only stops the timer.
class TimedDialog : public CAcUiDialog {
public:
    explicit TimedDialog(bool ends) : CAcUiDialog(kDialog), m_ends(ends) {}
    int ticks = 0;

protected:
    BOOL OnInitDialog() override {
        CAcUiDialog::OnInitDialog();
        SetTimer(5, 10);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override {
        ++ticks;
        KillTimer(id);
        if (m_ends) EndDialog(IDOK);
    }

private:
    bool m_ends;
};

// A self-closing dialog needs no answer: its timer runs in a loop of its own. One that
// stops its timer without ending is handed back to the driver for its answer.
TEST_F(Framework, TimedDialogRunsItsTimerWithoutAnAnswer) {
    for (const bool ends : {true, false}) {
        SCOPED_TRACE(ends ? "ends itself" : "stops its timer only");
        TimedDialog dialog(ends);
        bool endedByTimer = false;
        ScriptedDriver driver([&](CAdUiBaseDialog& d) { endedByTimer = hostui::runWhileTimed(d); });
        EXPECT_EQ(dialog.DoModal(), ends ? IDOK : IDCANCEL);
        EXPECT_EQ(endedByTimer, ends);
        EXPECT_EQ(dialog.ticks, 1);
    }
}

class RadioDialog : public CAcUiDialog {
public:
    RadioDialog() : CAcUiDialog(kRadios) {}
    int first = 1, second = 0;

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Radio(exchange, kFirstA, first);
        DDX_Radio(exchange, kSecondA, second);
    }
};

TEST_F(Framework, RadioGroupsRunFromOneGroupStyleToTheNextAndExchangeTheirIndex) {
    RadioDialog dialog;
    std::vector<std::string> states;
    const auto checked = [](CAdUiBaseDialog& d) {
        std::string state;
        for (const int id : {kFirstA, kFirstB, kSecondA, kSecondB})
            state += qobject_cast<QAbstractButton*>(d.GetDlgItem(id)->widget())->isChecked() ? '1' : '0';
        return state;
    };
    ScriptedDriver driver([&](CAdUiBaseDialog& d) {
        states.push_back(checked(d));  // the members as the dialog opens
        QTest::mouseClick(d.GetDlgItem(kFirstA)->widget(), Qt::LeftButton);
        states.push_back(checked(d));
        QTest::mouseClick(d.GetDlgItem(kFirstA)->widget(), Qt::LeftButton);
        states.push_back(checked(d));  // a click never unticks
        QTest::mouseClick(d.GetDlgItem(kSecondB)->widget(), Qt::LeftButton);
        states.push_back(checked(d));
        d.UpdateData(TRUE);
    });
    dialog.DoModal();
    EXPECT_EQ(states, (std::vector<std::string>{"0110", "1010", "1010", "1001"}));
    EXPECT_EQ(dialog.first, 0);
    EXPECT_EQ(dialog.second, 1);
}

TEST(Settings, LiveInOneFileUnderTheConfigurationHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/marvolt-settings-home", 1);
    EXPECT_EQ(hostui::settingsPath(), "/tmp/marvolt-settings-home/marvolt/marvolt-host.ini");
    if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
