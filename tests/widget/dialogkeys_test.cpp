// The keyboard in modal dialogs, as the platform's dialog manager answers it: Enter,
// Escape, Alt with a caption's underlined letter, and Tab over the template's tab stops.
#include "ui/framework/controls.h"
#include "ui/framework/dialog.h"
#include "ui/framework/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWithDefault = 920, kWithoutButtons = 921;
constexpr int kName = 922, kNote = 923, kApply = 924, kTick = 925, kOther = 926;

const hostres::ResourceTable& keyResources() {
    static const hostres::ResourceTable table = [] {
        using K = hostres::ControlKind;
        constexpr std::uint32_t child = WS_CHILD | WS_VISIBLE, stop = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        hostres::ResourceTable t;
        // "&Apply" is the default push button; OK is an ordinary one; the note edit has no tab stop.
        t.dialogs.push_back({kWithDefault,
                             L"Keys",
                             WS_POPUP | WS_CAPTION,
                             L"Tahoma",
                             8,
                             220,
                             100,
                             {{-1, K::label, 10, 10, 40, 10, L"&Name", child},
                              {kName, K::stringEdit, 50, 10, 80, 14, L"", stop},
                              {kNote, K::stringEdit, 50, 30, 80, 14, L"", child},
                              {kTick, K::checkBox, 50, 50, 80, 10, L"&Tick", stop},
                              {kOther, K::button, 10, 70, 50, 14, L"Ot&her", stop},
                              {kApply, K::button, 70, 70, 50, 14, L"&Apply", stop | BS_DEFPUSHBUTTON},
                              {IDOK, K::button, 130, 70, 50, 14, L"OK", stop},
                              {IDCANCEL, K::button, 190, 70, 25, 14, L"Cancel", stop}}});
        // No default push button and no OK button: Enter still says IDOK.
        t.dialogs.push_back({kWithoutButtons,
                             L"Bare",
                             WS_POPUP | WS_CAPTION,
                             L"Tahoma",
                             8,
                             150,
                             40,
                             {{kName, K::stringEdit, 10, 10, 80, 14, L"", stop}}});
        return t;
    }();
    return table;
}

int g_keyResourceToken = 0;

// Runs a modal dialog's body, then closes it when the body did not.
class BodyDriver : public hostui::ModalDriver {
public:
    explicit BodyDriver(std::function<void(CAdUiBaseDialog&)> body) : m_body(std::move(body)) {
        hostui::setModalDriver(this);
    }
    ~BodyDriver() override { hostui::setModalDriver(nullptr); }
    BodyDriver(const BodyDriver&) = delete;
    BodyDriver& operator=(const BodyDriver&) = delete;
    void runDialog(CAdUiBaseDialog& dialog) override {
        QApplication::setActiveWindow(dialog.widget());
        m_body(dialog);
        ended = dialog.hasEnded();
        if (!ended) dialog.EndDialog(-2);
    }
    int messageBox(const std::wstring&, const std::wstring&, UINT) override { return IDOK; }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest&) override { return std::nullopt; }
    bool ended = false;

private:
    std::function<void(CAdUiBaseDialog&)> m_body;
};

// Records the buttons pressed; Apply and Other do not end the dialog.
class KeysDialog : public CAcUiDialog {
public:
    explicit KeysDialog(UINT templateId) : CAcUiDialog(templateId) {}
    std::vector<int> pressed;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (HIWORD(wParam) == BN_CLICKED) pressed.push_back(static_cast<int>(LOWORD(wParam)));
        return CAcUiDialog::OnCommand(wParam, lParam);
    }
};

// An edit that keeps every key for itself, as an in-place editor does.
class GreedyEdit : public CWnd {
protected:
    UINT OnGetDlgCode() override { return DLGC_WANTALLKEYS; }
};

class DialogKeys : public ::testing::Test {
protected:
    void SetUp() override { acRegisterResourceModule(&g_keyResourceToken, &keyResources()); }
    void TearDown() override { acUnregisterResourceModule(&g_keyResourceToken); }
    CAcModuleResourceOverride resources{&g_keyResourceToken};
};

QWidget* item(CAdUiBaseDialog& d, int id) { return d.GetDlgItem(id)->widget(); }

void focus(CAdUiBaseDialog& d, int id) {
    item(d, id)->setFocus();
    QApplication::processEvents();
}

