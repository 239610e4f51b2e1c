#pragma once

// Private to the drawing-file writer: how the record of each kind of entity is written.

#include "writercontext.h"

#include "../db/entity.h"

#include <cstdint>
#include <string_view>

namespace hostdxf::writing {

// The record of one entity and the records that belong to it (the attributes of a
// reference, the vertices of an old-style polyline), by the family of its kind. Block
// begin and end records and the ends of sequences are written by their owners, not here.
void writeEntity(WriterContext& ctx, const AcDbEntity& ent, std::uint64_t owner, bool paper);

// Where an entity's record goes: its own handle, its owner's, and whether it lies in
// paper space.
struct EntityPlace {
    std::uint64_t handle = 0, owner = 0;
    bool paper = false;
};

// entitywriter.cpp: 0 TYPE and the groups that every entity has.
void writeEntityCommon(WriterContext& ctx, const AcDbEntity& ent, std::string_view type, const EntityPlace& at);

// Writes the entity with `write` and ends its record when it is of that writer's kind.
template <class Kind>
bool writeAs(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at,
             void (*write)(WriterContext&, const Kind&, const EntityPlace&)) {
    const Kind* e = Kind::cast(&ent);
    if (!e) return false;
    write(ctx, *e, at);
    ctx.endRecord(ent);
    return true;
}

// Each family writes the whole record of the kinds it models and answers false for
// others. A kind that derives from another is asked for first.
// curvewriters.cpp: lines, arcs, circles, points, lightweight polylines.
bool writeCurve(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at);
// textwriters.cpp: attribute definitions, attributes, texts, mtexts.
bool writeText(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at);
// referencewriters.cpp: block references with their attributes, dimensions, leaders.
bool writeReference(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at);

}  // namespace hostdxf::writing
