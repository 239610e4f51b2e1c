#include "blocktab/layerlist.h"

#include <algorithm>
#include <memory>

namespace {

void appendLayer(AcDbObjectId id, std::vector<LayerEntry>& layers) {
    AcDbLayerTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk) return;
    ACHAR* name = nullptr;
    if (record->getName(name) == Acad::eOk && name) {
        std::wstring upper(name);
        CharUpperW(upper.data());
        layers.push_back({std::move(upper), record->color().colorIndex()});
        acutDelString(name);
    }
    record->close();
}

bool comesBefore(const LayerEntry& a, const LayerEntry& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, SORT_STRINGSORT, a.name.c_str(), -1, b.name.c_str(), -1) == CSTR_LESS_THAN;
}

}  // namespace

std::vector<LayerEntry> collectLayers(AcDbDatabase* database) {
    std::vector<LayerEntry> layers;
    AcDbLayerTable* table = nullptr;
    if (!database || acdbOpenObject(table, database->layerTableId(), AcDb::kForRead) != Acad::eOk) return layers;
    AcDbSymbolTableIterator* raw = nullptr;
    if (table->newIterator(raw, true, true) == Acad::eOk && raw) {
        const std::unique_ptr<AcDbSymbolTableIterator> it(raw);
        for (it->start(); !it->done(); it->step()) {
            AcDbObjectId id;
            if (it->getRecordId(id) == Acad::eOk) appendLayer(id, layers);
        }
    }
    table->close();
    std::stable_sort(layers.begin(), layers.end(), comesBefore);
    return layers;
}
