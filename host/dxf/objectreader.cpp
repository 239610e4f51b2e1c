#include "sectionreaders.h"

#include "../db/dictionary.h"
#include "../db/field.h"
#include "../db/group.h"
#include "../rx/utf8.h"

#include <utility>

namespace hostdxf::reading {
namespace {

// The entries name their objects by handle: they are set once every object is read,
// and an entry whose object the file lacks is dropped.
std::unique_ptr<AcDbObject> readDictionary(ReaderContext& ctx, const Record& rec, AcDbHandle& handle,
                                           AcDbHandle& owner) {
    auto dict = std::make_unique<AcDbDictionary>();
    AcDbDictionary* d = dict.get();
    std::wstring key;
    std::vector<std::pair<std::wstring, AcDbHandle>> entries;
    ctx.readCommon(*dict, rec, handle, owner, [&](const std::string& sub, const Tag& tag) {
        if (sub != "AcDbDictionary") return false;
        switch (tag.code) {
        case 3: key = wide(tag.value); return true;
        case 350: case 360: entries.emplace_back(key, handleOf(tag.value)); return true;
        case 280: d->setTreatElementsAsHard(integer(tag.value) != 0); return true;
        case 281: d->setMergeStyle(static_cast<int>(integer(tag.value))); return true;
        default: return false;
        }
    });
    ctx.addFixup([&ctx, d, entries] {
        for (const auto& [name, h] : entries) {
            const AcDbObjectId id = ctx.db().idFromHandle(h);
            if (id.isNull())
                ctx.repair("dictionary entry \"" + hostrx::wideToUtf8(name) + "\" names no object (" + h.toString() + ")",
                           "it was dropped");
            else
                d->appendEntry(name, id);
        }
    });
    return dict;
}

// The members, like a dictionary's entries, are set once every object is read.
std::unique_ptr<AcDbObject> readGroup(ReaderContext& ctx, const Record& rec, AcDbHandle& handle, AcDbHandle& owner) {
    auto group = std::make_unique<AcDbGroup>();
    AcDbGroup* g = group.get();
    std::vector<AcDbHandle> members;
    std::wstring description;
    ctx.readCommon(*group, rec, handle, owner, [&](const std::string& sub, const Tag& tag) {
        if (sub != "AcDbGroup") return false;
        switch (tag.code) {
        case 300: description = wide(tag.value); return true;
        case 70: g->setAnonymous(integer(tag.value) != 0); return true;
        case 71: g->setOpen(AcDb::kForWrite, 0); g->setSelectable(integer(tag.value) != 0); return true;
        case 340: members.push_back(handleOf(tag.value)); return true;
        default: return false;
        }
    });
    g->setOpen(AcDb::kForWrite, 0);
    g->setDescription(description.c_str());
    ctx.addFixup([&ctx, g, members] {
        for (AcDbHandle h : members) {
            const AcDbObjectId id = ctx.db().idFromHandle(h);
            if (id.isNull()) ctx.repair("a group member names no object (" + h.toString() + ")", "it was dropped");
            else g->appendMemberId(id);
        }
    });
    return group;
}

std::unique_ptr<AcDbObject> readField(ReaderContext& ctx, const Record& rec, AcDbHandle& handle, AcDbHandle& owner) {
    auto field = std::make_unique<AcDbField>();
    std::string code, value, evaluator;
    bool valueNext = false;
    ctx.readCommon(*field, rec, handle, owner, [&](const std::string& sub, const Tag& tag) {
        if (sub != "AcDbField") return false;
        if (tag.code == 1 && evaluator.empty() && !valueNext) evaluator = std::string(tag.value);
        else if (tag.code == 2 || tag.code == 3) code += tag.value;
        else if (tag.code == 6 && tag.value == "ACFD_FIELD_VALUE") valueNext = true;
        else if (valueNext && tag.code == 1) { value = std::string(tag.value); valueNext = false; }
        return false;  // all groups stay in place; the model reads them
    });
    field->setOpen(AcDb::kForWrite, 0);
    field->setFieldCode(wide(code).c_str());
    field->setCachedValue(wide(value));
    field->setEvaluatedFlag(!value.empty());
    return field;
}

// An object of a kind the host does not model, kept as it was read.
std::unique_ptr<AcDbObject> readForeignObject(ReaderContext& ctx, const Record& rec, AcDbHandle& handle,
                                              AcDbHandle& owner) {
    auto foreign = std::make_unique<AcDbForeignObject>(rec.type);
    ctx.readCommon(*foreign, rec, handle, owner, {});
    return foreign;
}

}  // namespace

bool readObjects(ReaderContext& ctx) {
    Tag t;
    Record rec;
    while (ctx.nextTag(t)) {
        if (t.code != 0) return ctx.fail(Acad::eBadDxfSequence, ctx.where() + ": an object must begin with group 0");
        if (t.value == "ENDSEC" || ctx.sectionEndsEarly(t, "OBJECTS")) return true;
        rec.type = std::string(t.value);
        rec.line = ctx.tags().line();
        ctx.tags().clearStorage();
        if (!ctx.readRecord(rec)) return false;
        AcDbHandle handle, owner;
        std::unique_ptr<AcDbObject> obj;
        if (rec.type == "DICTIONARY") obj = readDictionary(ctx, rec, handle, owner);
        else if (rec.type == "GROUP") obj = readGroup(ctx, rec, handle, owner);
        else if (rec.type == "FIELD") obj = readField(ctx, rec, handle, owner);
        else obj = readForeignObject(ctx, rec, handle, owner);
        obj->setOpen(AcDb::kForRead, 0);
        const AcDbObjectId id = ctx.add(std::move(obj), handle);
        ctx.noteObject(id);
        if (!owner.isNull()) ctx.noteOwner(id, owner);
    }
    return ctx.truncated("the file ends inside the OBJECTS section");
}

}  // namespace hostdxf::reading
