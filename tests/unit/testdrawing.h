#pragma once

#include "db/blocktable.h"
#include "db/database.h"
#include "db/field.h"
#include "db/mtext.h"

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

// An MText in model space at a point, showing the field that the code names.
inline AcDbObjectId addFieldText(AcDbDatabase& db, const ACHAR* code, const AcGePoint3d& at = AcGePoint3d()) {
    auto* text = new AcDbMText();
    text->setContents(code);
    text->setLocation(at);
    const AcDbObjectId id = appendToModel(db, text);
    AcDbMText* open = nullptr;
    EXPECT_EQ(acdbOpenObject(open, id, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId fieldId;
    EXPECT_EQ(open->setField(L"TEXT", new AcDbField(code, true), fieldId), Acad::eOk);
    open->close();
    return id;
}
