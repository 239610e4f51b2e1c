// The "Marvolt" pull-down installed through the host's real automation model, put in the
// states that make each step fail.

#include "frame/hostapi.h"
#include "entry/menuinstaller.h"

#include "ap/menumodel.h"
#include "rx/textcase.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using hostap::AutomationCall;
using hostap::MenuModel;
using hostap::PullDownMenu;

MenuModel& model() { return MenuModel::instance(); }
std::wstring transcript() { return hosted::CommandLine::instance().transcript(); }

std::vector<std::wstring> barNames() {
    std::vector<std::wstring> names;
    for (const auto& menu : model().menuBar()) names.push_back(menu->name());
    return names;
}

// Pull-downs of the host's group, each put on the bar in turn.
void hostMenus(std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names) {
        auto menu = model().addMenu(model().hostGroup(), name);
        model().addEntry(*menu, -1, {L"Open...", L"", false});
        model().insertInMenuBar(menu, -1);
    }
}

std::shared_ptr<PullDownMenu> installed() { return model().findMenu(model().hostGroup(), L"Marvolt"); }

std::size_t menusNamedMarvolt() {
    std::size_t n = 0;
    for (const auto& group : model().groups())
        for (const auto& menu : group->menus()) n += hostrx::equalsNoCase(menu->name(), L"marvolt");
    return n;
}

class MenuInstaller : public ::testing::Test {
protected:
    void SetUp() override {
        model().reset();
        hosted::CommandLine::instance().clear();
    }
    void TearDown() override {
        // Whatever the path, the installer holds nothing of the host's afterwards.
        EXPECT_EQ(model().references(), 0);
        model().reset();
    }
};

TEST_F(MenuInstaller, PullDownGoesBeforeTheLastMenuWithTheFourteenEntries) {
    hostMenus({L"&File", L"&View"});
    installMarvoltMenu();
    EXPECT_EQ(transcript(), L"");
    EXPECT_EQ(barNames(), (std::vector<std::wstring>{L"&File", L"Marvolt", L"&View"}));

    const auto menu = installed();
    ASSERT_NE(menu, nullptr);
    struct Row {
        const wchar_t* label;
        const wchar_t* macro;
    };
    const Row rows[] = {{L"Marvolt", L"Marvolt "},
                        {L"Hide Marvolt Dialog", L"marvolthide "},
                        {nullptr, nullptr},
                        {L"Purge Empty Groups", L"zelpurgegroups "},
                        {L"Burst Blocks", L"zelburst "},
                        {L"Create Block Icons", L"zelblockicon "},
                        {L"Copy Nested", L"zelncopy "},
                        {nullptr, nullptr},
                        {L"Text to Clayer", L"texttoclayer "},
                        {L"Dims to Clayer", L"dimtoclayer "},
                        {L"Blocks to Clayer", L"inserttoclayer "},
                        {nullptr, nullptr},
                        {L"FlipX", L"flipx "},
                        {L"FlipY", L"flipy "}};
    ASSERT_EQ(menu->entries().size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const hostap::MenuEntry& entry = menu->entries()[i];
        EXPECT_EQ(entry.separator, rows[i].label == nullptr) << i;
        if (!rows[i].label) continue;
        EXPECT_EQ(entry.label, rows[i].label) << i;
        EXPECT_EQ(entry.macro, rows[i].macro) << i;
    }
}

TEST_F(MenuInstaller, WithFiveMenusThePullDownBecomesTheFifth) {
    hostMenus({L"A", L"B", L"C", L"D", L"E"});
    installMarvoltMenu();
    EXPECT_EQ(barNames(), (std::vector<std::wstring>{L"A", L"B", L"C", L"D", L"Marvolt", L"E"}));
}

// The host appends at -1: on an empty bar the menu is the only one.
TEST_F(MenuInstaller, AnEmptyMenuBarGetsThePullDownAlone) {
    installMarvoltMenu();
    EXPECT_EQ(transcript(), L"");
    EXPECT_EQ(barNames(), (std::vector<std::wstring>{L"Marvolt"}));
}

TEST_F(MenuInstaller, ASecondInstallationFindsTheMenuAndLeavesItSingle) {
    hostMenus({L"&File", L"&View"});
    installMarvoltMenu();
    installMarvoltMenu();
    EXPECT_EQ(transcript(), L"\nFailed load menu: ");
    EXPECT_EQ(menusNamedMarvolt(), 1u);
    EXPECT_EQ(barNames().size(), 3u);
}

TEST_F(MenuInstaller, AMenuOfTheFirstGroupNamedInAnotherCaseCountsAsExisting) {
    hostMenus({L"&File"});
    auto existing = model().addMenu(model().hostGroup(), L"mARVOLT");
    model().addEntry(*existing, -1, {L"Own", L"own ", false});
    installMarvoltMenu();
    EXPECT_EQ(transcript(), L"\nFailed load menu: ");
    ASSERT_EQ(existing->entries().size(), 1u);
    EXPECT_EQ(existing->entries()[0].label, L"Own");
    EXPECT_EQ(menusNamedMarvolt(), 1u);
    EXPECT_FALSE(model().isOnMenuBar(*existing));
}

TEST_F(MenuInstaller, OnlyTheFirstGroupIsSearched) {
    hostMenus({L"&File", L"&View"});
    auto other = model().addGroup(L"OTHER");
    model().insertInMenuBar(model().addMenu(*other, L"marvolt"), -1);
    installMarvoltMenu();
    EXPECT_EQ(transcript(), L"");
    ASSERT_NE(installed(), nullptr);
    EXPECT_EQ(installed()->entries().size(), 14u);
    EXPECT_EQ(barNames(), (std::vector<std::wstring>{L"&File", L"&View", L"Marvolt", L"marvolt"}));
}

