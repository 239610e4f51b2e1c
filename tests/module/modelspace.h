#pragma once

#include "db/blocktable.h"
#include "db/database.h"

#include <vector>

// The entities of kind T that db's model space holds now, erased ones left out.
template <class T>
std::vector<T*> modelSpaceEntities(AcDbDatabase& db) {
    std::vector<T*> out;
    auto* model = AcDbBlockTableRecord::cast(db.modelSpaceId().slot()->object);
    for (AcDbObjectId id : model->entityIds())
        if (!id.isErased())
            if (T* e = T::cast(id.slot()->object)) out.push_back(e);
    return out;
}
