#include "blocks/blockworker.h"

#include "frame/errorreport.h"

#include <memory>
#include <utility>

namespace {

constexpr const ACHAR* kReader = L"BlockWorker::getBlockInfoFromdDb";

// Layouts, anonymous blocks and blocks of external references are not for inserting.
bool isInsertable(const AcDbBlockTableRecord& record) {
    return !record.isAnonymous() && !record.isLayout() && !record.isFromExternalReference() &&
           !record.isFromOverlayReference();
}

// The library is a side database of this reader's alone, destroyed after the walk: the
// icons move out of its records instead of being copied, a copy being most of the
// listing's cost on a large library (megabytes of fresh memory touched).
void appendBlockInfo(AcDbObjectId recordId, BlockInfoArray& blocks) {
    AcDbBlockTableRecord* record = nullptr;
    if (acdbOpenObject(record, recordId, AcDb::kForWrite) != Acad::eOk) return;
    const ACHAR* name = nullptr;
    if (isInsertable(*record) && record->getName(name) == Acad::eOk) {
        BlockInfo info;
        info.name = name;
        record->takePreviewIcon(info.previewIcon);
        blocks.append(std::move(info));
    }
    record->close();
}

void appendAllBlocks(const AcDbBlockTable& table, BlockInfoArray& blocks) {
    AcDbSymbolTableIterator* raw = nullptr;
    if (table.newIterator(raw, true, true) != Acad::eOk || !raw) return;
    const std::unique_ptr<AcDbSymbolTableIterator> it(raw);
    for (it->start(); !it->done(); it->step()) {
        AcDbObjectId id;
        if (it->getRecordId(id) == Acad::eOk) appendBlockInfo(id, blocks);
    }
}

}  // namespace

std::wstring drawingBlockName(const std::wstring& path) {
    wchar_t name[_MAX_FNAME] = {};
    _wsplitpath(path.c_str(), nullptr, nullptr, name, nullptr);
    return name;
}

Acad::ErrorStatus BlockWorker::getBlockInfoFromdDb(BlockInfoArray& blocks) {
    if (drawingBlockName(dwgPath).empty()) return Acad::eInvalidBlockName;
    const auto library = std::make_unique<AcDbDatabase>(false, true);
    Acad::ErrorStatus es = library->readDwgFile(dwgPath.c_str(), _SH_DENYNO, false, nullptr);
    if (es != Acad::eOk) {
        MARVOLT_REPORT(es, L"Failed to open drawing", kReader);
        return es;
    }
    AcDbBlockTable* table = nullptr;
    if ((es = acdbOpenObject(table, library->blockTableId(), AcDb::kForRead)) != Acad::eOk) {
        MARVOLT_REPORT(es, L"Failed to open blockTable", kReader);
        return es;
    }
    appendAllBlocks(*table, blocks);
    table->close();
    return Acad::eOk;
}