// An empty place in the group's collection is passed over, and the search goes on.
TEST_F(MenuInstaller, AnEmptyPullDownInTheSearchIsSkipped) {
    hostMenus({L"&File", L"&View"});
    model().refuse(AutomationCall::menusItem, S_OK);
    installMarvoltMenu();
    EXPECT_EQ(transcript(), L"");
    EXPECT_NE(installed(), nullptr);
}

struct Failure {
    const char* name;
    AutomationCall call;
    HRESULT status;
    int skip;
    const wchar_t* said;
    // What stays behind: no pull-down, a partial one of so many entries, or a complete one;
    // never on the bar.
    int entriesLeft;  // -1: no pull-down named "Marvolt"
};

void PrintTo(const Failure& f, std::ostream* out) { *out << f.name; }

class MenuInstallerFailure : public MenuInstaller, public ::testing::WithParamInterface<Failure> {};

TEST_P(MenuInstallerFailure, SaysWhatFailedAndLeavesTheBarAlone) {
    const Failure& f = GetParam();
    hostMenus({L"&File", L"&View"});
    model().refuse(f.call, f.status, f.skip);
    installMarvoltMenu();
    EXPECT_EQ(transcript(), f.said);
    EXPECT_EQ(barNames(), (std::vector<std::wstring>{L"&File", L"&View"}));
    const auto menu = installed();
    if (f.entriesLeft < 0) {
        EXPECT_EQ(menu, nullptr);
    } else {
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->entries().size(), static_cast<std::size_t>(f.entriesLeft));
    }
}

constexpr HRESULT kEmpty = S_OK;  // a call that succeeds with nothing in its out-pointer

INSTANTIATE_TEST_SUITE_P(
    EveryStep, MenuInstallerFailure,
    ::testing::Values(
        Failure{"NoApplication", AutomationCall::application, E_FAIL, 0, L"\nFailed to get AcadApplication: ", -1},
        Failure{"MenuBarError", AutomationCall::menuBar, E_FAIL, 0, L"Failed to get MenuBar: ", -1},
        Failure{"MenuBarOtherSuccess", AutomationCall::menuBar, S_FALSE, 0, L"Failed to get MenuBar: ", -1},
        Failure{"MenuBarEmpty", AutomationCall::menuBar, kEmpty, 0, L"", -1},
        Failure{"MenuGroupsError", AutomationCall::menuGroups, E_NOINTERFACE, 0, L"\nFailed to get MenuGroups: ", -1},
        Failure{"MenuGroupsEmpty", AutomationCall::menuGroups, kEmpty, 0, L"", -1},
        Failure{"MenuBarCount", AutomationCall::menuBarCount, E_FAIL, 0, L"\nFailed to get MenuGroups Count: ", -1},
        Failure{"MenuGroupsItemEmpty", AutomationCall::menuGroupsItem, kEmpty, 0, L"\nFailed to get MenuGroups Item: ", -1},
        Failure{"MenuGroupsItemError", AutomationCall::menuGroupsItem, E_INVALIDARG, 0, L"", -1},
        Failure{"MenusError", AutomationCall::groupMenus, E_FAIL, 0, L"\nFailed to get MenuGroups Menus: ", -1},
        Failure{"MenusOtherSuccess", AutomationCall::groupMenus, S_FALSE, 0, L"\nFailed to get MenuGroups Menus: ", -1},
        Failure{"MenusEmpty", AutomationCall::groupMenus, kEmpty, 0, L"", -1},
        Failure{"SearchCountError", AutomationCall::menusCount, E_FAIL, 1, L"", -1},
        Failure{"SearchItemError", AutomationCall::menusItem, E_FAIL, 1, L"", -1},
        Failure{"SearchNameError", AutomationCall::menuName, E_FAIL, 0, L"", -1},
        Failure{"AddEmpty", AutomationCall::menusAdd, kEmpty, 0, L"\nMenu not created.", -1},
        Failure{"AddError", AutomationCall::menusAdd, E_OUTOFMEMORY, 0, L"", -1},
        Failure{"FourthItemEmpty", AutomationCall::addMenuItem, kEmpty, 3, L"\nFailed to Add Menu Item", 4},
        Failure{"FirstItemError", AutomationCall::addMenuItem, E_FAIL, 0, L"", 0},
        Failure{"SecondSeparatorEmpty", AutomationCall::addSeparator, kEmpty, 1, L"\nFailed to Add Menu Item", 7},
        Failure{"LastSeparatorError", AutomationCall::addSeparator, E_FAIL, 2, L"", 11},
        Failure{"InsertOtherSuccess", AutomationCall::insertInMenuBar, S_FALSE, 0, L"\nFailed to Insert In Menu Bar: ", 14},
        Failure{"InsertError", AutomationCall::insertInMenuBar, E_INVALIDARG, 0, L"", 14}),
    [](const ::testing::TestParamInfo<Failure>& row) { return std::string(row.param.name); });

// A pull-down left half-made outside the bar is found by every later installation.
TEST_F(MenuInstaller, APartialPullDownStopsTheNextInstallation) {
    hostMenus({L"&File", L"&View"});
    model().refuse(AutomationCall::addMenuItem, kEmpty, 5);
    installMarvoltMenu();
    installMarvoltMenu();
    EXPECT_EQ(transcript(), L"\nFailed to Add Menu Item\nFailed load menu: ");
    EXPECT_EQ(menusNamedMarvolt(), 1u);
    EXPECT_EQ(barNames(), (std::vector<std::wstring>{L"&File", L"&View"}));
}

}  // namespace
