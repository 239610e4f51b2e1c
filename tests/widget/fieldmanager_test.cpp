// The Field Manager page inside the palette on real widgets: merging, the key dialog's
// checks, the in-place edit worked with keys and clicks, sorting, layout and the tip.

#include "hostwindow.h"

#include "fieldtab/fieldmanagertabdlg.h"
#include "palette/palettecommands.h"
#include "palette/zeldockcontrolbar.h"
#include "ui/framework/keyboard.h"
#include "ui/framework/labeledit.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;  // (key, value)

// Answers the key dialog with fixed texts and OK (or Cancel), and every message box with OK.
class KeyDialogDriver : public hostui::ModalDriver {
public:
    KeyDialogDriver() { hostui::setModalDriver(this); }
    ~KeyDialogDriver() override { hostui::setModalDriver(nullptr); }
    void runDialog(CAdUiBaseDialog& dialog) override {
        ++dialogs;
        shownKey = text(dialog, res::IDC_KEY_KEY);
        shownValue = text(dialog, res::IDC_KEY_VALUE);
        dynamic_cast<QLineEdit*>(dialog.GetDlgItem(res::IDC_KEY_KEY)->widget())->setText(QString::fromStdWString(key));
        dynamic_cast<QLineEdit*>(dialog.GetDlgItem(res::IDC_KEY_VALUE)->widget())->setText(QString::fromStdWString(value));
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
    }
    int messageBox(const std::wstring& caption, const std::wstring& message, UINT type) override {
        boxes.push_back(L"[" + caption + L"] " + message + (type == MB_OK ? L"" : L" (not OK only)"));
        return IDOK;
    }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest&) override { return std::nullopt; }

    static std::wstring text(CAdUiBaseDialog& dialog, int id) {
        return dynamic_cast<QLineEdit*>(dialog.GetDlgItem(id)->widget())->text().toStdWString();
    }

    std::wstring key, value, shownKey, shownValue;
    bool ok = true;
    int dialogs = 0;
    std::vector<std::wstring> boxes;
};

class FieldManager : public ::testing::Test {
protected:
    void SetUp() override {
        marvoltShowPalette();
        HostWindow::settle();
        page().ShowWindow(SW_SHOW);
        HostWindow::settle();
    }
    void TearDown() override {
        destroyPalette();
        HostWindow::settle();
    }

    static CFieldManagerTabDlg& page() { return thePalette()->tabHost().fieldPage(); }
    static QWidget* control(int id) { return page().GetDlgItem(id)->widget(); }
    static hostui::ListViewWidget& list() { return *dynamic_cast<hostui::ListViewWidget*>(control(res::IDC_FM_PROPERTIES)); }
    static QTableView& table() { return *qobject_cast<QTableView*>(list().view()); }
    static hostui::LabelEditWidget* editor() { return list().labelEditor(); }

    static Rows rows() {
        Rows out;
        for (const hostui::ListItem& item : list().model().items)
            out.emplace_back(item.texts.size() > 1 ? item.texts[1].toStdWString() : L"", item.texts[0].toStdWString());
        return out;
    }
    // Rows through the page's own merge, one pair at a time so that the order is known.
    static void fill(const Rows& pairs) {
        for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) page().mergeProperties({{it->first, it->second}});
    }
    static void choose(int action) {
        auto* combo = qobject_cast<QComboBox*>(control(res::IDC_FM_ACTIONS));
        combo->setCurrentIndex(action);
        emit combo->activated(action);
        HostWindow::settle();
    }
    static void clickRow(int row) {
        QTest::mouseClick(list().mouseTarget(), Qt::LeftButton, {}, list().itemRect(row).center());
        HostWindow::settle();
    }
    static void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(target, key, modifiers);
        HostWindow::settle();
    }
    static void clickHeader(int column) {
        QHeaderView* header = table().horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        HostWindow::settle();
    }

    HostWindow host;
};

