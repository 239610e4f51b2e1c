#pragma once

#include "frame/hostapi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Builds block library drawings with the host's database and saves them as files.
class LibraryBuilder {
public:
    LibraryBuilder() : m_db(true, true) {}

    AcDbDatabase& database() { return m_db; }

    // A block holding a line from the origin to (1,0); flags and units as given.
    AcDbObjectId addBlock(const ACHAR* name, int flags = 0, AcDb::UnitsValue units = AcDb::kUnitsUndefined,
                          std::vector<Adesk::UInt8> icon = {}) {
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(acdbOpenObject(table, m_db.blockTableId(), AcDb::kForWrite), Acad::eOk);
        auto* block = new AcDbBlockTableRecord();
        block->setName(name);
        block->setFlags(flags);
        block->setBlockInsertUnits(units);
        if (!icon.empty()) block->setPreviewBytes(std::move(icon));
        AcDbObjectId id;
        EXPECT_EQ(table->add(id, block), Acad::eOk);
        auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
        EXPECT_EQ(block->appendAcDbEntity(line), Acad::eOk);
        line->close();
        block->close();
        table->close();
        return id;
    }

    // An attribute definition in a block; with fieldCode, its text is that field.
    void addAttributeDefinition(AcDbObjectId blockId, const ACHAR* tag, const ACHAR* prompt, const ACHAR* text,
                                const AcGePoint3d& at, const ACHAR* layer = nullptr,
                                const ACHAR* fieldCode = nullptr) {
        AcDbBlockTableRecord* block = nullptr;
        ASSERT_EQ(acdbOpenObject(block, blockId, AcDb::kForWrite), Acad::eOk);
        auto* def = new AcDbAttributeDefinition(at, text, tag, prompt);
        AcDbObjectId defId;
        EXPECT_EQ(block->appendAcDbEntity(defId, def), Acad::eOk);
        if (layer) {
            EXPECT_EQ(def->setLayer(layer), Acad::eOk);
        }
        if (fieldCode) {
            AcDbObjectId fieldId;
            EXPECT_EQ(def->setField(L"TEXT", new AcDbField(fieldCode), fieldId), Acad::eOk);
        }
        def->close();
        block->close();
    }

    // An attribute definition with the given flags (1 invisible, 2 constant, 8 preset);
    // with lines, a multiline one whose embedded MText holds them.
    void addDefinition(AcDbObjectId blockId, const ACHAR* tag, const ACHAR* prompt, const ACHAR* text,
                       const AcGePoint3d& at, int flags, const ACHAR* lines = nullptr) {
        AcDbBlockTableRecord* block = nullptr;
        ASSERT_EQ(acdbOpenObject(block, blockId, AcDb::kForWrite), Acad::eOk);
        auto* def = new AcDbAttributeDefinition(at, text, tag, prompt);
        def->setAttributeFlags(flags);
        if (lines) {
            AcDbMText mtext;
            mtext.setLocation(at);
            mtext.setContents(lines);
            EXPECT_EQ(def->setMTextAttributeDefinition(&mtext), Acad::eOk);
        }
        EXPECT_EQ(block->appendAcDbEntity(def), Acad::eOk);
        def->close();
        block->close();
    }

    AcDbObjectId addLayer(const ACHAR* name) {
        AcDbLayerTable* layers = nullptr;
        EXPECT_EQ(acdbOpenObject(layers, m_db.layerTableId(), AcDb::kForWrite), Acad::eOk);
        auto* layer = new AcDbLayerTableRecord();
        layer->setName(name);
        AcDbObjectId id;
        EXPECT_EQ(layers->add(id, layer), Acad::eOk);
        layer->close();
        layers->close();
        return id;
    }

    void addToModelSpace(AcDbEntity* entity) {
        AcDbBlockTableRecord* model = nullptr;
        ASSERT_EQ(acdbOpenObject(model, m_db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(model->appendAcDbEntity(entity), Acad::eOk);
        entity->close();
        model->close();
    }

    void save(const std::wstring& path) { ASSERT_EQ(m_db.saveAs(path.c_str()), Acad::eOk); }

private:
    AcDbDatabase m_db;
};
