#include "blocks/blockworker.h"

#include "frame/errorreport.h"

#include <memory>
#include <optional>

namespace {

constexpr const ACHAR* kInsertBlock = L"BlockWorker::doInsertBlock";
constexpr const ACHAR* kInsertSubBlock = L"BlockWorker::doInsertSubBlock";
constexpr const ACHAR* kInsertBlockDef = L"BlockWorker::insertBlockDef";
constexpr const ACHAR* kCloneBlockDef = L"BlockWorker::CloneBlockDef";
constexpr const ACHAR* kCopyPreviewIcon = L"BlockWorker::CopyPreviewIcon";

// Whether the drawing's block table has a block of that name; nullopt when the table
// cannot be opened.
std::optional<bool> hasBlock(AcDbDatabase* db, const std::wstring& name) {
    AcDbBlockTable* table = nullptr;
    if (!db || acdbOpenObject(table, db->blockTableId(), AcDb::kForRead) != Acad::eOk) return std::nullopt;
    const bool has = table->has(name.c_str());
    table->close();
    return has;
}

// Reads a library drawing into a database of its own; a failure is reported for operation.
Acad::ErrorStatus readLibrary(const std::wstring& path, std::unique_ptr<AcDbDatabase>& library,
                              const ACHAR* operation) {
    library = std::make_unique<AcDbDatabase>(false, false);
    const Acad::ErrorStatus es = library->readDwgFile(path.c_str(), _SH_DENYNO, false, nullptr);
    if (es != Acad::eOk) MARVOLT_REPORT(es, L"Failed to read dwg file", operation);
    return es;
}

}  // namespace

void BlockWorker::doInsertBlock(double scale, double rotation) {
    if (!targetDb) return;
    const std::wstring name = drawingBlockName(dwgPath);
    if (hasBlock(targetDb, name).value_or(false)) {
        if (const auto es = blockActions(scale, rotation, name); es != Acad::eOk)
            MARVOLT_REPORT(es, L"Failed to insert Block", kInsertBlock);
        return;
    }
    if (insertBlockDef() != Acad::eOk) return;
    if (const auto es = blockActions(scale, rotation, name); es != Acad::eOk)
        MARVOLT_REPORT(es, L"Failed to insert Block", kInsertBlock);
}

void BlockWorker::doInsertSubBlock(double scale, double rotation, const std::wstring& blockName) {
    if (!targetDb) return;
    if (!hasBlock(targetDb, blockName).value_or(false) && CloneBlockDef(blockName) != Acad::eOk) return;
    if (const auto es = blockActions(scale, rotation, blockName); es != Acad::eOk)
        MARVOLT_REPORT(es, L"Failed to insert Block", kInsertSubBlock);
}

Acad::ErrorStatus BlockWorker::insertBlockDef() {
    const std::wstring name = drawingBlockName(dwgPath);
    if (name.empty()) return Acad::eInvalidBlockName;
    std::unique_ptr<AcDbDatabase> library;
    Acad::ErrorStatus es = readLibrary(dwgPath, library, kInsertBlockDef);
    if (es != Acad::eOk) return es;
    AcDbObjectId blockId;
    if ((es = targetDb->insert(blockId, name.c_str(), library.get(), false)) != Acad::eOk)
        MARVOLT_REPORT(es, L"Failed to insert block", kInsertBlockDef);
    return es;
}

Acad::ErrorStatus BlockWorker::CloneBlockDef(const std::wstring& blockName) {
    if (blockName.empty()) return Acad::eInvalidBlockName;
    std::unique_ptr<AcDbDatabase> library;
    Acad::ErrorStatus es = readLibrary(dwgPath, library, kCloneBlockDef);
    if (es != Acad::eOk) return es;
    AcDbBlockTable* table = nullptr;
    if ((es = acdbOpenObject(table, library->blockTableId(), AcDb::kForRead)) != Acad::eOk) {
        MARVOLT_REPORT(es, L"Failed to open BlockTable", kCloneBlockDef);
        return es;
    }
    AcDbObjectId sourceId;
    AcDbBlockTableRecord* record = nullptr;
    if ((es = table->getAt(blockName.c_str(), sourceId, false)) != Acad::eOk) {
        MARVOLT_REPORT(es, L"Failed to Block information", kCloneBlockDef);
    } else if ((es = acdbOpenObject(record, sourceId, AcDb::kForRead)) != Acad::eOk) {
        MARVOLT_REPORT(es, L"Failed to open BlockRecord", kCloneBlockDef);
    }
    if (es != Acad::eOk) {
        table->close();
        return es;
    }
    AcDbDatabase* written = nullptr;
    if (library->wblock(written, sourceId) == Acad::eOk && written) {
        const std::unique_ptr<AcDbDatabase> block(written);
        AcDbObjectId newId;
        if ((es = targetDb->insert(newId, blockName.c_str(), block.get(), false)) != Acad::eOk)
            MARVOLT_REPORT(es, L"Failed to insert block", kCloneBlockDef);
        else if ((es = CopyPreviewIcon(sourceId, newId)) != Acad::eOk)
            MARVOLT_REPORT(es, L"Failed to copy Preview Icon", kCloneBlockDef);
    }
    record->close();
    table->close();
    return Acad::eOk;
}

Acad::ErrorStatus BlockWorker::CopyPreviewIcon(AcDbObjectId sourceId, AcDbObjectId targetId) {
    AcDbBlockTableRecord* source = nullptr;
    AcDbBlockTableRecord* target = nullptr;
    const Acad::ErrorStatus sourceOpen = acdbOpenObject(source, sourceId, AcDb::kForRead);
    if (sourceOpen != Acad::eOk) MARVOLT_REPORT(sourceOpen, L"Failed to open Block Record", kCopyPreviewIcon);
    const Acad::ErrorStatus targetOpen = acdbOpenObject(target, targetId, AcDb::kForWrite);
    if (targetOpen != Acad::eOk) MARVOLT_REPORT(targetOpen, L"Failed to open Block Record", kCopyPreviewIcon);
    Acad::ErrorStatus es = sourceOpen != Acad::eOk ? sourceOpen : targetOpen;
    if (es == Acad::eOk) {
        AcArray<Adesk::UInt8> icon;
        es = source->getPreviewIcon(icon);
        if (es == Acad::eOk) es = target->setPreviewIcon(icon);
    }
    if (source) source->close();
    if (target) target->close();
    return es;
}