TEST_F(FieldManager, MergePutsNewKeysOnTopTrimmedAndLeavesKeysTheListHas) {
    struct Case {
        const char* name;
        Rows before;
        std::wstring key, value;
        Rows after;
    };
    const Case cases[] = {
        {"new key goes above the old rows", {{L"Scale", L"1:50"}}, L"Author", L"Ann", {{L"Author", L"Ann"}, {L"Scale", L"1:50"}}},
        {"key and value are trimmed", {}, L"  Author\t", L" Ann ", {{L"Author", L"Ann"}}},
        {"same key in other case keeps the list's value", {{L"Scale", L"1:50"}}, L"SCALE", L"1:1", {{L"Scale", L"1:50"}}},
        {"the test takes the key untrimmed", {{L"Scale", L"1:50"}}, L" scale ", L"1:1", {{L"scale", L"1:1"}, {L"Scale", L"1:50"}}},
        {"a key of blanks is no key", {{L"Scale", L"1:50"}}, L"   ", L"x", {{L"Scale", L"1:50"}}},
    };
    for (const Case& c : cases) {
        choose(CFieldManagerTabDlg::clearGrid);
        fill(c.before);
        page().mergeProperties({{c.key, c.value}});
        EXPECT_EQ(rows(), c.after) << c.name;
    }
    choose(CFieldManagerTabDlg::clearGrid);
    fill({{L"Old", L"1"}});
    page().mergeProperties({{L"A", L"1"}, {L"B", L"2"}, {L"C", L"3"}});
    ASSERT_EQ(rows().size(), 4u);
    EXPECT_EQ(rows().back(), (std::pair<std::wstring, std::wstring>{L"Old", L"1"})) << "merged rows go above, in the map's order";
    const PropertyMap collected = page().collectProperties();
    EXPECT_EQ(collected, (PropertyMap{{L"A", L"1"}, {L"B", L"2"}, {L"C", L"3"}, {L"Old", L"1"}}));
    EXPECT_EQ(page().collectRows(), rows());
}

TEST_F(FieldManager, TheKeyDialogRefusesTakenAndEmptyKeys) {
    struct Case {
        const char* name;
        std::wstring key, value;
        std::wstring box;  // empty: none
        Rows after;
    };
    const Rows start = {{L"SCALE", L"1:50"}};
    const Case cases[] = {
        {"taken in other case", L"Scale", L"1:1", L"Error: Cannot have duplicate keys", start},
        {"blanks around make another key", L" scale ", L"1:1", L"", {{L"SCALE", L"1:50"}, {L" scale ", L"1:1"}}},
        {"empty", L"", L"v", L"Error: Key cannot be empty or null", start},
        {"one blank is a key", L" ", L"v", L"", {{L"SCALE", L"1:50"}, {L" ", L"v"}}},
        {"new key appended, key and value as typed", L" Title ", L" Plan ", L"", {{L"SCALE", L"1:50"}, {L" Title ", L" Plan "}}},
        {"empty value is allowed", L"Empty", L"", L"", {{L"SCALE", L"1:50"}, {L"Empty", L""}}},
    };
    for (const Case& c : cases) {
        choose(CFieldManagerTabDlg::clearGrid);
        fill(start);
        KeyDialogDriver driver;
        driver.key = c.key;
        driver.value = c.value;
        choose(CFieldManagerTabDlg::addKey);
        EXPECT_EQ(driver.dialogs, 1) << c.name;
        EXPECT_EQ(driver.shownKey, L"") << c.name;
        EXPECT_EQ(driver.boxes, c.box.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{L"[Marvolt Host] " + c.box})
            << c.name;
        EXPECT_EQ(rows(), c.after) << c.name;
    }
    KeyDialogDriver cancel;
    cancel.ok = false;
    cancel.key = L"Other";
    choose(CFieldManagerTabDlg::addKey);
    EXPECT_EQ(rows().size(), 2u) << "Cancel adds nothing";
}

