#include "commands/commands.h"
#include "commands/selectionids.h"
#include "frame/hostapi.h"

namespace {

// Moves the selected entities whose type matches pattern to the current layer.
void moveToCurrentLayer(const ACHAR* pattern) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    SelectionResources resources(acutBuildList(RTDXF0, pattern, 0));
    if (!db || !resources.select()) return;
    const AcDbObjectIdArray ids = selectedIds(resources.set());
    const AcDbObjectId layerId = db->clayer();
    for (const AcDbObjectId& id : ids) {
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, id, AcDb::kForWrite) != Acad::eOk) continue;
        entity->setLayer(layerId, true, false);
        entity->close();
    }
    acutPrintf(L"\nDone!");
}

}  // namespace

void texttoclayer() { moveToCurrentLayer(L"*TEXT"); }
void dimtoclayer() { moveToCurrentLayer(L"*DIMENSION"); }
void inserttoclayer() { moveToCurrentLayer(L"*INSERT"); }
