#pragma once

// Reading and changing the groups of an entity kept as persisted data: the groups of
// its own class sections (not those common to every entity), found by code.

#include "filervalues.h"

#include "../ge/point3d.h"

namespace hostdb {

inline bool isGeometryChunk(const ForeignData::Chunk& chunk) {
    return !chunk.subclass.empty() && chunk.subclass != "AcDbEntity";
}

// The first group with the code in the entity's own class sections; null when none.
inline const FilerItem* geometryItem(const ForeignData* data, int code) {
    if (!data) return nullptr;
    for (const auto& chunk : data->chunks())
        if (isGeometryChunk(chunk))
            for (const auto& item : chunk.items)
                if (item.code == code) return &item;
    return nullptr;
}
inline FilerItem* geometryItem(ForeignData& data, int code) {
    return const_cast<FilerItem*>(geometryItem(static_cast<const ForeignData*>(&data), code));
}

inline double geometryReal(const ForeignData* data, int code, double otherwise = 0.0) {
    const FilerItem* item = geometryItem(data, code);
    return item ? realOf(item->value) : otherwise;
}
inline long long geometryInteger(const ForeignData* data, int code, long long otherwise = 0) {
    const FilerItem* item = geometryItem(data, code);
    return item ? integerOf(item->value) : otherwise;
}

// The first group with the code in a list of groups (a vertex record); null when none.
inline const FilerItem* itemOf(const FilerItems& items, int code) {
    for (const auto& item : items)
        if (item.code == code) return &item;
    return nullptr;
}
inline double realIn(const FilerItems& items, int code, double otherwise = 0.0) {
    const FilerItem* item = itemOf(items, code);
    return item ? realOf(item->value) : otherwise;
}
inline long long integerIn(const FilerItems& items, int code, long long otherwise = 0) {
    const FilerItem* item = itemOf(items, code);
    return item ? integerOf(item->value) : otherwise;
}
inline void setRealIn(FilerItems& items, int code, double v) {
    for (auto& item : items)
        if (item.code == code) {
            item.value = textOf(v);
            return;
        }
}

// A point of three groups: x under code, y and z 10 and 20 codes above; zero for
// groups that are missing.
inline AcGePoint3d pointIn(const FilerItems& items, int code) {
    return {realIn(items, code), realIn(items, code + 10), realIn(items, code + 20)};
}
inline void setPointIn(FilerItems& items, int code, const AcGePoint3d& p) {
    setRealIn(items, code, p.x);
    setRealIn(items, code + 10, p.y);
    setRealIn(items, code + 20, p.z);
}

// The extrusion direction (210); the Z axis when the entity states none.
inline AcGeVector3d extrusionOf(const ForeignData* data) {
    const AcGeVector3d n(geometryReal(data, 210), geometryReal(data, 220), geometryReal(data, 230, 1.0));
    return n.isZeroLength() ? AcGeVector3d::kZAxis : n.normal();
}

// Sets the extrusion direction where the entity states one; otherwise, unless it is
// the Z axis that an absent direction stands for, adds it to the entity's last class
// section.
inline void setExtrusion(ForeignData& data, const AcGeVector3d& n) {
    bool found = false;
    for (auto& chunk : data.chunks())
        if (isGeometryChunk(chunk))
            for (auto& item : chunk.items) {
                if (item.code == 210) {
                    item.value = textOf(n.x);
                    found = true;
                } else if (item.code == 220) item.value = textOf(n.y);
                else if (item.code == 230) item.value = textOf(n.z);
            }
    if (found || n.isEqualTo(AcGeVector3d::kZAxis)) return;
    for (auto it = data.chunks().rbegin(); it != data.chunks().rend(); ++it)
        if (isGeometryChunk(*it)) {
            it->items.insert(it->items.end(), {realItem(210, n.x), realItem(220, n.y), realItem(230, n.z)});
            return;
        }
}

}  // namespace hostdb
