#pragma once

#include "db/blocktable.h"
#include "db/database.h"

#include <gtest/gtest.h>

// Appends a new entity to the model space of db and closes it.
inline AcDbObjectId appendToModel(AcDbDatabase& db, AcDbEntity* ent) {
    AcDbBlockTableRecord* model = nullptr;
    EXPECT_EQ(acdbOpenObject(model, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(model->appendAcDbEntity(id, ent), Acad::eOk);
    ent->close();
    model->close();
    return id;
}
