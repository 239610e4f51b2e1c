#pragma once

#include "rxobject.h"

#include "errorstatus.h"

#include <memory>
#include <string>
#include <vector>

#define ACRX_COMMAND_DOCK L"ACAD_REGISTERED_COMMANDS"

using AcRxFunctionPtr = void (*)();
class AcEdUIContext;

// Command flags: how a command may run.
constexpr Adesk::Int32 ACRX_CMD_MODAL = 0x0;
constexpr Adesk::Int32 ACRX_CMD_TRANSPARENT = 0x1;
constexpr Adesk::Int32 ACRX_CMD_USEPICKSET = 0x2;
constexpr Adesk::Int32 ACRX_CMD_REDRAW = 0x4;
constexpr Adesk::Int32 ACRX_CMD_SESSION = 0x200000;
// The command is no step of the drawing's undo record (undo and redo themselves).
constexpr Adesk::Int32 ACRX_CMD_NOUNDOMARKER = 0x400000;

// One registered command. The host owns it from addCommand until removal.
class AcEdCommand {
public:
    AcEdCommand(std::wstring group, std::wstring globalName, std::wstring localName, Adesk::Int32 flags,
                AcRxFunctionPtr function, void* resourceHandle, int functionCode)
        : m_group(std::move(group)), m_globalName(std::move(globalName)), m_localName(std::move(localName)),
          m_flags(flags), m_function(function), m_resourceHandle(resourceHandle), m_functionCode(functionCode) {}

    const std::wstring& groupName() const { return m_group; }
    const ACHAR* globalName() const { return m_globalName.c_str(); }
    const ACHAR* localName() const { return m_localName.c_str(); }
    Adesk::Int32 commandFlags() const { return m_flags; }
    AcRxFunctionPtr functionAddr() const { return m_function; }
    void* resourceHandle() const { return m_resourceHandle; }
    int functionCode() const { return m_functionCode; }

private:
    std::wstring m_group, m_globalName, m_localName;
    Adesk::Int32 m_flags;
    AcRxFunctionPtr m_function;
    void* m_resourceHandle;
    int m_functionCode;
};

// The registered commands, in groups. Names are unique without regard to case across
// all groups: a global or local name already taken is refused with eDuplicateKey.
class AcEdCommandStack : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcEdCommandStack)
    AcEdCommandStack() = default;
    AcEdCommandStack(const AcEdCommandStack&) = delete;
    AcEdCommandStack& operator=(const AcEdCommandStack&) = delete;

    Acad::ErrorStatus addCommand(const ACHAR* groupName, const ACHAR* globalName, const ACHAR* localName,
                                 Adesk::Int32 flags, AcRxFunctionPtr function, AcEdUIContext* uiContext = nullptr,
                                 int functionCode = -1, void* resourceHandle = nullptr,
                                 AcEdCommand** commandOut = nullptr);
    // eKeyNotFound when the group has no command of that global name.
    Acad::ErrorStatus removeCmd(const ACHAR* groupName, const ACHAR* globalName);
    Acad::ErrorStatus removeGroup(const ACHAR* groupName);

    // A name as typed at the command line: a local or a global name, and "_name" also
    // finds the global name "name". Case does not matter. Null when none matches.
    const AcEdCommand* lookupCmd(const ACHAR* typedName) const;
    const AcEdCommand* lookupGlobalCmd(const ACHAR* globalName) const;
    const AcEdCommand* lookupLocalCmd(const ACHAR* localName) const;
    std::vector<const AcEdCommand*> commandsOfGroup(const ACHAR* groupName) const;

private:
    std::vector<std::unique_ptr<AcEdCommand>> m_commands;
};
