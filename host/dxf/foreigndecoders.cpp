#include "entitydecoders.h"

#include "../db/foreignentity.h"

#include <map>

namespace hostdxf::reading {
namespace {

// Class markers that an R12 file leaves out; kinds the host keeps as they are get them
// back so that a newer release reads them.
const char* missingSubclass(const std::string& type) {
    static const std::map<std::string, const char*> markers = {
        {"POLYLINE", "AcDb2dPolyline"}, {"VERTEX", "AcDb2dVertex"}, {"3DFACE", "AcDbFace"},
        {"SOLID", "AcDbTrace"},         {"TRACE", "AcDbTrace"},     {"SHAPE", "AcDbShape"},
        {"VIEWPORT", "AcDbViewport"}};
    const auto it = markers.find(type);
    return it == markers.end() ? nullptr : it->second;
}

// An R12 record has no class markers: file its groups under the kind's marker.
void fileUnderMissingSubclass(AcDbForeignEntity& foreign, const std::string& type) {
    if (!foreign.foreignData()) return;
    auto& chunks = foreign.foreign().chunks();
    if (const char* marker = missingSubclass(type);
        marker && !chunks.empty() && chunks.front().subclass.empty() && chunks.size() == 1) {
        hostdb::FilerItems keep, moved;
        for (auto& item : chunks.front().items) (item.code == 102 ? keep : moved).push_back(item);
        chunks.front().items = std::move(keep);
        foreign.foreign().chunk(marker) = std::move(moved);
    }
}

}  // namespace

void decodeOther(const std::string& type, EntityDecoder& d) {
    if (type == "SEQEND") {
        d.entity = std::make_unique<AcDbSequenceEnd>();
        return;
    }
    auto* foreign = new AcDbForeignEntity(type);
    d.entity.reset(foreign);
    d.finish = [foreign, &type] { fileUnderMissingSubclass(*foreign, type); };
}

}  // namespace hostdxf::reading
