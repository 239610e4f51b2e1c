#include "app/undocommands.h"

#include "db/entity.h"
#include "db/undorecord.h"
#include "ed/adscodes.h"
#include "ed/commandline.h"
#include "ed/prompts.h"
#include "ed/selection.h"
#include "rx/commandstack.h"
#include "rx/dictionary.h"

#include <string>

namespace hostapp {

namespace {

constexpr const ACHAR* kGroup = L"HOST";

AcDbDatabase* drawing() { return acdbHostApplicationServices()->workingDatabase(); }

void print(const std::wstring& text) { acutPrintf(L"%s", text.c_str()); }

// Why a step could not be taken back or brought back, for the command line.
std::wstring refusal(Acad::ErrorStatus es, bool undoing) {
    if (es == Acad::eNotApplicable) return undoing ? L"\nEverything has been undone" : L"\nNothing to redo";
    return std::wstring(L"\nThe drawing is busy; nothing was ") + (undoing ? L"undone." : L"redone.");
}

// Undoes up to count steps, each named as it goes; stops at the first refusal.
void undoSteps(int count) {
    AcDbDatabase* db = drawing();
    if (!db) return;
    for (int i = 0; i < count; ++i) {
        std::wstring name;
        if (const auto es = db->undoRecord().undo(name); es != Acad::eOk) {
            print(refusal(es, true));
            return;
        }
        print(L"\nUndo " + name);
    }
}

void undoCommand() {
    int count = 1;
    const int rc = acedGetInt(L"\nEnter the number of operations to undo <1>: ", &count);
    if (rc == RTNONE) count = 1;
    else if (rc != RTNORM) return;
    if (count < 1) {
        print(L"\nRequires a positive whole number.");
        return;
    }
    undoSteps(count);
}

void uCommand() { undoSteps(1); }

void redoCommand() {
    AcDbDatabase* db = drawing();
    if (!db) return;
    std::wstring name;
    if (const auto es = db->undoRecord().redo(name); es != Acad::eOk) print(refusal(es, false));
    else print(L"\nRedo " + name);
}

void eraseCommand() {
    ads_name ss;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, ss) != RTNORM) return;
    Adesk::Int32 length = 0;
    acedSSLength(ss, &length);
    for (Adesk::Int32 i = 0; i < length; ++i) {
        ads_name name;
        AcDbObjectId id;
        AcDbEntity* entity = nullptr;
        if (acedSSName(ss, i, name) != RTNORM || acdbGetObjectId(id, name) != Acad::eOk) continue;
        if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk) continue;
        entity->erase();
        entity->close();
    }
    acedSSFree(ss);
}

}  // namespace

void registerEditCommands() {
    auto* stack = AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK));
    stack->addCommand(kGroup, L"UNDO", L"UNDO", ACRX_CMD_MODAL | ACRX_CMD_NOUNDOMARKER, &undoCommand);
    stack->addCommand(kGroup, L"U", L"U", ACRX_CMD_MODAL | ACRX_CMD_NOUNDOMARKER, &uCommand);
    stack->addCommand(kGroup, L"REDO", L"REDO", ACRX_CMD_MODAL | ACRX_CMD_NOUNDOMARKER, &redoCommand);
    stack->addCommand(kGroup, L"ERASE", L"ERASE", ACRX_CMD_MODAL, &eraseCommand);
}

}  // namespace hostapp
