#include "commands/commands.h"
#include "frame/commandline.h"
#include "frame/hostapi.h"

namespace {

// Owns a selection set and a filter list so that both are released on every path.
class SelectionResources {
public:
    explicit SelectionResources(resbuf* filter) : m_filter(filter) {}
    ~SelectionResources() {
        acutRelRb(m_filter);
        if (m_hasSet) acedSSFree(m_set);
    }
    SelectionResources(const SelectionResources&) = delete;
    SelectionResources& operator=(const SelectionResources&) = delete;

    const resbuf* filter() const { return m_filter; }
    ads_name& set() { return m_set; }
    void setTaken() { m_hasSet = true; }

private:
    resbuf* m_filter;
    ads_name m_set = {0, 0};
    bool m_hasSet = false;
};

AcDbObjectIdArray selectedIds(const ads_name set) {
    AcDbObjectIdArray ids(0, 8);
    Adesk::Int32 length = 0;
    if (acedSSLength(set, &length) != RTNORM) return ids;
    for (Adesk::Int32 i = 0; i < length; ++i) {
        ads_name entity = {0, 0};
        if (acedSSName(set, i, entity) != RTNORM || (entity[0] == 0 && entity[1] == 0)) continue;
        AcDbObjectId id;
        if (acdbGetObjectId(id, entity) == Acad::eOk) ids.append(id);
    }
    return ids;
}

// Moves the selected entities whose type matches pattern to the current layer.
void moveToCurrentLayer(const ACHAR* pattern) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    SelectionResources resources(acutBuildList(RTDXF0, pattern, 0));
    if (!db || acedSSGet(nullptr, nullptr, nullptr, resources.filter(), resources.set()) != RTNORM) return;
    resources.setTaken();
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
