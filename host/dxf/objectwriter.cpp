#include "writercontext.h"

#include "../rx/utf8.h"

#include "../db/dictionary.h"
#include "../db/entity.h"
#include "../db/field.h"
#include "../db/group.h"
#include "../db/symboltable.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace hostdxf::writing {
namespace {

// The record of each kind begins with 0 TYPE, the handle and the owner (h, owner).
void writeDictionary(WriterContext& ctx, const AcDbDictionary& dict, std::uint64_t h, std::uint64_t owner) {
    TagWriter& out = ctx.out();
    ctx.begin(dict, "DICTIONARY", h, owner);
    out.text(100, "AcDbDictionary");
    if (dict.isTreatElementsAsHard()) out.integer(280, 1);
    out.integer(281, dict.mergeStyle());
    for (const auto& e : dict.entries()) {
        if (e.id.isErased()) continue;
        out.text(3, e.name);
        out.handle(dict.isTreatElementsAsHard() ? 360 : 350, handleOf(e.id));
    }
    ctx.chunk(dict, "AcDbDictionary");
}

void writeGroup(WriterContext& ctx, const AcDbGroup& group, std::uint64_t h, std::uint64_t owner) {
    TagWriter& out = ctx.out();
    ctx.begin(group, "GROUP", h, owner);
    out.text(100, "AcDbGroup");
    out.text(300, group.description());
    out.integer(70, group.isAnonymous() ? 1 : 0);
    out.integer(71, group.isSelectable() ? 1 : 0);
    for (AcDbObjectId id : group.memberIds())
        if (id.isValid() && !id.isErased()) out.handle(340, handleOf(id));
    ctx.chunk(group, "AcDbGroup");
}

// A field read from a file goes back as it was unless its code or value changed.
void writeField(WriterContext& ctx, const AcDbField& field, std::uint64_t h, std::uint64_t owner) {
    TagWriter& out = ctx.out();
    ctx.begin(field, "FIELD", h, owner);
    out.text(100, "AcDbField");
    ctx.chunkWritten("AcDbField");
    const auto* kept = field.foreignData() ? field.foreignData()->find("AcDbField") : nullptr;
    std::string keptCode, keptValue;
    bool valueNext = false;
    if (kept)
        for (const auto& item : *kept) {
            if (item.code == 2 || item.code == 3) keptCode += item.value;
            else if (item.code == 6 && item.value == "ACFD_FIELD_VALUE") valueNext = true;
            else if (valueNext && item.code == 1) keptValue = item.value, valueNext = false;
        }
    if (kept && hostrx::wideToUtf8(field.getFieldCode()) == keptCode && hostrx::wideToUtf8(field.value()) == keptValue) {
        out.items(*kept);
        return;
    }
    const std::string code = hostrx::wideToUtf8(field.getFieldCode());
    out.text(1, field.customPropertyName().empty() ? "_text" : "AcVar");
    out.text(2, std::string_view(code).substr(0, 250));
    for (std::size_t pos = 250; pos < code.size(); pos += 250) out.text(3, std::string_view(code).substr(pos, 250));
    for (const auto& [c, v] : std::initializer_list<std::pair<int, long long>>{{90, 0}, {97, 0}, {91, 63}, {92, 0}, {94, 59}, {95, 2}, {96, 0}})
        out.integer(c, v);
    out.text(300, "");
    out.integer(93, 1);
    out.text(6, "ACFD_FIELD_VALUE");
    out.integer(90, 4);
    out.text(1, field.value());
    out.text(301, "");
    out.integer(98, 0);
}

void writeObject(WriterContext& ctx, const AcDbObject& obj) {
    const std::uint64_t h = handleOf(obj.objectId());
    const std::uint64_t owner = handleOf(obj.ownerId());
    if (const auto* dict = AcDbDictionary::cast(&obj)) writeDictionary(ctx, *dict, h, owner);
    else if (const auto* group = AcDbGroup::cast(&obj)) writeGroup(ctx, *group, h, owner);
    else if (const auto* field = AcDbField::cast(&obj)) writeField(ctx, *field, h, owner);
    else if (const auto* foreign = AcDbForeignObject::cast(&obj)) ctx.begin(obj, foreign->dxfName(), h, owner);
    else return;
    ctx.endRecord(obj);
}

bool isObjectsSectionObject(const AcDbObject* obj) {
    return obj && !obj->isErased() && !AcDbEntity::cast(obj) && !AcDbSymbolTable::cast(obj) &&
           !AcDbSymbolTableRecord::cast(obj);
}

}  // namespace

// The named objects dictionary first, as readers take the first object for it.
void writeObjects(WriterContext& ctx) {
    const AcDbDatabase& db = ctx.db();
    ctx.beginSection("OBJECTS");
    const AcDbObjectId root = db.namedObjectsDictionaryId();
    if (!root.isNull()) writeObject(ctx, *root.slot()->object);
    for (const auto& slot : db.objectSlots())
        if (slot.object != (root.isNull() ? nullptr : root.slot()->object) && isObjectsSectionObject(slot.object))
            writeObject(ctx, *slot.object);
    ctx.endSection();
}

}  // namespace hostdxf::writing
