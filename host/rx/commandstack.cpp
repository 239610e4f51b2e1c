#include "rx/commandstack.h"

#include "rx/textcase.h"

#include <algorithm>

ACRX_DEFINE_MEMBERS(AcEdCommandStack, AcRxObject, "")

namespace {

using hostrx::equalsNoCase;

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
        return equalsNoCase(c->groupName(), groupName) && equalsNoCase(c->globalName(), globalName);
    });
    if (found == m_commands.end()) return Acad::eKeyNotFound;
    m_commands.erase(found);
    return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::removeGroup(const ACHAR* groupName) {
    if (!groupName) return Acad::eInvalidInput;
    const auto removed = std::erase_if(m_commands, [&](const auto& c) { return equalsNoCase(c->groupName(), groupName); });
    return removed ? Acad::eOk : Acad::eKeyNotFound;
}

const AcEdCommand* AcEdCommandStack::lookupGlobalCmd(const ACHAR* globalName) const {
    if (!globalName) return nullptr;
    for (const auto& c : m_commands)
        if (equalsNoCase(c->globalName(), globalName)) return c.get();
    return nullptr;
}

const AcEdCommand* AcEdCommandStack::lookupLocalCmd(const ACHAR* localName) const {
    if (!localName) return nullptr;
    for (const auto& c : m_commands)
        if (equalsNoCase(c->localName(), localName)) return c.get();
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
        if (groupName && equalsNoCase(c->groupName(), groupName)) out.push_back(c.get());
    return out;
}