TEST_F(FieldManager, EditKeyComparesWithTheOtherRowsOnly) {
    fill({{L"Scale", L"1:50"}, {L"Author", L"Ann"}});
    KeyDialogDriver driver;
    driver.key = L"Drawn";
    driver.value = L"x";
    choose(CFieldManagerTabDlg::editKey);
    EXPECT_EQ(driver.dialogs, 1);
    EXPECT_EQ(rows().size(), 3u) << "no selection: Edit Key adds";

    choose(CFieldManagerTabDlg::clearGrid);
    fill({{L"Scale", L"1:50"}, {L"Author", L"Ann"}});
    list().setState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    driver.boxes.clear();
    driver.key = L"SCALE";
    driver.value = L"1:100";
    choose(CFieldManagerTabDlg::editKey);
    EXPECT_EQ(driver.shownKey, L"Scale");
    EXPECT_EQ(driver.shownValue, L"1:50");
    EXPECT_TRUE(driver.boxes.empty());
    EXPECT_EQ(rows(), (Rows{{L"SCALE", L"1:100"}, {L"Author", L"Ann"}})) << "its own key in other case";

    driver.key = L"author";
    choose(CFieldManagerTabDlg::editKey);
    EXPECT_EQ(driver.boxes, std::vector<std::wstring>{L"[Marvolt Host] Error: Cannot have duplicate keys"});
    EXPECT_EQ(rows(), (Rows{{L"SCALE", L"1:100"}, {L"Author", L"Ann"}}));

    choose(CFieldManagerTabDlg::deleteKey);
    EXPECT_EQ(rows(), (Rows{{L"Author", L"Ann"}}));
    choose(CFieldManagerTabDlg::deleteKey);
    EXPECT_EQ(rows(), (Rows{{L"Author", L"Ann"}})) << "nothing selected: nothing deleted";
}

TEST_F(FieldManager, ChoosingTheShownEntryAgainRunsItAgainAndTypingRunsNothing) {
    control(res::IDC_FM_ACTIONS)->setFocus();
    choose(CFieldManagerTabDlg::clearGrid);
    EXPECT_TRUE(page().widget()->hasFocus()) << "the page has the focus after an action";
    KeyDialogDriver driver;
    driver.ok = false;
    choose(CFieldManagerTabDlg::addKey);
    choose(CFieldManagerTabDlg::addKey);
    EXPECT_EQ(driver.dialogs, 2);
    auto* combo = qobject_cast<QComboBox*>(control(res::IDC_FM_ACTIONS));
    combo->lineEdit()->setFocus();
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), "Add Key");
    press(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(driver.dialogs, 2);
    EXPECT_EQ(combo->count(), 12);
}

TEST_F(FieldManager, AClickEditsTheValueAndEnterEscapeOrLeavingEndIt) {
    fill({{L"Scale", L"1:50"}, {L"Author", L"Ann"}});
    struct Case {
        const char* name;
        std::function<void()> end;
        std::wstring value;
    };
    const Case cases[] = {
        {"Enter keeps", [] { press(editor(), Qt::Key_Return); }, L"typed"},
        {"Escape discards", [] { press(editor(), Qt::Key_Escape); }, L"Ann"},
        {"leaving keeps", [] { control(res::IDC_FM_ACTIONS)->setFocus(); HostWindow::settle(); }, L"typed"},
        {"a click on another row keeps", [] { clickRow(0); }, L"typed"},
    };
    for (const Case& c : cases) {
        page().mergeProperties({});
        list().setItemText(1, 0, "Ann");
        clickRow(1);
        ASSERT_NE(editor(), nullptr) << c.name;
        EXPECT_EQ(editor()->text(), "Ann") << c.name;
        editor()->clear();
        QTest::keyClicks(editor(), "typed");
        c.end();
        EXPECT_EQ(rows()[1].second, c.value) << c.name;
        EXPECT_EQ(rows()[1].first, L"Author") << c.name << ": the key is never edited in place";
        if (editor()) press(editor(), Qt::Key_Escape);
    }
}

TEST_F(FieldManager, TheEditBoxCoversTheValueCellWhateverItsText) {
    fill({{L"Scale", L"1:50"}});
    clickRow(0);
    ASSERT_NE(editor(), nullptr);
    const QRect cell = list().cellRect(0, 0);
    const QRect expected(cell.left() - 2, cell.top() - 2, cell.width() + 3, cell.height() + 3);
    EXPECT_EQ(editor()->geometry(), expected);
    QTest::keyClicks(editor(), " and a much longer text than the cell can hold");
    EXPECT_EQ(editor()->geometry(), expected) << "the list grows its box with the text; this one keeps to the cell";
    EXPECT_GT(list().cellRect(0, 0).left(), list().cellRect(0, 1).left()) << "Key shows left of Value";
}

