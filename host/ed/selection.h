#pragma once

#include "adscodes.h"

#include "rx/errorstatus.h"
#include "../db/objectid.h"

#include <vector>

// Selection sets and entity names. A selection set lives from acedSSGet until
// acedSSFree; an entity name stays valid while its database is open.

// Asks for a selection. mode null: the user selects at "Select objects: " with picks,
// windows ("W p1 p2"), crossings ("C p1 p2") and ALL until Enter; "X" (or "_X"): every
// entity of the current space without asking. The filter list may hold entity types
// (RTDXF0 or group 0) and layer names (group 8), matched as wildcards without regard
// to case; any other filter code is refused with RTERROR. Answers RTNORM with a set,
// RTCAN on Escape, RTERROR when nothing was selected.
int acedSSGet(const ACHAR* mode, const void* pt1, const void* pt2, const resbuf* filter, ads_name ss);
int acedSSLength(const ads_name ss, Adesk::Int32* length);
int acedSSName(const ads_name ss, Adesk::Int32 index, ads_name entity);
int acedSSFree(const ads_name ss);
// Adds an entity to a set; with a null set, makes a new set of that one entity.
int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result);

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name entity);
Acad::ErrorStatus acdbGetAdsName(ads_name& entity, AcDbObjectId id);

class AcDbEntity;
namespace hosted {
// The DXF type name filters see for an entity ("LINE", "MTEXT", "HATCH", ...).
const char* entityTypeName(const AcDbEntity& entity);
// True when the entity passes a filter list (null passes everything).
bool passesFilter(const AcDbEntity& entity, const resbuf* filter);
// Number of selection sets not yet freed, for checks of the release protocol.
std::size_t openSelectionSets();
// The entity behind an id, when it exists and is not erased; read without opening.
const AcDbEntity* liveEntity(AcDbObjectId id);
// The live entities of the working database's current space, in drawing order.
std::vector<AcDbObjectId> currentSpaceEntities();
// Whether the entity's layer lets it be found: a pick, a window or a crossing finds only
// what is shown (its layer neither off nor frozen); ALL also takes entities on layers
// that are off, never those on frozen ones.
enum class Finding { shown, all };
bool findable(const AcDbEntity& entity, Finding how);
}  // namespace hosted
