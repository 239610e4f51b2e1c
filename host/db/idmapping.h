#pragma once

#include "objectid.h"

#include <unordered_map>

// Source id -> clone id, filled by a deep clone and used to translate references.
class AcDbIdMapping {
public:
    void assign(AcDbObjectId source, AcDbObjectId clone) { m_map[source] = clone; }
    bool compute(AcDbObjectId source, AcDbObjectId& clone) const {
        const auto it = m_map.find(source);
        if (it == m_map.end()) return false;
        clone = it->second;
        return true;
    }
    // The clone of id when it was cloned, else id itself (a reference that stays).
    AcDbObjectId translate(AcDbObjectId id) const {
        AcDbObjectId out;
        return compute(id, out) ? out : id;
    }
    AcDbDatabase* destination() const { return m_destination; }
    void setDestination(AcDbDatabase* db) { m_destination = db; }
    const std::unordered_map<AcDbObjectId, AcDbObjectId>& pairs() const { return m_map; }

private:
    std::unordered_map<AcDbObjectId, AcDbObjectId> m_map;
    AcDbDatabase* m_destination = nullptr;
};
