#include "entitydecoders.h"
#include "angles.h"

#include "../db/blockreference.h"
#include "../db/dimension.h"
#include "../rx/utf8.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

namespace hostdxf::reading {
namespace {

// The block is named now and found once every block is known.
void decodeInsert(EntityGroups& g, EntityDecoder& d) {
    auto* e = new AcDbBlockReference();
    d.entity.reset(e);
    auto sc = std::make_shared<AcGeVector3d>(1, 1, 1);
    d.take = [&g, sc](const std::string&, const Tag& t) {
        switch (t.code) {
        case 2: g.s2 = wide(t.value); return true;
        case 41: sc->x = real(t.value); return true;
        case 42: sc->y = real(t.value); return true;
        case 43: sc->z = real(t.value); return true;
        case 50: g.d50 = real(t.value); return true;
        case 66: return true;  // attributes follow: seen from the records themselves
        default: return g.p10.take(t.code, 10, t.value) || g.normal.take(t.code, 210, t.value);
        }
    };
    d.finish = [&g, e, sc] {
        const auto f = AcGePlaneFrame::fromNormal(g.normal.p.asVector());
        e->setNormal(g.normal.p.asVector());
        e->setPosition(f.toWorld(g.p10.p));
        e->setScaleFactors({sc->x == 0 ? 1 : sc->x, sc->y == 0 ? 1 : sc->y, sc->z == 0 ? 1 : sc->z});
        e->setRotation(radiansFromDegrees(g.d50));
        g.blockName = hostrx::wideToUtf8(g.s2);
    };
}

// An R12 file marks no subclasses, so the groups of a dimension's kind came in before
// any marker. A 2018 file has them under the kind's markers, after AcDbDimension:
// move them there, so that the record is written back in the order readers expect.
void placeUnmarkedKindGroups(AcDbDimension& dim) {
    if (!dim.foreignData() || !dim.kindSubclass().empty()) return;
    hostdb::ForeignData* data = &dim.foreign();
    auto& chunks = data->chunks();
    const auto unmarked = std::find_if(chunks.begin(), chunks.end(), [](const auto& c) { return c.subclass.empty(); });
    if (unmarked == chunks.end()) return;
    const hostdb::FilerItems items = std::move(unmarked->items);
    chunks.erase(unmarked);
    // The classes of each kind, by the low bits of group 70, and which of them holds a
    // group: the last class takes what the one before does not name.
    static const std::vector<std::pair<const char*, std::vector<int>>> kinds[] = {
        {{"AcDbAlignedDimension", {13, 23, 33, 14, 24, 34}}, {"AcDbRotatedDimension", {}}},
        {{"AcDbAlignedDimension", {}}},
        {{"AcDb2LineAngularDimension", {}}},
        {{"AcDbDiametricDimension", {}}},
        {{"AcDbRadialDimension", {}}},
        {{"AcDb3PointAngularDimension", {}}},
        {{"AcDbOrdinateDimension", {}}},
    };
    const auto kind = static_cast<std::size_t>(dim.dimensionType() & 0x0F);
    if (kind >= std::size(kinds)) {
        data->chunk("") = items;
        return;
    }
    const auto& classes = kinds[kind];
    for (const auto& [name, codes] : classes) data->chunk(name);  // the markers in their order, even if empty
    for (const auto& item : items) {
        std::size_t c = 0;
        while (c + 1 < classes.size() &&
               std::find(classes[c].second.begin(), classes[c].second.end(), item.code) == classes[c].second.end())
            ++c;
        data->chunk(classes[c].first).push_back(item);
    }
    dim.setKindSubclass(classes.back().first);
}

// The groups common to every kind of dimension are modelled; those of its kind stay
// as persisted data under the kind's class marker.
void decodeDimension(ReaderContext& ctx, EntityGroups& g, EntityDecoder& d) {
    auto* e = new AcDbDimension();
    d.entity.reset(e);
    d.take = [&g, e](const std::string& sub, const Tag& t) {
        if (!(sub.empty() || sub == "AcDbDimension")) {
            if (e->kindSubclass().empty() || sub != e->kindSubclass()) e->setKindSubclass(sub);
            return false;  // kind-specific groups stay as persisted data
        }
        switch (t.code) {
        case 1: g.s1 = wide(t.value); return true;
        case 2: g.s2 = wide(t.value); return true;
        case 3: g.s3 = wide(t.value); return true;
        case 42: e->setMeasurement(real(t.value)); return true;
        case 53: e->setTextRotation(real(t.value)); return true;
        case 51: e->setHorizontalRotation(real(t.value)); return true;
        case 70: e->setDimensionType(static_cast<int>(integer(t.value))); return true;
        case 71: e->setAttachment(static_cast<int>(integer(t.value))); return true;
        default:
            // R12 marks no subclasses: the kind's points (13 to 16 with their 2x and 3x)
            // stay as persisted data, while y and z of 10, 11 and 12 are the dimension's.
            if (sub.empty() && t.code >= 13 && t.code <= 36 && t.code % 10 >= 3 && t.code % 10 <= 6) return false;
            return g.p10.take(t.code, 10, t.value) || g.p11.take(t.code, 11, t.value) ||
                   g.p12.take(t.code, 12, t.value) || g.normal.take(t.code, 210, t.value);
        }
    };
    d.finish = [&ctx, &g, e] {
        e->setDefinitionPoint(g.p10.p);
        e->setTextPosition(g.p11.p);
        e->setDimBlockPosition(g.p12.p);
        e->setNormal(g.normal.p.asVector());
        e->setDimensionText(g.s1);
        placeUnmarkedKindGroups(*e);
        e->setDimensionStyle(ctx.symbolId(ctx.db().dimStyleTableId(), g.s3.empty() ? "Standard" : hostrx::wideToUtf8(g.s3)));
        g.blockName = hostrx::wideToUtf8(g.s2);
    };
}

void decodeLeader(ReaderContext& ctx, EntityGroups& g, EntityDecoder& d) {
    auto* e = new AcDbLeader();
    d.entity.reset(e);
    // Groups 74, 75, 40 and 41 that a file leaves out read as 1, as the peer reads
    // them: a hook line in the direction of the horizontal, annotation 1 by 1.
    e->setHookLineOnXDir(false);
    e->setHasHookLine(true);
    e->setAnnoHeight(1.0);
    e->setAnnoWidth(1.0);
    auto annotation = std::make_shared<AcDbHandle>();
    d.take = [&g, e, annotation](const std::string&, const Tag& t) {
        auto& v = e->vertices();
        switch (t.code) {
        case 3: g.s3 = wide(t.value); return true;
        case 71: if (integer(t.value)) e->enableArrowHead(); else e->disableArrowHead(); return true;
        case 72: if (integer(t.value)) e->setToSplineLeader(); else e->setToStraightLeader(); return true;
        case 73: e->setAnnotationType(static_cast<int>(integer(t.value))); return true;
        case 74: e->setHookLineOnXDir(integer(t.value) == 0); return true;
        case 75: e->setHasHookLine(integer(t.value) != 0); return true;
        case 40: e->setAnnoHeight(real(t.value)); return true;
        case 41: e->setAnnoWidth(real(t.value)); return true;
        case 76: return true;  // the count follows from the vertices
        case 10: v.push_back({real(t.value), 0, 0}); return true;
        case 20: if (!v.empty()) { v.back().y = real(t.value); return true; } return false;
        case 30: if (!v.empty()) { v.back().z = real(t.value); return true; } return false;
        case 340: *annotation = handleOf(t.value); return true;
        default:
            return g.normal.take(t.code, 210, t.value) || g.p11.take(t.code, 211, t.value) ||
                   g.p12.take(t.code, 212, t.value) || g.p13.take(t.code, 213, t.value);
        }
    };
    d.finish = [&ctx, &g, e, annotation] {
        e->setNormal(g.normal.p.asVector());
        if (g.p11.seen) e->setHorizontalDirection(g.p11.p.asVector());
        e->setBlockOffset(g.p12.p.asVector());
        e->setAnnotationOffset(g.p13.p.asVector());
        e->setDimensionStyle(ctx.symbolId(ctx.db().dimStyleTableId(), g.s3.empty() ? "Standard" : hostrx::wideToUtf8(g.s3)));
        if (!annotation->isNull()) {
            const AcDbHandle h = *annotation;
            ctx.addFixup([&ctx, e, h] {
                // Set directly: attaching would recompute what the file states.
                e->setAnnotationIdDirect(ctx.db().idFromHandle(h));
            });
        }
    };
}

}  // namespace

bool decodeReference(ReaderContext& ctx, const std::string& type, EntityGroups& g, EntityDecoder& d) {
    if (type == "INSERT") decodeInsert(g, d);
    else if (type == "DIMENSION") decodeDimension(ctx, g, d);
    else if (type == "LEADER") decodeLeader(ctx, g, d);
    else return false;
    return true;
}

}  // namespace hostdxf::reading
