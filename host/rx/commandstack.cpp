#include "rx/commandstack.h"

#include <algorithm>
#include <cwctype>

ACRX_DEFINE_MEMBERS(AcEdCommandStack, AcRxObject, "")

namespace {

bool sameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towupper(static_cast<wint_t>(x)) == std::towupper(static_cast<wint_t>(y));
           });
}

bool validName(const ACHAR* name) { return name && *name; }

}  // namespace

Acad::ErrorStatus AcEdCommandStack::addCommand(const ACHAR* groupName, const ACHAR* globalName,
                                               const ACHAR* localName, Adesk::Int32 flags,
                                               AcRxFunctionPtr function, AcEdUIContext* /*uiContext*/,
                                               int functionCode, void* resourceHandle, AcEdCommand** commandOut) {
    if (!validName(groupName) || !validName(globalName) || !validName(localName) || !function)
        return Acad::eInvalidInput;
    for (const ACHAR* name : {globalName, localName})
        if (lookupGlobalCmd(name) || lookupLocalCmd(name)) return Acad::eDuplicateKey;
    m_commands.push_back(std::make_unique<AcEdCommand>(groupName, globalName, localName, flags, function,
                                                       resourceHandle, functionCode));
    if (commandOut) *commandOut = m_commands.back().get();
    return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::removeCmd(const ACHAR* groupName, const ACHAR* globalName) {
    if (!groupName || !globalName) return Acad::eInvalidInput;
    const auto found = std::find_if(m_commands.begin(), m_commands.end(), [&](const auto& c) {
        return sameName(c->groupName(), groupName) && sameName(c->globalName(), globalName);
    });
    if (found == m_commands.end()) return Acad::eKeyNotFound;
    m_commands.erase(found);
    return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::removeGroup(const ACHAR* groupName) {
    if (!groupName) return Acad::eInvalidInput;
    const auto removed = std::erase_if(m_commands, [&](const auto& c) { return sameName(c->groupName(), groupName); });
    return removed ? Acad::eOk : Acad::eKeyNotFound;
}

const AcEdCommand* AcEdCommandStack::lookupGlobalCmd(const ACHAR* globalName) const {
    if (!globalName) return nullptr;
    for (const auto& c : m_commands)
        if (sameName(c->globalName(), globalName)) return c.get();
    return nullptr;
}

const AcEdCommand* AcEdCommandStack::lookupLocalCmd(const ACHAR* localName) const {
    if (!localName) return nullptr;
    for (const auto& c : m_commands)
        if (sameName(c->localName(), localName)) return c.get();
    return nullptr;
}

const AcEdCommand* AcEdCommandStack::lookupCmd(const ACHAR* typedName) const {
    if (!validName(typedName)) return nullptr;
    if (const AcEdCommand* local = lookupLocalCmd(typedName)) return local;
    if (const AcEdCommand* global = lookupGlobalCmd(typedName)) return global;
    // The underscore asks for the global name; a global name may or may not carry it.
    return typedName[0] == L'_' ? lookupGlobalCmd(typedName + 1) : nullptr;
}

std::vector<const AcEdCommand*> AcEdCommandStack::commandsOfGroup(const ACHAR* groupName) const {
    std::vector<const AcEdCommand*> out;
    for (const auto& c : m_commands)
        if (groupName && sameName(c->groupName(), groupName)) out.push_back(c.get());
    return out;
}
