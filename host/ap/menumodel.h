#pragma once

// The host's menus as data, without any window: menu groups holding pull-down menus,
// and the menu bar showing some of them left to right. The automation objects
// (ap/acadautomation.h) are views of it; the main window mirrors the bar into its own
// menu bar and listens for changes. It lives as long as the program, with the host's
// own group first.

#include "ap/oleauto.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hostap {

struct MenuEntry {
    std::wstring label;
    std::wstring macro;
    bool separator = false;
};

class PullDownMenu {
public:
    explicit PullDownMenu(std::wstring name) : m_name(std::move(name)) {}
    const std::wstring& name() const { return m_name; }
    const std::vector<MenuEntry>& entries() const { return m_entries; }

private:
    friend class MenuModel;
    std::wstring m_name;
    std::vector<MenuEntry> m_entries;
};

class MenuGroup {
public:
    explicit MenuGroup(std::wstring name) : m_name(std::move(name)) {}
    const std::wstring& name() const { return m_name; }
    const std::vector<std::shared_ptr<PullDownMenu>>& menus() const { return m_menus; }

private:
    friend class MenuModel;
    std::wstring m_name;
    std::vector<std::shared_ptr<PullDownMenu>> m_menus;
};

// The automation calls a test can make refuse (MenuModel::refuse).
enum class AutomationCall {
    application,      // acedGetIDispatch: any refusal gives nullptr
    menuBar,          // IAcadApplication::get_MenuBar
    menuGroups,       // IAcadApplication::get_MenuGroups
    menuBarCount,     // IAcadMenuBar::get_Count
    menuGroupsItem,   // IAcadMenuGroups::Item
    groupMenus,       // IAcadMenuGroup::get_Menus
    menusCount,       // IAcadPopupMenus::get_Count
    menusItem,        // IAcadPopupMenus::Item
    menuName,         // IAcadPopupMenu::get_Name
    menusAdd,         // IAcadPopupMenus::Add
    addMenuItem,      // IAcadPopupMenu::AddMenuItem
    addSeparator,     // IAcadPopupMenu::AddSeparator
    insertInMenuBar,  // IAcadPopupMenu::InsertInMenuBar
};

class MenuModel {
public:
    // The name of the host's own menu group, always the first.
    static constexpr const wchar_t* kHostGroup = L"HOST";

    static MenuModel& instance();

    const std::vector<std::shared_ptr<MenuGroup>>& groups() const { return m_groups; }
    MenuGroup& hostGroup() const { return *m_groups.front(); }
    const std::vector<std::shared_ptr<PullDownMenu>>& menuBar() const { return m_bar; }
    bool isOnMenuBar(const PullDownMenu& menu) const;
    // The group's first pull-down of that name, without regard to letter case.
    std::shared_ptr<PullDownMenu> findMenu(const MenuGroup& group, std::wstring_view name) const;

    // Changes. Positions follow the rule of ap/acadautomation.h: before the entry at the
    // position; -1 or at or past the end appends; below -1 is refused (false).
    std::shared_ptr<MenuGroup> addGroup(std::wstring name);
    std::shared_ptr<PullDownMenu> addMenu(MenuGroup& group, std::wstring name);
    bool addEntry(PullDownMenu& menu, LONG position, MenuEntry entry);
    enum class Placed { placed, alreadyThere, refused };
    Placed insertInMenuBar(const std::shared_ptr<PullDownMenu>& menu, LONG position);
    bool removeFromMenuBar(const PullDownMenu& menu);

    // Called after every change; an empty function removes it. The main window mirrors
    // the menu bar from here.
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

    // Back to the host's own group alone, empty, with an empty menu bar and no
    // refusals; the listener stays and hears of it. For tests.
    void reset();

    // Test hooks: the call, after skip ordinary answers, answers status once, with an
    // empty out-pointer where it hands out an object (so S_OK gives an empty result).
    void refuse(AutomationCall call, HRESULT status, int skip = 0);
    // The refusal due now for a call about to answer, if any; it is used up.
    bool refusal(AutomationCall call, HRESULT& status);

    // References to automation objects held by callers: 0 once every caller has released
    // what it obtained. The host's own hold on the application object does not count.
    long references() const { return m_references; }
    void countReference(int delta) { m_references += delta; }

private:
    MenuModel();
    void changed();

    struct Refusal {
        HRESULT status;
        int skip;
    };
    std::vector<std::shared_ptr<MenuGroup>> m_groups;
    std::vector<std::shared_ptr<PullDownMenu>> m_bar;
    std::multimap<AutomationCall, Refusal> m_refusals;
    std::function<void()> m_listener;
    long m_references = 0;
};

}  // namespace hostap