TEST_F(FieldManager, TabAndArrowsMoveTheEditAroundTheRows) {
    fill({{L"A", L"1"}, {L"B", L"2"}, {L"C", L"3"}});
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int row;
    };
    // From the edit box on the last row: past the end to the first, back before the first to the last.
    clickRow(2);
    const Step steps[] = {
        {Qt::Key_Tab, Qt::NoModifier, 0},   {Qt::Key_Backtab, Qt::ShiftModifier, 2}, {Qt::Key_Down, Qt::NoModifier, 0},
        {Qt::Key_Up, Qt::NoModifier, 2},    {Qt::Key_Up, Qt::NoModifier, 1},         {Qt::Key_Tab, Qt::NoModifier, 2},
    };
    for (const Step& s : steps) {
        ASSERT_NE(editor(), nullptr);
        QTest::keyClicks(editor(), "x");
        press(editor(), s.key, s.modifiers);
        ASSERT_NE(editor(), nullptr);
        EXPECT_EQ(list().editedRow(), s.row) << s.key;
    }
    EXPECT_EQ(rows(), (Rows{{L"A", L"x"}, {L"B", L"x"}, {L"C", L"x"}})) << "each move kept what was typed";
    press(editor(), Qt::Key_Escape);

    // From the list itself, with no edit open: Tab starts one and keeps the focus in the list.
    list().setState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    table().setFocus();
    press(&table(), Qt::Key_Tab);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(list().editedRow(), 0);
    press(editor(), Qt::Key_Escape);
    press(&table(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(list().editedRow(), 2);
    press(editor(), Qt::Key_Escape);
    press(&table(), Qt::Key_F2);
    EXPECT_EQ(list().editedRow(), 2) << "F2 edits the focused row";
    press(editor(), Qt::Key_Escape);

    choose(CFieldManagerTabDlg::clearGrid);
    table().setFocus();
    press(&table(), Qt::Key_Tab);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(table().hasFocus()) << "Tab in an empty list stays in it";
}

TEST_F(FieldManager, HeaderClicksSortBothColumnsWithOneToggle) {
    fill({{L"b", L"2"}});
    clickHeader(1);
    EXPECT_FALSE(page().sortAscendingNext) << "one row: nothing happens";
    EXPECT_EQ(list().sortMark(1), 0);

    choose(CFieldManagerTabDlg::clearGrid);
    fill({{L"b", L"2"}, {L"C", L"1"}, {L"a", L"3"}});
    clickHeader(1);
    EXPECT_EQ(rows(), (Rows{{L"C", L"1"}, {L"b", L"2"}, {L"a", L"3"}})) << "the first sort is descending, by key";
    EXPECT_EQ(list().sortMark(1), -1);
    clickHeader(0);
    EXPECT_EQ(rows(), (Rows{{L"C", L"1"}, {L"b", L"2"}, {L"a", L"3"}})) << "then ascending, by value";
    EXPECT_EQ(list().sortMark(0), 1);
    EXPECT_EQ(list().sortMark(1), 0);
    clickHeader(0);
    EXPECT_EQ(rows(), (Rows{{L"a", L"3"}, {L"b", L"2"}, {L"C", L"1"}}));
    EXPECT_EQ(list().sortMark(0), -1);
}

TEST_F(FieldManager, AnOpenEditFollowsItsRowThroughASort) {
    fill({{L"a", L"1"}, {L"b", L"2"}});
    clickRow(0);
    QTest::keyClicks(editor(), "9");  // the box opens with its text selected
    clickHeader(1);
    EXPECT_EQ(rows(), (Rows{{L"b", L"2"}, {L"a", L"9"}}));
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(FieldManager, TheListKeepsItsPlaceAndWidthAndEnds20PixelsAboveThePageBottom) {
    QWidget* pageWidget = page().widget();
    const QRect before = list().geometry();
    for (const int height : {700, 300, before.top() + 10}) {
        pageWidget->resize(pageWidget->width(), height);
        HostWindow::settle();
        EXPECT_EQ(list().geometry().topLeft(), before.topLeft()) << height;
        EXPECT_EQ(list().width(), before.width()) << height;
        EXPECT_EQ(list().height(), std::max(0, height - before.top() - 20)) << height;
    }
}

TEST_F(FieldManager, TheListsTipAndTheRadioButtonsReadWhenADragStarts) {
    EXPECT_EQ(hostui::toolTipText(&list()).toStdString(), "Drag a Field item to the drawing to insert");
    EXPECT_EQ(hostui::toolTipText(control(res::IDC_FM_ACTIONS)).toStdString(), "");
    auto* mtext = qobject_cast<QRadioButton*>(control(res::IDC_FM_AS_MTEXT));
    auto* spline = qobject_cast<QRadioButton*>(control(res::IDC_FM_AS_SPLINE_LEADER));
    EXPECT_TRUE(mtext->isChecked());
    QTest::mouseClick(spline, Qt::LeftButton);
    EXPECT_TRUE(spline->isChecked());
    EXPECT_FALSE(mtext->isChecked()) << "one group across the list between them";
    EXPECT_EQ(page().insertMode, 0) << "read only when a drag starts";
    fill({{L"A", L"1"}});
    hostui::planNextDrop(hostui::PlannedDrop{hostui::PlannedDrop::End::outside, {}});
    const QPoint at = list().itemRect(0).center();
    QTest::mousePress(list().mouseTarget(), Qt::LeftButton, {}, at);
    QTest::mouseMove(list().mouseTarget(), at + QPoint(QApplication::startDragDistance() + 4, 0));
    QTest::mouseRelease(list().mouseTarget(), Qt::LeftButton, {}, at);
    HostWindow::settle();
    hostui::planNextDrop(std::nullopt);
    EXPECT_EQ(page().insertMode, 2);
}

// Texts as a person's keyboard and input method hand them over, one character at a time:
// each reaches the key dialog's edits and the list's in-place edit whole, and Enter typed
// in the dialog is its dialog manager's OK.
TEST_F(FieldManager, TextInEveryScriptIsTypedIntoTheKeyDialogAndTheInPlaceEdit) {
    struct Case {
        const char* name;
        QString text;
        int characters;  // what a person enters one by one
    };
    const Case cases[] = {
        {"accents", QStringLiteral("été.dwg"), 7},
        {"sharp s", QStringLiteral("Straße"), 6},
        {"Greek", QStringLiteral("Ωμέγα"), 5},
        {"Cyrillic", QStringLiteral("Привет"), 6},
        {"CJK", QStringLiteral("项目/北京"), 5},
        {"outside the basic plane", QStringLiteral("😀 ok"), 4},
        {"a combining accent", QStringLiteral("e\u0301"), 2},
    };
    class TypingDriver : public KeyDialogDriver {
    public:
        void runDialog(CAdUiBaseDialog& dialog) override {
            ++dialogs;
            for (const int id : {res::IDC_KEY_KEY, res::IDC_KEY_VALUE}) {
                auto* edit = dynamic_cast<QLineEdit*>(dialog.GetDlgItem(id)->widget());
                edit->setFocus();
                const QMetaObject::Connection counting =
                    QObject::connect(edit, &QLineEdit::textEdited, [this] { ++edits; });
                hostui::typeText(edit, QString::fromStdWString(id == res::IDC_KEY_KEY ? key : value));
                QObject::disconnect(counting);
            }
            hostui::pressKey(dialog.GetDlgItem(res::IDC_KEY_VALUE)->widget(), Qt::Key_Return);
            ended = dialog.hasEnded();
        }
        int edits = 0;
        bool ended = false;
    };
    for (const Case& c : cases) {
        choose(CFieldManagerTabDlg::clearGrid);
        TypingDriver driver;
        driver.key = c.text.toStdWString();
        driver.value = L"v " + c.text.toStdWString();
        choose(CFieldManagerTabDlg::addKey);
        EXPECT_TRUE(driver.ended) << c.name << ": Enter in the value edit pressed OK";
        EXPECT_EQ(rows(), (Rows{{driver.key, driver.value}})) << c.name;
        EXPECT_EQ(driver.edits, 2 * c.characters + 2) << c.name << ": one edit per character";

        clickRow(0);
        ASSERT_NE(editor(), nullptr) << c.name;
        editor()->clear();
        hostui::typeText(editor(), c.text);
        hostui::pressKey(editor(), Qt::Key_Return);
        HostWindow::settle();
        EXPECT_EQ(rows(), (Rows{{driver.key, c.text.toStdWString()}})) << c.name << ": typed in place";
    }
}

}  // namespace
