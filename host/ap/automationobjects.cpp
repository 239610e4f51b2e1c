// The automation objects of ap/acadautomation.h: small reference-counted views of the
// menu model. They are made by the calls that hand them out and end at their last
// Release; none is named outside this file, so they share it.

#include "ap/acadautomation.h"
#include "ap/menumodel.h"
#include "rx/textcase.h"

#include <memory>
#include <new>
#include <string_view>

namespace {

using hostap::AutomationCall;
using hostap::MenuEntry;
using hostap::MenuGroup;
using hostap::MenuModel;
using hostap::PullDownMenu;

MenuModel& model() { return MenuModel::instance(); }

// Counts its references, in the model's tally too, and ends the object at the last.
template <class Interface, const IID& kIid>
class Automation : public Interface {
public:
    Automation(const Automation&) = delete;
    Automation& operator=(const Automation&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIid) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override {
        model().countReference(1);
        return ++m_count;
    }
    ULONG Release() override {
        model().countReference(-1);
        const ULONG left = --m_count;
        if (left == 0) end();
        return left;
    }

protected:
    // The maker holds the first reference.
    Automation() { model().countReference(1); }
    virtual ~Automation() = default;
    virtual void end() { delete this; }

private:
    ULONG m_count = 1;
};

// Hands out a new object, which owns itself from now on (its last Release ends it).
template <class Object, class Interface, class... Args>
HRESULT handOut(Interface** out, Args&&... args) {
    *out = new (std::nothrow) Object(std::forward<Args>(args)...);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT handOutText(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A test's refusal due for the call (MenuModel::refuse).
bool refused(AutomationCall call, HRESULT& status) { return model().refusal(call, status); }

// The same for a call that hands something out: its out-pointer is emptied.
template <class Out>
bool refused(AutomationCall call, Out* out, HRESULT& status) {
    if (!refused(call, status)) return false;
    if (out) *out = Out{};
    return true;
}

// An [in] text is read up to its terminator; a null one is empty.
std::wstring_view textOf(BSTR text) { return text ? std::wstring_view(text) : std::wstring_view(); }

HRESULT positionOf(const VARIANT& index, LONG& position) {
    if (index.vt == VT_I4) position = index.lVal;
    else if (index.vt == VT_I2) position = index.iVal;
    else return DISP_E_TYPEMISMATCH;
    return S_OK;
}

template <class T>
HRESULT countOf(const std::vector<T>& list, LONG* count) {
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(list.size());
    return S_OK;
}

// The element a variant names: by position, or by name without regard to letter case.
template <class T>
HRESULT pick(const std::vector<std::shared_ptr<T>>& list, const VARIANT& index, std::shared_ptr<T>& found) {
    if (index.vt == VT_BSTR) {
        for (const auto& element : list)
            if (hostrx::equalsNoCase(element->name(), textOf(index.bstrVal))) {
                found = element;
                return S_OK;
            }
        return E_INVALIDARG;
    }
    LONG position = 0;
    if (const HRESULT status = positionOf(index, position); FAILED(status)) return status;
    if (position < 0 || static_cast<std::size_t>(position) >= list.size()) return E_INVALIDARG;
    found = list[static_cast<std::size_t>(position)];
    return S_OK;
}

class MenuItemObject final : public Automation<IAcadPopupMenuItem, IID_IAcadPopupMenuItem> {
public:
    explicit MenuItemObject(MenuEntry entry) : m_entry(std::move(entry)) {}
    HRESULT get_Label(BSTR* label) override { return handOutText(m_entry.label, label); }
    HRESULT get_Macro(BSTR* macro) override { return handOutText(m_entry.macro, macro); }
    HRESULT get_Type(AcMenuItemType* type) override {
        if (!type) return E_POINTER;
        *type = m_entry.separator ? acMenuSeparator : acMenuItem;
        return S_OK;
    }

private:
    MenuEntry m_entry;
};

class PopupMenuObject final : public Automation<IAcadPopupMenu, IID_IAcadPopupMenu> {
public:
    explicit PopupMenuObject(std::shared_ptr<PullDownMenu> menu) : m_menu(std::move(menu)) {}

    HRESULT get_Name(BSTR* name) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menuName, name, status)) return status;
        return handOutText(m_menu->name(), name);
    }
    HRESULT get_Count(LONG* count) override { return countOf(m_menu->entries(), count); }
    HRESULT get_OnMenuBar(VARIANT_BOOL* onMenuBar) override {
        if (!onMenuBar) return E_POINTER;
        *onMenuBar = model().isOnMenuBar(*m_menu) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT Item(VARIANT index, IAcadPopupMenuItem** item) override {
        if (!item) return E_POINTER;
        *item = nullptr;
        LONG position = 0;
        if (const HRESULT status = positionOf(index, position); FAILED(status)) return status;
        const auto& entries = m_menu->entries();
        if (position < 0 || static_cast<std::size_t>(position) >= entries.size()) return E_INVALIDARG;
        return handOut<MenuItemObject>(item, entries[static_cast<std::size_t>(position)]);
    }
    HRESULT AddMenuItem(VARIANT index, BSTR label, BSTR macro, IAcadPopupMenuItem** item) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::addMenuItem, item, status)) return status;
        return add(index, MenuEntry{std::wstring(textOf(label)), std::wstring(textOf(macro)), false}, item);
    }
    HRESULT AddSeparator(VARIANT index, IAcadPopupMenuItem** item) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::addSeparator, item, status)) return status;
        return add(index, MenuEntry{L"", L"", true}, item);
    }
    HRESULT InsertInMenuBar(VARIANT index) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::insertInMenuBar, status)) return status;
        LONG position = 0;
        if (status = positionOf(index, position); FAILED(status)) return status;
        switch (model().insertInMenuBar(m_menu, position)) {
            case MenuModel::Placed::placed: return S_OK;
            case MenuModel::Placed::alreadyThere: return S_FALSE;
            case MenuModel::Placed::refused: break;
        }
        return E_INVALIDARG;
    }
    HRESULT RemoveFromMenuBar() override { return model().removeFromMenuBar(*m_menu) ? S_OK : S_FALSE; }

