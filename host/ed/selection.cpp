#include "ed/selection.h"

#include "db/blocktable.h"
#include "db/database.h"
#include "db/foreignentity.h"
#include "db/layertable.h"
#include "rx/utf8.h"
#include "ed/commandline.h"
#include "ed/editor.h"
#include "ed/hittest.h"
#include "ed/wcmatch.h"
#include "rx/textcase.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace {

using IdList = std::vector<AcDbObjectId>;
using hosted::currentSpaceEntities;
using hosted::liveEntity;

std::map<Adesk::Int64, IdList>& sets() {
    static std::map<Adesk::Int64, IdList> all;
    return all;
}

Adesk::Int64 newSet(IdList ids) {
    static Adesk::Int64 next = 0;
    sets()[++next] = std::move(ids);
    return next;
}

IdList* findSet(const ads_name ss) {
    if (!ss) return nullptr;
    const auto it = sets().find(ss[0]);
    return it == sets().end() ? nullptr : &it->second;
}

std::wstring layerNameOf(const AcDbEntity& e) {
    const auto* layer = e.layerId().isValid() ? AcDbLayerTableRecord::cast(e.layerId().slot()->object) : nullptr;
    return layer ? std::wstring(layer->name()) : std::wstring();
}

bool filterIsSupported(const resbuf* filter) {
    for (const resbuf* rb = filter; rb; rb = rb->rbnext)
        if (rb->restype != RTDXF0 && rb->restype != 0 && rb->restype != 8) return false;
    return true;
}

struct Chosen {
    IdList ids;
    int filteredOut = 0;

    void add(AcDbObjectId id, const resbuf* filter) {
        if (std::find(ids.begin(), ids.end(), id) != ids.end()) return;
        if (hosted::passesFilter(*liveEntity(id), filter)) ids.push_back(id);
        else ++filteredOut;
    }
};

using hosted::trimmed;

// "W x1,y1 x2,y2" or "C x1,y1 x2,y2": the window and whether it is a crossing.
std::optional<std::pair<AcDbExtents, bool>> parseWindow(std::wstring_view text) {
    if (text.size() < 2 || !hostrx::isSpace(text[1])) return std::nullopt;
    const wchar_t kind = hostrx::upperChar(text[0]);
    if (kind != L'W' && kind != L'C') return std::nullopt;
    const std::wstring_view rest = trimmed(text.substr(2));
    const std::size_t gap = rest.find_first_of(L" \t");
    if (gap == std::wstring_view::npos) return std::nullopt;
    const auto a = hosted::parsePoint(rest.substr(0, gap));
    const auto b = hosted::parsePoint(trimmed(rest.substr(gap)));
    if (!a || !b) return std::nullopt;
    AcDbExtents box;
    box.addPoint(*a);
    box.addPoint(*b);
    return std::make_pair(box, kind == L'C');
}

// The entities one selection line takes, in drawing order; nullopt when the line is
// not a selection. A pick uses the line's pick box, else the host's rule.
std::optional<IdList> entitiesOfLine(std::wstring_view text, double pickBox) {
    IdList all = currentSpaceEntities();
    if (hostrx::equalsNoCase(text, L"ALL")) {
        std::erase_if(all, [](AcDbObjectId id) { return !hosted::findable(*liveEntity(id), hosted::Finding::all); });
        return all;
    }
    std::erase_if(all, [](AcDbObjectId id) { return !hosted::findable(*liveEntity(id), hosted::Finding::shown); });
    IdList out;
    if (const auto window = parseWindow(text)) {
        for (AcDbObjectId id : all) {
            const AcDbEntity& e = *liveEntity(id);
            if (window->second ? hosted::crossesWindow(e, window->first) : hosted::insideWindow(e, window->first))
                out.push_back(id);
        }
        return out;
    }
    const auto point = hosted::parsePoint(text);
    if (!point) return std::nullopt;
    const double aperture =
        pickBox > 0.0 ? pickBox : hosted::pickAperture(*acdbHostApplicationServices()->workingDatabase());
    // A pick takes the one entity on top: the last drawn of those under the pick box.
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (hosted::hitsPoint(*liveEntity(*it), *point, aperture)) return IdList{*it};
    return out;
}

int askForSelection(const resbuf* filter, IdList& out) {
    hosted::Editor& editor = hosted::Editor::instance();
    Chosen chosen;
    while (true) {
        const auto line = editor.ask(L"\nSelect objects: ", hosted::Request::selection);
        if (!line || hosted::Editor::isCancel(*line)) return RTCAN;
        const std::wstring_view text = trimmed(line->text);
        if (text.empty()) break;
        const auto found = entitiesOfLine(text, line->aperture);
        if (!found) {
            editor.reject(*line, L"a selection: a point, W x1,y1 x2,y2, C x1,y1 x2,y2 or ALL");
            return RTCAN;
        }
        for (AcDbObjectId id : *found) chosen.add(id, filter);
        acutPrintf(L"\n%d found", static_cast<int>(found->size()));
    }
    if (chosen.filteredOut == 1) acutPrintf(L"\n1 was filtered out.");
    else if (chosen.filteredOut > 1) acutPrintf(L"\n%d were filtered out.", chosen.filteredOut);
    out = std::move(chosen.ids);
    return out.empty() ? RTERROR : RTNORM;
}

}  // namespace

