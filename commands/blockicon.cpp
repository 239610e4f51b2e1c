#include "blocks/entviewdialog.h"
#include "commands/commands.h"
#include "commands/openobject.h"
#include "frame/hostapi.h"
#include "frame/moduleresources.h"

#include <memory>

namespace {

// Blocks that are not a named definition of this drawing get no icon: anonymous ones,
// the layouts and the definitions of external references.
bool wantsIcon(const AcDbBlockTableRecord& record) {
    return !record.isAnonymous() && !record.isLayout() && !record.isFromExternalReference() &&
           !record.isFromOverlayReference();
}

void renderIcon(AcDbDatabase* db, const ACHAR* name) {
    CEntViewDialog dialog;
    dialog.database = db;
    dialog.blockName = name;
    dialog.DoModal();
}

// The name of the iterator's record when it is one to render; null to pass it by.
HostString nameToRender(const AcDbBlockTableIterator& it) {
    AcDbBlockTableRecord* record = nullptr;
    if (it.getRecord(record, AcDb::kForRead) != Acad::eOk || !record) return nullptr;
    ACHAR* raw = nullptr;
    const bool named = record->getName(raw) == Acad::eOk && raw;
    HostString name(named ? raw : nullptr);
    const bool wanted = wantsIcon(*record);
    record->close();
    return named && wanted ? std::move(name) : nullptr;
}

}  // namespace

void zelblockicon() {
    ModuleResourceScope resources;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    OpenObject<AcDbBlockTable> table;
    if (!db || table.open(db->blockTableId(), AcDb::kForRead) != Acad::eOk) return;
    AcDbBlockTableIterator* raw = nullptr;
    if (table->newIterator(raw, true, true) != Acad::eOk || !raw) return;
    const std::unique_ptr<AcDbBlockTableIterator> it(raw);
    long count = 0;
    for (it->start(); !it->done(); it->step()) {
        const HostString name = nameToRender(*it);
        if (!name) continue;
        renderIcon(db, name.get());
        ++count;
    }
    acutPrintf(L"\nUpdated <%ld> blocks: ", count);
}