TEST_F(DialogKeys, EnterAndEscapeWorkTheDialogFromWhereTheFocusIs) {
    struct Case {
        const char* name;
        UINT templateId;
        int focused;
        Qt::Key key;
        std::vector<int> pressed;  // the buttons' commands, in order
        int result;                // what DoModal answers; -2 when the dialog stayed open
    };
    const Case cases[] = {
        {"Enter in an edit presses the default push button", kWithDefault, kName, Qt::Key_Return, {kApply}, -2},
        {"keypad Enter is Enter", kWithDefault, kName, Qt::Key_Enter, {kApply}, -2},
        {"Enter on a focused push button presses that one", kWithDefault, IDOK, Qt::Key_Return, {IDOK}, IDOK},
        {"Enter on another focused push button", kWithDefault, kOther, Qt::Key_Return, {kOther}, -2},
        {"Enter without a default or OK button says IDOK", kWithoutButtons, kName, Qt::Key_Return, {IDOK}, IDOK},
        {"Escape cancels", kWithDefault, kName, Qt::Key_Escape, {IDCANCEL}, IDCANCEL},
        {"Escape without a Cancel button cancels", kWithoutButtons, kName, Qt::Key_Escape, {IDCANCEL}, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeysDialog dialog(c.templateId);
        BodyDriver driver([&](CAdUiBaseDialog& d) {
            focus(d, c.focused);
            QTest::keyClick(item(d, c.focused), c.key);
        });
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.pressed, c.pressed);
    }
}

TEST_F(DialogKeys, ControlThatWantsAllKeysKeepsEnterAndEscape) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        KeysDialog dialog(kWithDefault);
        GreedyEdit greedy;
        BodyDriver driver([&](CAdUiBaseDialog& d) {
            greedy.SubclassDlgItem(kName, &d);
            focus(d, kName);
            QTest::keyClick(item(d, kName), key);
            greedy.UnsubclassWindow();
        });
        EXPECT_EQ(dialog.DoModal(), -2);
        EXPECT_TRUE(dialog.pressed.empty());
    }
}

TEST_F(DialogKeys, DisabledDefaultButtonMakesEnterDoNothing) {
    KeysDialog dialog(kWithDefault);
    BodyDriver driver([&](CAdUiBaseDialog& d) {
        item(d, kApply)->setEnabled(false);
        focus(d, kName);
        QTest::keyClick(item(d, kName), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), -2);
    EXPECT_TRUE(dialog.pressed.empty());
}

TEST_F(DialogKeys, AltWithAnUnderlinedLetterPressesTicksOrFocuses) {
    struct Case {
        const char* name;
        Qt::Key letter;
        std::vector<int> pressed;
        int focusedAfter;  // 0: the focus stays in the note edit
        bool ticked;
    };
    const Case cases[] = {
        {"a push button is pressed at once", Qt::Key_A, {kApply}, 0, false},
        {"the letter may stand inside the caption", Qt::Key_H, {kOther}, 0, false},
        {"a check box is ticked and focused", Qt::Key_T, {kTick}, kTick, true},
        {"a static text focuses the control after it", Qt::Key_N, {}, kName, false},
        {"a letter no caption underlines does nothing", Qt::Key_Z, {}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeysDialog dialog(kWithDefault);
        int focusedAfter = -1;
        bool ticked = false;
        BodyDriver driver([&](CAdUiBaseDialog& d) {
            focus(d, kNote);
            QTest::keyClick(item(d, kNote), c.letter, Qt::AltModifier);
            focusedAfter = 0;
            for (const int id : {kName, kTick, kApply, kOther})
                if (item(d, id)->hasFocus()) focusedAfter = id;
            ticked = qobject_cast<QAbstractButton*>(item(d, kTick))->isChecked();
        });
        dialog.DoModal();
        EXPECT_EQ(dialog.pressed, c.pressed);
        EXPECT_EQ(focusedAfter, c.focusedAfter);
        EXPECT_EQ(ticked, c.ticked);
    }
}

TEST_F(DialogKeys, TabFollowsTheTemplatesOrderOverTabStops) {
    KeysDialog dialog(kWithDefault);
    std::vector<int> visited;
    BodyDriver driver([&](CAdUiBaseDialog& d) {
        const auto focusedId = [&] {
            for (const int id : {kName, kNote, kTick, kOther, kApply, IDOK, IDCANCEL})
                if (item(d, id)->hasFocus()) return id;
            return 0;
        };
        focus(d, kName);
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.push_back(focusedId());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        visited.push_back(focusedId());
    });
    dialog.DoModal();
    // The note edit has no tab stop; after Cancel the focus comes round to the first.
    EXPECT_EQ(visited, (std::vector<int>{kTick, kOther, kApply, IDOK, IDCANCEL, IDOK}));
}

}  // namespace
