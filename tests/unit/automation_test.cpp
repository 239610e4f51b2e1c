// The host's automation model of its menus, called as a module calls it, and the macro
// text its items type.

#include "ap/acadautomation.h"
#include "ap/menumodel.h"
#include "ed/macro.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using hostap::MenuModel;

MenuModel& model() { return MenuModel::instance(); }

VARIANT at(LONG position) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = position;
    return v;
}

// Owns a reference for the length of a test.
template <class I>
struct Ref {
    I* p = nullptr;
    ~Ref() {
        if (p) p->Release();
    }
    I** put() { return &p; }
    I* operator->() const { return p; }
};

struct Text {
    BSTR s;
    explicit Text(const wchar_t* text) : s(SysAllocString(text)) {}
    ~Text() { SysFreeString(s); }
};

std::wstring taken(BSTR text) {
    std::wstring copy(text ? text : L"");
    SysFreeString(text);
    return copy;
}

class Automation : public ::testing::Test {
protected:
    void SetUp() override {
        model().reset();
        void* asked = nullptr;
        ASSERT_EQ(acedGetIDispatch(false)->QueryInterface(IID_IAcadApplication, &asked), S_OK);
        app.p = static_cast<IAcadApplication*>(asked);
        Ref<IAcadMenuGroups> groups;
        ASSERT_EQ(app->get_MenuGroups(groups.put()), S_OK);
        Ref<IAcadMenuGroup> group;
        ASSERT_EQ(groups->Item(at(0), group.put()), S_OK);
        ASSERT_EQ(group->get_Menus(menus.put()), S_OK);
    }
    void TearDown() override {
        if (app.p) app.p->Release();
        app.p = nullptr;
        if (menus.p) menus.p->Release();
        menus.p = nullptr;
        EXPECT_EQ(model().references(), 0);
        model().setListener({});
        model().reset();
    }

    IAcadPopupMenu* add(const wchar_t* name) {
        const Text text(name);
        IAcadPopupMenu* menu = nullptr;
        EXPECT_EQ(menus->Add(text.s, &menu), S_OK);
        return menu;
    }
    static HRESULT addItem(IAcadPopupMenu* menu, VARIANT index, const wchar_t* label) {
        const Text l(label), m(L"macro ");
        Ref<IAcadPopupMenuItem> item;
        return menu->AddMenuItem(index, l.s, m.s, item.put());
    }
    static std::vector<std::wstring> labels(const hostap::PullDownMenu& menu) {
        std::vector<std::wstring> out;
        for (const auto& e : menu.entries()) out.push_back(e.separator ? L"---" : e.label);
        return out;
    }

    Ref<IAcadApplication> app;
    Ref<IAcadPopupMenus> menus;
};

