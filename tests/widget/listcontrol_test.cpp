// The list control's own rules, on the host's real list in a dialog of the test's own
// template rather than through the pages: what the rows and the view hold after the
// calls window code makes.
#include "ui/framework/dialog.h"
#include "ui/framework/listctrl.h"
#include "ui/framework/modal.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kDialog = 920, kList = 921;

const hostres::ResourceTable& listResources(DWORD style) {
    static hostres::ResourceTable table;
    table.dialogs.clear();
    table.dialogs.push_back({kDialog,
                             L"List",
                             WS_POPUP | WS_CAPTION,
                             L"Tahoma",
                             8,
                             200,
                             120,
                             {{kList, hostres::ControlKind::listView, 10, 10, 180, 100, L"", WS_CHILD | WS_VISIBLE | style}}});
    return table;
}

int g_resourceToken = 0;

// Answers a label's end as the test wants: the platform keeps the typed text only when
// the parent answers TRUE.
class ListDialog : public CAcUiDialog {
public:
    explicit ListDialog(bool acceptEdits) : CAcUiDialog(kDialog), m_acceptEdits(acceptEdits) {}

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (reinterpret_cast<const NMHDR*>(lParam)->code != LVN_ENDLABELEDIT)
            return CAcUiDialog::OnNotify(wParam, lParam, result);
        *result = m_acceptEdits ? TRUE : FALSE;
        return TRUE;
    }

private:
    bool m_acceptEdits;
};

// Runs the dialog's body in place of a person.
class BodyDriver : public hostui::ModalDriver {
public:
    explicit BodyDriver(std::function<void(CAdUiBaseDialog&)> body) : m_body(std::move(body)) { hostui::setModalDriver(this); }
    ~BodyDriver() override { hostui::setModalDriver(nullptr); }
    BodyDriver(const BodyDriver&) = delete;
    BodyDriver& operator=(const BodyDriver&) = delete;
    void runDialog(CAdUiBaseDialog& dialog) override {
        m_body(dialog);
        if (!dialog.hasEnded()) dialog.EndDialog(IDCANCEL);
    }
    int messageBox(const std::wstring&, const std::wstring&, UINT) override { return IDOK; }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest&) override { return std::nullopt; }

private:
    std::function<void(CAdUiBaseDialog&)> m_body;
};

void insertRows(CListCtrl& list, const std::vector<const wchar_t*>& labels) {
    for (const wchar_t* label : labels) list.InsertItem(list.GetItemCount(), label);
}

void select(CListCtrl& list, int row) { list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED); }

// Types into the open edit box and ends it with Enter, as a person would.
void editLabel(CListCtrl& list, int row, const wchar_t* typed) {
    CEdit* edit = list.EditLabel(row);
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText(typed);
    edit->SendMessage(WM_KEYDOWN, VK_RETURN);
}

struct Outcome {
    std::vector<std::wstring> labels;
    std::vector<int> selected;      // as the rows' states have it
    std::vector<int> viewSelected;  // as the view shows it
};

Outcome outcomeOf(CListCtrl& list) {
    Outcome out;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        out.labels.push_back(list.GetItemText(row, 0));
        if (list.GetItemState(row, LVIS_SELECTED)) out.selected.push_back(row);
    }
    const auto* widget = dynamic_cast<hostui::ListViewWidget*>(list.widget());
    for (const QModelIndex& index : widget->view()->selectionModel()->selectedRows()) out.viewSelected.push_back(index.row());
    std::sort(out.viewSelected.begin(), out.viewSelected.end());
    return out;
}

struct Case {
    const char* rule;
    DWORD style;
    bool acceptEdits;
    std::function<void(CListCtrl&)> act;
    std::vector<std::wstring> labels;
    std::vector<int> selected;
};

const Case kCases[] = {
    {"one row selected in a single-selection list", LVS_REPORT | LVS_SINGLESEL, true,
     [](CListCtrl& l) {
         insertRows(l, {L"a", L"b", L"c"});
         select(l, 0);
         select(l, 2);
     },
     {L"a", L"b", L"c"}, {2}},
    {"every row selected stays so without LVS_SINGLESEL", LVS_REPORT, true,
     [](CListCtrl& l) {
         insertRows(l, {L"a", L"b", L"c"});
         select(l, 0);
         select(l, 2);
     },
     {L"a", L"b", L"c"}, {0, 2}},
    {"a sorted list places rows by label, ignoring case, equals after equals", LVS_REPORT | LVS_SORTASCENDING, true,
     [](CListCtrl& l) {
         for (const wchar_t* label : {L"b", L"C", L"a", L"B"}) l.InsertItem(0, label);
     },
     {L"a", L"b", L"B", L"C"}, {}},
    {"a sorted list keeps the selection on the row that moves down", LVS_REPORT | LVS_SORTASCENDING, true,
     [](CListCtrl& l) {
         insertRows(l, {L"m"});
         select(l, 0);
         l.InsertItem(0, L"a");
     },
     {L"a", L"m"}, {1}},
    {"the selection comes through a frozen redraw", LVS_REPORT | LVS_SINGLESEL, true,
     [](CListCtrl& l) {
         insertRows(l, {L"a", L"b"});
         select(l, 0);
         l.SetRedraw(FALSE);
         l.InsertItem(0, L"new");
         select(l, 2);
         l.DeleteItem(1);
         l.SetRedraw(TRUE);
     },
     {L"new", L"b"}, {1}},
    {"a label edit the parent accepts takes the typed text", LVS_REPORT | LVS_EDITLABELS, true,
     [](CListCtrl& l) {
         insertRows(l, {L"old", L"other"});
         editLabel(l, 0, L"typed");
     },
     {L"typed", L"other"}, {0}},
    {"a label edit the parent refuses keeps the old text", LVS_REPORT | LVS_EDITLABELS, false,
     [](CListCtrl& l) {
         insertRows(l, {L"old", L"other"});
         editLabel(l, 0, L"typed");
     },
     {L"old", L"other"}, {0}},
};

TEST(ListControl, KeepsThePlatformsRules) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.rule);
        acRegisterResourceModule(&g_resourceToken, &listResources(c.style));
        CAcModuleResourceOverride resources{&g_resourceToken};
        ListDialog dialog(c.acceptEdits);
        CListCtrl list;
        Outcome outcome;
        BodyDriver driver([&](CAdUiBaseDialog& d) {
            ASSERT_TRUE(list.SubclassDlgItem(kList, &d));
            list.InsertColumn(0, L"Label", LVCFMT_LEFT, 120);
            c.act(list);
            outcome = outcomeOf(list);
            list.UnsubclassWindow();
        });
        dialog.DoModal();
        acUnregisterResourceModule(&g_resourceToken);
        EXPECT_EQ(outcome.labels, c.labels);
        EXPECT_EQ(outcome.selected, c.selected);
        EXPECT_EQ(outcome.viewSelected, c.selected) << "the view shows what the rows hold";
    }
}

}  // namespace
