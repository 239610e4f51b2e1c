#include "entry/menuinstaller.h"

#include "frame/hostapi.h"

#include <string>
#include <utility>

namespace {

constexpr const wchar_t* kMenuName = L"Marvolt";

// One entry of the pull-down; a separator has no label.
struct MenuRow {
    LONG position;
    const wchar_t* label;
    const wchar_t* macro;
};

// Each macro is a command name and the blank that ends it at the command line.
constexpr MenuRow kMenuRows[] = {
    {0, L"Marvolt", L"Marvolt "},
    {1, L"Hide Marvolt Dialog", L"marvolthide "},
    {2, nullptr, nullptr},
    {3, L"Purge Empty Groups", L"zelpurgegroups "},
    {4, L"Burst Blocks", L"zelburst "},
    {5, L"Create Block Icons", L"zelblockicon "},
    {6, L"Copy Nested", L"zelncopy "},
    {7, nullptr, nullptr},
    {8, L"Text to Clayer", L"texttoclayer "},
    {9, L"Dims to Clayer", L"dimtoclayer "},
    {10, L"Blocks to Clayer", L"inserttoclayer "},
    {11, nullptr, nullptr},
    {12, L"FlipX", L"flipx "},
    {13, L"FlipY", L"flipy "},
};

// Holds one reference of an automation object and gives it back when it goes, so that
// every path out of the installation releases what it obtained.
template <class Interface>
class Held {
public:
    Held() = default;
    // Takes over a reference the caller holds.
    explicit Held(Interface* taken) : m_object(taken) {}
    ~Held() { reset(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    Interface** put() {
        reset();
        return &m_object;
    }
    Interface* operator->() const { return m_object; }
    Interface& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    void reset() {
        if (m_object) std::exchange(m_object, nullptr)->Release();
    }

private:
    Interface* m_object = nullptr;
};

// A text handed to the host, freed when it goes; empty when memory ran out.
class Text {
public:
    explicit Text(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~Text() { SysFreeString(m_text); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    BSTR get() const { return m_text; }
    explicit operator bool() const { return m_text != nullptr; }

private:
    BSTR m_text;
};

VARIANT position(LONG at) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = at;
    return v;
}

void report(const ACHAR* message) { acutPrintf(message); }

std::wstring upperCased(const wchar_t* text) {
    std::wstring upper(text ? text : L"");
    CharUpperW(upper.data());
    return upper;
}

enum class Search { absent, present, failed };

// Step 7: the group's pull-downs, the count read afresh on every pass since the
// collection is the host's and may change under it.
Search findMenu(IAcadPopupMenus& menus) {
    const std::wstring wanted = upperCased(kMenuName);
    for (LONG i = 0;; ++i) {
        LONG count = 0;
        if (FAILED(menus.get_Count(&count))) return Search::failed;
        if (i >= count) return Search::absent;
        Held<IAcadPopupMenu> menu;
        if (FAILED(menus.Item(position(i), menu.put()))) return Search::failed;
        if (!menu) continue;
        BSTR name = nullptr;
        if (FAILED(menu->get_Name(&name))) return Search::failed;
        const bool same = upperCased(name) == wanted;
        SysFreeString(name);
        if (same) return Search::present;
    }
}

enum class Filled { complete, itemMissing, failed };

// Step 9: the entries go in one by one; those made before a failure stay.
Filled fillMenu(IAcadPopupMenu& menu) {
    for (const MenuRow& row : kMenuRows) {
        Held<IAcadPopupMenuItem> item;
        HRESULT status = S_OK;
        if (row.label) {
            const Text label(row.label), macro(row.macro);
            if (!label || !macro) return Filled::failed;
            status = menu.AddMenuItem(position(row.position), label.get(), macro.get(), item.put());
        } else {
            status = menu.AddSeparator(position(row.position), item.put());
        }
        if (FAILED(status)) return Filled::failed;
        if (!item) return Filled::itemMissing;
    }
    return Filled::complete;
}

// Steps 8 to 10, on the first group's pull-downs; barCount is the menu bar's count.
void addMenu(IAcadPopupMenus& menus, LONG barCount) {
    const Text name(kMenuName);
    if (!name) return;
    Held<IAcadPopupMenu> menu;
    if (FAILED(menus.Add(name.get(), menu.put()))) return;
    if (!menu) return report(L"\nMenu not created.");
    switch (fillMenu(*menu)) {
        case Filled::complete: break;
        case Filled::itemMissing: return report(L"\nFailed to Add Menu Item");
        case Filled::failed: return;
    }
    // Just before the last menu the bar had: the host keeps its last menu last.
    const HRESULT status = menu->InsertInMenuBar(position(barCount - 1));
    if (SUCCEEDED(status) && status != S_OK) report(L"\nFailed to Insert In Menu Bar: ");
}

void install() {
    const Held<IDispatch> dispatch(acedGetIDispatch(true));
    void* asked = nullptr;
    if (!dispatch || FAILED(dispatch->QueryInterface(IID_IAcadApplication, &asked)) || !asked)
        return report(L"\nFailed to get AcadApplication: ");
    const Held<IAcadApplication> application(static_cast<IAcadApplication*>(asked));
    Held<IAcadMenuBar> menuBar;
    if (application->get_MenuBar(menuBar.put()) != S_OK) return report(L"Failed to get MenuBar: ");
    if (!menuBar) return;
    Held<IAcadMenuGroups> menuGroups;
    if (application->get_MenuGroups(menuGroups.put()) != S_OK) return report(L"\nFailed to get MenuGroups: ");
    if (!menuGroups) return;
    LONG barCount = 0;
    if (menuBar->get_Count(&barCount) != S_OK) return report(L"\nFailed to get MenuGroups Count: ");
    Held<IAcadMenuGroup> group;
    if (FAILED(menuGroups->Item(position(0), group.put()))) return;
    if (!group) return report(L"\nFailed to get MenuGroups Item: ");
    Held<IAcadPopupMenus> menus;
    if (group->get_Menus(menus.put()) != S_OK) return report(L"\nFailed to get MenuGroups Menus: ");
    if (!menus) return;
    switch (findMenu(*menus)) {
        case Search::absent: break;
        case Search::present: return report(L"\nFailed load menu: ");
        case Search::failed: return;
    }
    addMenu(*menus, barCount);
}

}  // namespace

void installMarvoltMenu() {
    // Memory running out on the way ends the installation like any failed step.
    try {
        install();
    } catch (...) {
    }
}