TEST_F(Automation, TheHostsOwnGroupComesFirst) {
    Ref<IAcadMenuGroups> groups;
    ASSERT_EQ(app->get_MenuGroups(groups.put()), S_OK);
    model().addGroup(L"OTHER");
    LONG count = 0;
    EXPECT_EQ(groups->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    Ref<IAcadMenuGroup> first;
    ASSERT_EQ(groups->Item(at(0), first.put()), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(first->get_Name(&name), S_OK);
    EXPECT_EQ(taken(name), L"HOST");
}

struct Placing {
    const char* name;
    VARIANT index;
    HRESULT status;
    std::vector<std::wstring> after;
};

VARIANT named(VARTYPE type) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    return v;
}

VARIANT shortAt(std::int16_t position) {
    VARIANT v = named(VT_I2);
    v.iVal = position;
    return v;
}

// Where an entry goes for each position: the rule the host documents for -1 and for
// positions out of range.
TEST_F(Automation, EntriesGoBeforeThePositionOrAtTheEnd) {
    const Placing cases[] = {
        {"first", at(0), S_OK, {L"X", L"A", L"B", L"C"}},
        {"middle", at(1), S_OK, {L"A", L"X", L"B", L"C"}},
        {"short middle", shortAt(2), S_OK, {L"A", L"B", L"X", L"C"}},
        {"count", at(3), S_OK, {L"A", L"B", L"C", L"X"}},
        {"past the end", at(70), S_OK, {L"A", L"B", L"C", L"X"}},
        {"minus one", at(-1), S_OK, {L"A", L"B", L"C", L"X"}},
        {"below minus one", at(-2), E_INVALIDARG, {L"A", L"B", L"C"}},
        {"a name", named(VT_BSTR), DISP_E_TYPEMISMATCH, {L"A", L"B", L"C"}},
        {"nothing", named(VT_EMPTY), DISP_E_TYPEMISMATCH, {L"A", L"B", L"C"}},
    };
    int sentinel = 0;
    for (const Placing& c : cases) {
        Ref<IAcadPopupMenu> menu;
        menu.p = add(L"M");
        for (const wchar_t* label : {L"A", L"B", L"C"}) ASSERT_EQ(addItem(menu.p, at(-1), label), S_OK);
        const Text l(L"X"), m(L"x ");
        // A failed call must empty the out-pointer, whatever it held.
        auto* item = reinterpret_cast<IAcadPopupMenuItem*>(&sentinel);
        const HRESULT status = menu->AddMenuItem(c.index, l.s, m.s, &item);
        EXPECT_EQ(status, c.status) << c.name;
        if (SUCCEEDED(status)) item->Release();
        else EXPECT_EQ(item, nullptr) << c.name;
        EXPECT_EQ(labels(*model().hostGroup().menus().back()), c.after) << c.name;
    }
}

TEST_F(Automation, AnItemTellsItsLabelMacroAndKind) {
    Ref<IAcadPopupMenu> menu;
    menu.p = add(L"M");
    const Text label(L"Burst Blocks"), macro(L"zelburst ");
    Ref<IAcadPopupMenuItem> item, separator, again;
    ASSERT_EQ(menu->AddMenuItem(at(0), label.s, macro.s, item.put()), S_OK);
    ASSERT_EQ(menu->AddSeparator(at(0), separator.put()), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(item->get_Macro(&text), S_OK);
    EXPECT_EQ(taken(text), L"zelburst ");
    AcMenuItemType type = acMenuItem;
    ASSERT_EQ(separator->get_Type(&type), S_OK);
    EXPECT_EQ(type, acMenuSeparator);
    ASSERT_EQ(menu->Item(at(1), again.put()), S_OK);
    ASSERT_EQ(again->get_Label(&text), S_OK);
    EXPECT_EQ(taken(text), L"Burst Blocks");
    LONG count = 0;
    EXPECT_EQ(menu->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
}

TEST_F(Automation, AMenuGoesOnTheBarOnceAndComesOffIt) {
    Ref<IAcadPopupMenu> first, second;
    first.p = add(L"First");
    second.p = add(L"Second");
    int heard = 0;
    model().setListener([&] { ++heard; });
    EXPECT_EQ(first->InsertInMenuBar(at(-1)), S_OK);
    EXPECT_EQ(second->InsertInMenuBar(at(0)), S_OK);
    EXPECT_EQ(first->InsertInMenuBar(at(0)), S_FALSE);
    EXPECT_EQ(heard, 2);
    Ref<IAcadMenuBar> bar;
    ASSERT_EQ(app->get_MenuBar(bar.put()), S_OK);
    LONG count = 0;
    ASSERT_EQ(bar->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    Ref<IAcadPopupMenu> leftmost;
    ASSERT_EQ(bar->Item(at(0), leftmost.put()), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(leftmost->get_Name(&name), S_OK);
    EXPECT_EQ(taken(name), L"Second");

    EXPECT_EQ(second->RemoveFromMenuBar(), S_OK);
    EXPECT_EQ(second->RemoveFromMenuBar(), S_FALSE);
    VARIANT_BOOL on = VARIANT_TRUE;
    ASSERT_EQ(second->get_OnMenuBar(&on), S_OK);
    EXPECT_EQ(on, VARIANT_FALSE);
    ASSERT_EQ(model().menuBar().size(), 1u);
    EXPECT_EQ(model().hostGroup().menus().size(), 2u) << "taken off the bar, kept in the group";
}

TEST_F(Automation, MenusAreFoundByPositionOrByNameInAnyCase) {
    Ref<IAcadPopupMenu> a, b;
    a.p = add(L"Alpha");
    b.p = add(L"Marvolt");
    const Text name(L"mARVOLT"), missing(L"Gamma");
    VARIANT byName = named(VT_BSTR);
    byName.bstrVal = name.s;
    Ref<IAcadPopupMenu> found;
    ASSERT_EQ(menus->Item(byName, found.put()), S_OK);
    BSTR text = nullptr;
    ASSERT_EQ(found->get_Name(&text), S_OK);
    EXPECT_EQ(taken(text), L"Marvolt");

    byName.bstrVal = missing.s;
    for (const VARIANT& wrong : {at(2), at(-1), byName}) {
        IAcadPopupMenu* none = b.p;
        EXPECT_EQ(menus->Item(wrong, &none), E_INVALIDARG);
        EXPECT_EQ(none, nullptr);
    }
}

TEST_F(Automation, AnObjectAnswersOnlyTheInterfacesItHas) {
    void* asked = this;
    EXPECT_EQ(app->QueryInterface(IID_IAcadMenuBar, &asked), E_NOINTERFACE);
    EXPECT_EQ(asked, nullptr);
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, IID_IAcadApplication}) {
        ASSERT_EQ(app->QueryInterface(iid, &asked), S_OK);
        static_cast<IUnknown*>(asked)->Release();
    }
    EXPECT_EQ(app->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

// A borrowed application object is no reference of the caller's; an added one is.
TEST_F(Automation, OnlyAnAddedReferenceCounts) {
    const long before = model().references();
    IDispatch* borrowed = acedGetIDispatch(false);
    EXPECT_EQ(model().references(), before);
    IDispatch* held = acedGetIDispatch(true);
    EXPECT_EQ(held, borrowed);
    EXPECT_EQ(model().references(), before + 1);
    held->Release();
    EXPECT_EQ(model().references(), before);
}

// A menu object a caller keeps stays usable after the host drops the menu.
TEST_F(Automation, AKeptMenuOutlivesAReset) {
    Ref<IAcadPopupMenu> menu;
    menu.p = add(L"Kept");
    model().reset();
    EXPECT_EQ(addItem(menu.p, at(0), L"Still"), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(menu->get_Name(&name), S_OK);
    EXPECT_EQ(taken(name), L"Kept");
    EXPECT_TRUE(model().menuBar().empty());
}

TEST(AutomationText, StringsKeepTheirLengthAndVariantsFreeWhatTheyHold) {
    BSTR text = SysAllocString(L"Marvolt ");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 8u);
    EXPECT_EQ(std::wstring(text), L"Marvolt ");
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    EXPECT_EQ(VariantClear(&v), S_OK);  // the sanitizer build sees a leak otherwise
    EXPECT_EQ(v.vt, VT_EMPTY);

    const long before = MenuModel::instance().references();
    v.vt = VT_DISPATCH;
    v.pdispVal = acedGetIDispatch(true);
    VariantClear(&v);
    EXPECT_EQ(MenuModel::instance().references(), before);
}

TEST(MacroInputs, EachBlankOrSemicolonEndsAnInput) {
    struct Case {
        const wchar_t* macro;
        std::vector<std::wstring> inputs;
    };
    const Case cases[] = {
        {L"zelburst ", {L"zelburst"}},
        {L"Marvolt", {L"Marvolt"}},
        {L"", {}},
        {L" ", {L""}},
        {L"line 0,0 5,5 ", {L"line", L"0,0", L"5,5"}},
        {L"x;;y", {L"x", L"", L"y"}},
    };
    for (const Case& c : cases) EXPECT_EQ(hosted::macroInputs(c.macro), c.inputs) << c.macro;
}

}  // namespace
