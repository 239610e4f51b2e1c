#include "ap/menumodel.h"

#include "rx/textcase.h"

#include <algorithm>

namespace hostap {

namespace {

// Where an addition at the position goes among count things; -1 when it is refused.
std::ptrdiff_t insertionPoint(LONG position, std::size_t count) {
    if (position < -1) return -1;
    if (position == -1 || static_cast<std::size_t>(position) >= count) return static_cast<std::ptrdiff_t>(count);
    return position;
}

}  // namespace

MenuModel& MenuModel::instance() {
    static MenuModel model;
    return model;
}

MenuModel::MenuModel() { m_groups.push_back(std::make_shared<MenuGroup>(kHostGroup)); }

bool MenuModel::isOnMenuBar(const PullDownMenu& menu) const {
    return std::any_of(m_bar.begin(), m_bar.end(), [&](const auto& m) { return m.get() == &menu; });
}

std::shared_ptr<PullDownMenu> MenuModel::findMenu(const MenuGroup& group, std::wstring_view name) const {
    for (const auto& menu : group.m_menus)
        if (hostrx::equalsNoCase(menu->m_name, name)) return menu;
    return nullptr;
}

std::shared_ptr<MenuGroup> MenuModel::addGroup(std::wstring name) {
    auto group = std::make_shared<MenuGroup>(std::move(name));
    m_groups.push_back(group);
    changed();
    return group;
}

std::shared_ptr<PullDownMenu> MenuModel::addMenu(MenuGroup& group, std::wstring name) {
    auto menu = std::make_shared<PullDownMenu>(std::move(name));
    group.m_menus.push_back(menu);
    changed();
    return menu;
}

bool MenuModel::addEntry(PullDownMenu& menu, LONG position, MenuEntry entry) {
    const std::ptrdiff_t at = insertionPoint(position, menu.m_entries.size());
    if (at < 0) return false;
    menu.m_entries.insert(menu.m_entries.begin() + at, std::move(entry));
    changed();
    return true;
}

MenuModel::Placed MenuModel::insertInMenuBar(const std::shared_ptr<PullDownMenu>& menu, LONG position) {
    if (isOnMenuBar(*menu)) return Placed::alreadyThere;
    const std::ptrdiff_t at = insertionPoint(position, m_bar.size());
    if (at < 0) return Placed::refused;
    m_bar.insert(m_bar.begin() + at, menu);
    changed();
    return Placed::placed;
}

bool MenuModel::removeFromMenuBar(const PullDownMenu& menu) {
    const auto gone = std::erase_if(m_bar, [&](const auto& m) { return m.get() == &menu; });
    if (gone) changed();
    return gone > 0;
}

void MenuModel::reset() {
    m_groups.clear();
    m_groups.push_back(std::make_shared<MenuGroup>(kHostGroup));
    m_bar.clear();
    m_refusals.clear();
    changed();
}

void MenuModel::refuse(AutomationCall call, HRESULT status, int skip) {
    m_refusals.emplace(call, Refusal{status, skip});
}

bool MenuModel::refusal(AutomationCall call, HRESULT& status) {
    const auto due = m_refusals.find(call);
    if (due == m_refusals.end()) return false;
    if (due->second.skip > 0) {
        --due->second.skip;
        return false;
    }
    status = due->second.status;
    m_refusals.erase(due);
    return true;
}

void MenuModel::changed() {
    if (m_listener) m_listener();
}

}  // namespace hostap
