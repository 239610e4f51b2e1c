#pragma once

// The host's automation model of its menus, in the platform's automation style
// (ap/oleauto.h): the application object, its menu bar and its menu groups, each group's
// pull-down menus, and their items. The objects are views of the host's menus
// (ap/menumodel.h): what a call changes is seen at once in the main window's menu bar.
//
// Every call answers a status. An interface pointer handed out holds one reference,
// which the receiver gives back with Release; on a failure the out-pointer is set to
// nullptr. A text handed out is a new BSTR that the receiver frees with SysFreeString.
//
// Positions are variants of VT_I4 (or VT_I2) counting from 0. Item also takes a VT_BSTR
// name, matched without regard to letter case. A position out of range answers
// E_INVALIDARG, a variant of another type DISP_E_TYPEMISMATCH, a null out-pointer
// E_POINTER. Where something is added at a position (AddMenuItem, AddSeparator,
// InsertInMenuBar) it goes before what stood there; -1, and any position at or past the
// end, add at the end (so that "before the last menu" on an empty bar is the only
// place), and a position below -1 answers E_INVALIDARG.

#include "ap/oleauto.h"

class IAcadPopupMenu;

enum AcMenuItemType { acMenuItem = 0, acMenuSeparator = 1 };

// One entry of a pull-down menu: an item or a separator. It keeps the text it had when
// it was handed out if its menu changes later.
class IAcadPopupMenuItem : public IDispatch {
public:
    virtual HRESULT get_Label(BSTR* label) = 0;
    // The command macro the item types at the command line; empty for a separator.
    virtual HRESULT get_Macro(BSTR* macro) = 0;
    virtual HRESULT get_Type(AcMenuItemType* type) = 0;

protected:
    ~IAcadPopupMenuItem() = default;
};

// A pull-down menu of a menu group, on the menu bar or not.
class IAcadPopupMenu : public IDispatch {
public:
    virtual HRESULT get_Name(BSTR* name) = 0;
    virtual HRESULT get_Count(LONG* count) = 0;
    virtual HRESULT get_OnMenuBar(VARIANT_BOOL* onMenuBar) = 0;
    virtual HRESULT Item(VARIANT index, IAcadPopupMenuItem** item) = 0;
    // The macro is typed at the command line as a person would type it when the item is
    // chosen: a blank or ";" ends one input, as Enter would.
    virtual HRESULT AddMenuItem(VARIANT index, BSTR label, BSTR macro, IAcadPopupMenuItem** item) = 0;
    virtual HRESULT AddSeparator(VARIANT index, IAcadPopupMenuItem** item) = 0;
    // S_FALSE, with nothing changed, when the menu is on the bar already.
    virtual HRESULT InsertInMenuBar(VARIANT index) = 0;
    // S_FALSE when the menu is not on the bar. The menu stays in its group.
    virtual HRESULT RemoveFromMenuBar() = 0;

protected:
    ~IAcadPopupMenu() = default;
};

// The pull-down menus of one menu group, in the order they were added.
class IAcadPopupMenus : public IDispatch {
public:
    virtual HRESULT get_Count(LONG* count) = 0;
    virtual HRESULT Item(VARIANT index, IAcadPopupMenu** menu) = 0;
    // A new, empty pull-down at the end of the group, not yet on the menu bar. Names
    // need not be unique.
    virtual HRESULT Add(BSTR name, IAcadPopupMenu** menu) = 0;

protected:
    ~IAcadPopupMenus() = default;
};

class IAcadMenuGroup : public IDispatch {
public:
    virtual HRESULT get_Name(BSTR* name) = 0;
    virtual HRESULT get_Menus(IAcadPopupMenus** menus) = 0;

protected:
    ~IAcadMenuGroup() = default;
};

// The loaded menu groups; the first is the host's own, whose menus the host's menu bar
// starts with.
class IAcadMenuGroups : public IDispatch {
public:
    virtual HRESULT get_Count(LONG* count) = 0;
    virtual HRESULT Item(VARIANT index, IAcadMenuGroup** group) = 0;

protected:
    ~IAcadMenuGroups() = default;
};

// The menus on the main window's menu bar, left to right.
class IAcadMenuBar : public IDispatch {
public:
    virtual HRESULT get_Count(LONG* count) = 0;
    virtual HRESULT Item(VARIANT index, IAcadPopupMenu** menu) = 0;

protected:
    ~IAcadMenuBar() = default;
};

class IAcadApplication : public IDispatch {
public:
    virtual HRESULT get_MenuBar(IAcadMenuBar** menuBar) = 0;
    virtual HRESULT get_MenuGroups(IAcadMenuGroups** menuGroups) = 0;

protected:
    ~IAcadApplication() = default;
};

inline constexpr IID IID_IAcadApplication = {0x7A5A54F7, 0x871F, 0x4F9A, {0x85, 0x3C, 0x22, 0xB9, 0xAD, 0x92, 0x5A, 0x61}};
inline constexpr IID IID_IAcadMenuBar = {0x47CBD3D6, 0x3043, 0x470C, {0xA5, 0x5F, 0x27, 0xCA, 0x60, 0x7F, 0x05, 0x49}};
inline constexpr IID IID_IAcadMenuGroups = {0xD2FD1854, 0x3C4A, 0x4F4A, {0xAF, 0x97, 0x66, 0x31, 0x2C, 0x44, 0x01, 0xA4}};
inline constexpr IID IID_IAcadMenuGroup = {0x9FF61533, 0x3897, 0x424A, {0xBD, 0x5B, 0x8D, 0xEB, 0x93, 0xD1, 0x8E, 0xEF}};
inline constexpr IID IID_IAcadPopupMenus = {0x3349DB11, 0x9E3C, 0x4589, {0x89, 0xA1, 0x10, 0x44, 0xCC, 0x3A, 0x33, 0x03}};
inline constexpr IID IID_IAcadPopupMenu = {0x646EDB58, 0x3D55, 0x4BF7, {0x8B, 0x78, 0xF5, 0xF7, 0xB3, 0x4B, 0xFA, 0x57}};
inline constexpr IID IID_IAcadPopupMenuItem = {0x44830F88, 0xEFF1, 0x4B6B, {0xA9, 0xEF, 0xF6, 0x58, 0xF6, 0x14, 0x78, 0x44}};

// The application object. With addRef the caller holds a reference and releases it;
// without, it only borrows the host's own. nullptr when the host offers none.
IDispatch* acedGetIDispatch(bool addRef);
