#pragma once

#include "db/blocktable.h"
#include "db/database.h"

#include <gtest/gtest.h>

// Appends a new entity to the block (an open one is closed) and answers its id.
inline AcDbObjectId appendTo(AcDbObjectId blockId, AcDbEntity* ent) {
    AcDbBlockTableRecord* block = nullptr;
    EXPECT_EQ(acdbOpenObject(block, blockId, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(block->appendAcDbEntity(id, ent), Acad::eOk);
    ent->close();
    block->close();
    return id;
}

// Appends a new entity to the model space of db and closes it.
inline AcDbObjectId appendToModel(AcDbDatabase& db, AcDbEntity* ent) { return appendTo(db.modelSpaceId(), ent); }

// A new, empty block definition named name.
inline AcDbObjectId addBlock(AcDbDatabase& db, const ACHAR* name) {
    AcDbBlockTable* blocks = nullptr;
    EXPECT_EQ(acdbOpenObject(blocks, db.blockTableId(), AcDb::kForWrite), Acad::eOk);
    auto* block = new AcDbBlockTableRecord();
    block->setName(name);
    AcDbObjectId blockId;
    EXPECT_EQ(blocks->add(blockId, block), Acad::eOk);
    block->close();
    blocks->close();
    return blockId;
}