namespace hosted {

const char* entityTypeName(const AcDbEntity& entity) {
    if (const auto* foreign = AcDbForeignEntity::cast(&entity)) return foreign->dxfName().c_str();
    return entity.isA()->dxfName();
}

bool passesFilter(const AcDbEntity& entity, const resbuf* filter) {
    for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
        if (rb->restype == RTDXF0 || rb->restype == 0) {
            const std::wstring type = hostrx::utf8ToWide(entityTypeName(entity));
            if (!wildcardMatchNoCase(type.c_str(), rb->resval.rstring)) return false;
        } else if (rb->restype == 8) {
            if (!wildcardMatchNoCase(layerNameOf(entity).c_str(), rb->resval.rstring)) return false;
        }
    }
    return true;
}

std::size_t openSelectionSets() { return sets().size(); }

const AcDbEntity* liveEntity(AcDbObjectId id) {
    return id.isValid() && !id.isErased() ? AcDbEntity::cast(id.slot()->object) : nullptr;
}

bool findable(const AcDbEntity& entity, Finding how) {
    AcDbLayerTableRecord* layer = nullptr;
    if (acdbOpenObject(layer, entity.layerId(), AcDb::kForRead) != Acad::eOk) return true;
    const bool frozen = layer->isFrozen();
    const bool off = layer->isOff();
    layer->close();
    return !frozen && (how == Finding::all || !off);
}

std::vector<AcDbObjectId> currentSpaceEntities() {
    std::vector<AcDbObjectId> out;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) return out;
    const AcDbObjectId spaceId = db->currentSpaceId();
    const auto* space = spaceId.isValid() ? AcDbBlockTableRecord::cast(spaceId.slot()->object) : nullptr;
    if (!space) return out;
    for (AcDbObjectId id : space->entityIds())
        if (liveEntity(id)) out.push_back(id);
    return out;
}

}  // namespace hosted

int acedSSGet(const ACHAR* mode, const void* /*pt1*/, const void* /*pt2*/, const resbuf* filter, ads_name ss) {
    if (!ss || !filterIsSupported(filter)) return RTERROR;
    IdList ids;
    if (!mode) {
        if (const int rc = askForSelection(filter, ids); rc != RTNORM) return rc;
    } else if (hostrx::equalsNoCase(mode, L"X") || hostrx::equalsNoCase(mode, L"_X")) {
        for (AcDbObjectId id : currentSpaceEntities())
            if (hosted::passesFilter(*liveEntity(id), filter)) ids.push_back(id);
        if (ids.empty()) return RTERROR;
    } else {
        return RTERROR;
    }
    ss[0] = newSet(std::move(ids));
    ss[1] = 0;
    return RTNORM;
}

int acedSSLength(const ads_name ss, Adesk::Int32* length) {
    const IdList* set = findSet(ss);
    if (!set || !length) return RTERROR;
    *length = static_cast<Adesk::Int32>(set->size());
    return RTNORM;
}

int acedSSName(const ads_name ss, Adesk::Int32 index, ads_name entity) {
    const IdList* set = findSet(ss);
    if (!set || !entity || index < 0 || static_cast<std::size_t>(index) >= set->size()) return RTERROR;
    ads_name name = {0, 0};
    if (acdbGetAdsName(name, (*set)[static_cast<std::size_t>(index)]) != Acad::eOk) return RTERROR;
    entity[0] = name[0];
    entity[1] = name[1];
    return RTNORM;
}

int acedSSFree(const ads_name ss) { return ss && sets().erase(ss[0]) ? RTNORM : RTERROR; }

int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result) {
    if (!result) return RTERROR;
    AcDbObjectId id;
    if (entity && acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
    if (!ss || (ss[0] == 0 && ss[1] == 0)) {
        result[0] = newSet(entity ? IdList{id} : IdList{});
        result[1] = 0;
        return RTNORM;
    }
    IdList* set = findSet(ss);
    if (!set) return RTERROR;
    if (entity && std::find(set->begin(), set->end(), id) == set->end()) set->push_back(id);
    result[0] = ss[0];
    result[1] = 0;
    return RTNORM;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name entity) {
    if (!entity || entity[0] == 0) return Acad::eNullObjectId;
    // An entity name carries the address of the object's slot, which lives as long as
    // its database.
    id = AcDbObjectId(reinterpret_cast<hostdb::ObjectSlot*>(entity[0]));
    return Acad::eOk;
}

Acad::ErrorStatus acdbGetAdsName(ads_name& entity, AcDbObjectId id) {
    if (id.isNull()) return Acad::eNullObjectId;
    entity[0] = reinterpret_cast<Adesk::Int64>(id.slot());
    entity[1] = 0;
    return Acad::eOk;
}