private:
    HRESULT add(const VARIANT& index, MenuEntry entry, IAcadPopupMenuItem** item) {
        if (!item) return E_POINTER;
        *item = nullptr;
        LONG position = 0;
        if (const HRESULT status = positionOf(index, position); FAILED(status)) return status;
        // The item object is made first, so that running out of memory changes nothing.
        auto made = std::unique_ptr<MenuItemObject, void (*)(MenuItemObject*)>(
            new (std::nothrow) MenuItemObject(entry), [](MenuItemObject* o) { o->Release(); });
        if (!made) return E_OUTOFMEMORY;
        if (!model().addEntry(*m_menu, position, std::move(entry))) return E_INVALIDARG;
        *item = made.release();
        return S_OK;
    }

    std::shared_ptr<PullDownMenu> m_menu;
};

class PopupMenusObject final : public Automation<IAcadPopupMenus, IID_IAcadPopupMenus> {
public:
    explicit PopupMenusObject(std::shared_ptr<MenuGroup> group) : m_group(std::move(group)) {}

    HRESULT get_Count(LONG* count) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menusCount, count, status)) return status;
        return countOf(m_group->menus(), count);
    }
    HRESULT Item(VARIANT index, IAcadPopupMenu** menu) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menusItem, menu, status)) return status;
        if (!menu) return E_POINTER;
        *menu = nullptr;
        std::shared_ptr<PullDownMenu> found;
        if (status = pick(m_group->menus(), index, found); FAILED(status)) return status;
        return handOut<PopupMenuObject>(menu, std::move(found));
    }
    HRESULT Add(BSTR name, IAcadPopupMenu** menu) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menusAdd, menu, status)) return status;
        if (!menu) return E_POINTER;
        auto added = model().addMenu(*m_group, std::wstring(textOf(name)));
        return handOut<PopupMenuObject>(menu, std::move(added));
    }

private:
    std::shared_ptr<MenuGroup> m_group;
};

class MenuGroupObject final : public Automation<IAcadMenuGroup, IID_IAcadMenuGroup> {
public:
    explicit MenuGroupObject(std::shared_ptr<MenuGroup> group) : m_group(std::move(group)) {}

    HRESULT get_Name(BSTR* name) override { return handOutText(m_group->name(), name); }
    HRESULT get_Menus(IAcadPopupMenus** menus) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::groupMenus, menus, status)) return status;
        if (!menus) return E_POINTER;
        return handOut<PopupMenusObject>(menus, m_group);
    }

private:
    std::shared_ptr<MenuGroup> m_group;
};

class MenuGroupsObject final : public Automation<IAcadMenuGroups, IID_IAcadMenuGroups> {
public:
    HRESULT get_Count(LONG* count) override { return countOf(model().groups(), count); }
    HRESULT Item(VARIANT index, IAcadMenuGroup** group) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menuGroupsItem, group, status)) return status;
        if (!group) return E_POINTER;
        *group = nullptr;
        std::shared_ptr<MenuGroup> found;
        if (status = pick(model().groups(), index, found); FAILED(status)) return status;
        return handOut<MenuGroupObject>(group, std::move(found));
    }
};

class MenuBarObject final : public Automation<IAcadMenuBar, IID_IAcadMenuBar> {
public:
    HRESULT get_Count(LONG* count) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menuBarCount, count, status)) return status;
        return countOf(model().menuBar(), count);
    }
    HRESULT Item(VARIANT index, IAcadPopupMenu** menu) override {
        if (!menu) return E_POINTER;
        *menu = nullptr;
        std::shared_ptr<PullDownMenu> found;
        if (const HRESULT status = pick(model().menuBar(), index, found); FAILED(status)) return status;
        return handOut<PopupMenuObject>(menu, std::move(found));
    }
};

// The one application object, the host's for as long as the program runs: its own
// reference is not in the tally, and a last Release never ends it.
class ApplicationObject final : public Automation<IAcadApplication, IID_IAcadApplication> {
public:
    ApplicationObject() { model().countReference(-1); }

    HRESULT get_MenuBar(IAcadMenuBar** menuBar) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menuBar, menuBar, status)) return status;
        if (!menuBar) return E_POINTER;
        return handOut<MenuBarObject>(menuBar);
    }
    HRESULT get_MenuGroups(IAcadMenuGroups** menuGroups) override {
        HRESULT status = S_OK;
        if (refused(AutomationCall::menuGroups, menuGroups, status)) return status;
        if (!menuGroups) return E_POINTER;
        return handOut<MenuGroupsObject>(menuGroups);
    }

protected:
    void end() override {}
};

}  // namespace

IDispatch* acedGetIDispatch(bool addRef) {
    static ApplicationObject application;
    HRESULT ignored = S_OK;
    if (model().refusal(AutomationCall::application, ignored)) return nullptr;
    if (addRef) application.AddRef();
    return &application;
}
