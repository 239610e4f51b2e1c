#include "commands/commands.h"
#include "commands/openobject.h"
#include "frame/hostapi.h"

#include <memory>

namespace {

// Erases the group when no member is left; true when it was found empty.
bool purgeIfEmpty(AcDbObjectId id) {
    OpenObject<AcDbGroup> group;
    if (group.open(id, AcDb::kForWrite) != Acad::eOk) return false;
    if (group->numEntities() != 0) return false;
    group->erase();
    return true;
}

}  // namespace

void zelPurgeGroups() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    OpenObject<AcDbDictionary> groups;
    if (!db || groups.open(db->groupDictionaryId(), AcDb::kForRead) != Acad::eOk) return;
    int purged = 0;
    {
        const std::unique_ptr<AcDbDictionaryIterator> entry(groups->newIterator());
        for (; !entry->done(); entry->next())
            if (purgeIfEmpty(entry->objectId())) ++purged;
    }
    acutPrintf(L"\nPurged %d empty Groups ", purged);
}
