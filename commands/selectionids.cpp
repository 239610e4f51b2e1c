#include "commands/selectionids.h"

SelectionResources::~SelectionResources() {
    acutRelRb(m_filter);
    if (m_hasSet) acedSSFree(m_set);
}

bool SelectionResources::select() {
    m_hasSet = acedSSGet(nullptr, nullptr, nullptr, m_filter, m_set) == RTNORM;
    return m_hasSet;
}

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
