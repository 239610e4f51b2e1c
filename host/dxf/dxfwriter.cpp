#include "dxfwriter.h"

#include "tagwriter.h"
#include "textcodec.h"

#include "../db/blockreference.h"
#include "../db/blocktable.h"
#include "../db/curves.h"
#include "../db/database.h"
#include "../db/dictionary.h"
#include "../db/dimension.h"
#include "../db/dimstyletable.h"
#include "../db/field.h"
#include "../db/foreignentity.h"
#include "../db/group.h"
#include "../db/layertable.h"
#include "../db/mtext.h"
#include "../db/text.h"
#include "../db/textstyletable.h"

#include <cmath>
#include <set>
#include <unordered_set>

namespace hostdxf {
namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

std::uint64_t handleOf(AcDbObjectId id) { return id.handle().value(); }

std::wstring nameOf(AcDbObjectId id) {
    if (id.isNull() || !id.slot()->object) return {};
    const auto* rec = AcDbSymbolTableRecord::cast(id.slot()->object);
    return rec ? rec->name() : std::wstring();
}

class Writer {
public:
    explicit Writer(const AcDbDatabase& db) : m_db(db), m_nextHandle(db.handseed().value()) {}
    std::string run();

private:
    std::uint64_t freshHandle() { return m_nextHandle++; }
    std::uint64_t handleOrFresh(AcDbObjectId id) { return id.isNull() ? freshHandle() : handleOf(id); }

    void header();
    void tables();
    void table(AcDbObjectId tableId, const char* name);
    void tableRecord(const AcDbSymbolTableRecord& rec, const char* type);
    void blocks();
    void entities();
    void objects();
    void object(const AcDbObject& obj);

    // Writes 0 TYPE, handle, application groups and owner.
    void begin(const AcDbObject& obj, std::string_view type, std::uint64_t handle, std::uint64_t owner);
    void chunk(const AcDbObject& obj, const std::string& subclass);
    void endRecord(const AcDbObject& obj);

    void entity(const AcDbEntity& ent, std::uint64_t owner, bool paper);
    void entityCommon(const AcDbEntity& ent, std::string_view type, std::uint64_t handle, std::uint64_t owner, bool paper);
    void textBody(const AcDbText& t, bool secondMarker);
    // The circle section that circles and arcs share; the centre goes into the plane frame.
    void circleBody(const AcDbEntity& ent, const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                    double thickness);

    const AcDbDatabase& m_db;
    TagWriter m_w;
    std::uint64_t m_nextHandle;
    std::set<std::string> m_chunkDone;
};

void Writer::begin(const AcDbObject& obj, std::string_view type, std::uint64_t handle, std::uint64_t owner) {
    m_chunkDone.clear();
    m_w.text(0, type);
    m_w.handle(type == "DIMSTYLE" ? 105 : 5, handle);
    if (const auto* f = obj.foreignData())
        if (const auto* head = f->find("")) m_w.items(*head);
    m_chunkDone.insert("");
    if (!obj.extensionDictionary().isNull() && !obj.extensionDictionary().isErased()) {
        m_w.text(102, "{ACAD_XDICTIONARY");
        m_w.handle(360, handleOf(obj.extensionDictionary()));
        m_w.text(102, "}");
    }
    m_w.handle(330, owner);
}

// Groups of a class section that the host keeps without modelling them.
void Writer::chunk(const AcDbObject& obj, const std::string& subclass) {
    m_chunkDone.insert(subclass);
    if (const auto* f = obj.foreignData())
        if (const auto* items = f->find(subclass)) m_w.items(*items);
}

void Writer::endRecord(const AcDbObject& obj) {
    if (const auto* f = obj.foreignData()) {
        for (const auto& c : f->chunks()) {
            if (m_chunkDone.count(c.subclass)) continue;
            m_w.text(100, c.subclass);
            m_w.items(c.items);
        }
        m_w.items(f->xdata());
    }
}

// ---- header ----

void Writer::header() {
    m_w.text(0, "SECTION");
    m_w.text(2, "HEADER");
    std::set<std::string> written;
    auto var = [&](const char* name) {
        m_w.text(9, name);
        written.insert(name);
    };
    auto modeled = [&](const std::string& name) -> bool {
        if (name == "$ACADVER") { var("$ACADVER"); m_w.text(1, "AC1032"); return true; }
        if (name == "$DWGCODEPAGE") { var("$DWGCODEPAGE"); m_w.text(3, "ANSI_1252"); return true; }
        if (name == "$HANDSEED") { var("$HANDSEED"); m_w.text(5, "@HANDSEED@"); return true; }
        if (name == "$INSBASE") { var("$INSBASE"); const auto p = m_db.insbase(); m_w.point(10, p.x, p.y, p.z); return true; }
        if (name == "$INSUNITS") { var("$INSUNITS"); m_w.integer(70, m_db.insunits()); return true; }
        if (name == "$CLAYER") { var("$CLAYER"); m_w.text(8, nameOf(m_db.clayer()).empty() ? L"0" : nameOf(m_db.clayer())); return true; }
        if (name == "$TEXTSIZE") { var("$TEXTSIZE"); m_w.real(40, m_db.textsize()); return true; }
        if (name == "$DIMSCALE") { var("$DIMSCALE"); m_w.real(40, m_db.dimscale()); return true; }
        if (name == "$LUNITS") { var("$LUNITS"); m_w.integer(70, m_db.lunits()); return true; }
        if (name == "$LUPREC") { var("$LUPREC"); m_w.integer(70, m_db.luprec()); return true; }
        if (name == "$AUNITS") { var("$AUNITS"); m_w.integer(70, m_db.aunits()); return true; }
        if (name == "$AUPREC") { var("$AUPREC"); m_w.integer(70, m_db.auprec()); return true; }
        if (name == "$TEXTSTYLE" && !m_db.textstyle().isNull()) { var("$TEXTSTYLE"); m_w.text(7, nameOf(m_db.textstyle())); return true; }
        if (name == "$DIMSTYLE" && !m_db.dimstyle().isNull()) { var("$DIMSTYLE"); m_w.text(2, nameOf(m_db.dimstyle())); return true; }
        if (name == "$CELTYPE" && !m_db.celtype().isNull()) { var("$CELTYPE"); m_w.text(6, nameOf(m_db.celtype())); return true; }
        if (name == "$HANDLING") { var("$HANDLING"); m_w.integer(70, 1); return true; }
        return false;
    };
    auto custom = [&] {
        if (written.count("$CUSTOMPROPERTYTAG")) return;
        written.insert("$CUSTOMPROPERTYTAG");
        for (const auto& [key, value] : m_db.customProperties()) {
            m_w.text(9, "$CUSTOMPROPERTYTAG");
            m_w.text(1, key);
            m_w.text(9, "$CUSTOMPROPERTY");
            m_w.text(1, value);
        }
    };
    static const char* first[] = {"$ACADVER", "$DWGCODEPAGE"};
    for (const char* name : first) modeled(name);
    for (const auto& v : m_db.headerVariables()) {
        if (written.count(v.name)) continue;
        if (v.name == "$CUSTOMPROPERTYTAG" || v.name == "$CUSTOMPROPERTY") {
            custom();
            continue;
        }
        if (v.name == "$ACADMAINTVER" || v.name == "$REQUIREDVERSIONS") continue;  // belong to the old release
        if (modeled(v.name)) continue;
        m_w.text(9, v.name);
        m_w.items(v.values);
        written.insert(v.name);
    }
    // A file without $INSUNITS (R12 has none) keeps none while the drawing stays
    // unitless: the two mean the same, and leaving it out keeps what was read.
    const bool unitsUnstated = !m_db.headerVariables().empty() && m_db.insunits() == AcDb::kUnitsUndefined;
    for (const char* name : {"$INSBASE", "$INSUNITS", "$CLAYER", "$TEXTSIZE", "$DIMSCALE", "$LUNITS", "$LUPREC",
                             "$AUNITS", "$AUPREC", "$TEXTSTYLE", "$DIMSTYLE", "$CELTYPE", "$HANDSEED"})
        if (!written.count(name) && !(unitsUnstated && std::string_view(name) == "$INSUNITS")) modeled(name);
    custom();
    m_w.text(0, "ENDSEC");
}

// ---- tables ----

void Writer::tableRecord(const AcDbSymbolTableRecord& rec, const char* type) {
    begin(rec, type, handleOf(rec.objectId()), handleOf(rec.ownerId()));
    m_w.text(100, "AcDbSymbolTableRecord");
    chunk(rec, "AcDbSymbolTableRecord");
    if (const auto* block = AcDbBlockTableRecord::cast(&rec)) {
        m_w.text(100, "AcDbBlockTableRecord");
        m_w.text(2, rec.name());
        if (!block->getLayoutId().isNull()) m_w.handle(340, handleOf(block->getLayoutId()));
        m_w.integer(70, block->blockInsertUnits());
        m_w.integer(280, block->explodable() ? 1 : 0);
        m_w.integer(281, block->blockScaling() ? 1 : 0);
        if (block->hasPreviewIcon()) m_w.binary(310, block->previewBytes());
        chunk(rec, "AcDbBlockTableRecord");
        endRecord(rec);
        return;
    }
    // The class name is the record's class marker: AcDbLayerTableRecord, AcDbTextStyleTableRecord, ...
    const std::string marker = wideToUtf8(rec.isA()->name());
    m_w.text(100, marker);
    m_w.text(2, rec.name());
    m_w.integer(70, rec.flags());
    if (const auto* layer = AcDbLayerTableRecord::cast(&rec)) {
        const int c = layer->color().colorIndex();
        m_w.integer(62, layer->isOff() ? -c : c);
        if (layer->color().hasTrueColor()) m_w.integer(420, layer->color().rgb());
        const std::wstring lt = nameOf(layer->linetypeObjectId());
        m_w.text(6, lt.empty() ? L"Continuous" : lt);
        m_w.integer(290, layer->isPlottable() ? 1 : 0);
        m_w.integer(370, layer->lineWeight());
    } else if (const auto* style = AcDbTextStyleTableRecord::cast(&rec)) {
        m_w.real(40, style->textSize());
        m_w.real(41, style->xScale());
        m_w.real(50, style->obliquingAngle());
        m_w.integer(71, style->flagBits());
        m_w.real(42, style->priorSize());
        m_w.text(3, style->fileName());
        m_w.text(4, style->bigFontFileName());
    }
    chunk(rec, marker);
    endRecord(rec);
}

void Writer::table(AcDbObjectId tableId, const char* name) {
    const auto* t = tableId.isNull() ? nullptr : AcDbSymbolTable::cast(tableId.slot()->object);
    if (!t) return;
    std::vector<const AcDbSymbolTableRecord*> records;
    for (AcDbObjectId id : t->recordIds())
        if (!id.isErased())
            if (const auto* r = AcDbSymbolTableRecord::cast(id.slot()->object)) records.push_back(r);
    begin(*t, "TABLE", handleOf(tableId), 0);
    // "0 TABLE" carries its name before the handle.
    m_w.data().insert(m_w.data().rfind("  0\nTABLE\n") + 10, std::string("  2\n") + name + "\n");
    m_w.text(100, "AcDbSymbolTable");
    m_w.integer(70, static_cast<long long>(records.size()));
    chunk(*t, "AcDbSymbolTable");
    endRecord(*t);
    for (const auto* r : records) tableRecord(*r, name);
    m_w.text(0, "ENDTAB");
}

void Writer::tables() {
    m_w.text(0, "SECTION");
    m_w.text(2, "TABLES");
    table(m_db.viewportTableId(), "VPORT");
    table(m_db.linetypeTableId(), "LTYPE");
    table(m_db.layerTableId(), "LAYER");
    table(m_db.textStyleTableId(), "STYLE");
    table(m_db.viewTableId(), "VIEW");
    table(m_db.UCSTableId(), "UCS");
    table(m_db.regAppTableId(), "APPID");
    table(m_db.dimStyleTableId(), "DIMSTYLE");
    table(m_db.blockTableId(), "BLOCK_RECORD");
    for (const auto& s : m_db.preservedSections())
        if (s.name.starts_with("TABLE:")) {
            m_w.text(0, "TABLE");
            m_w.items(s.items);
            m_w.text(0, "ENDTAB");
        }
    m_w.text(0, "ENDSEC");
}

// ---- entities ----

void Writer::entityCommon(const AcDbEntity& ent, std::string_view type, std::uint64_t handle, std::uint64_t owner,
                          bool paper) {
    begin(ent, type, handle, owner);
    m_w.text(100, "AcDbEntity");
    if (paper) m_w.integer(67, 1);
    const std::wstring layer = ent.layerName();
    m_w.text(8, layer.empty() ? L"0" : layer);
    const std::wstring lt = nameOf(ent.linetypeId());
    if (!lt.empty() && lt != L"ByLayer") m_w.text(6, lt);
    if (!ent.color().isByLayer()) m_w.integer(62, ent.color().colorIndex());
    if (ent.color().hasTrueColor()) m_w.integer(420, ent.color().rgb());
    if (ent.lineWeight() != AcDb::kLnWtByLayer) m_w.integer(370, ent.lineWeight());
    if (ent.linetypeScale() != 1.0) m_w.real(48, ent.linetypeScale());
    if (ent.visibility() == AcDb::kInvisible) m_w.integer(60, 1);
    chunk(ent, "AcDbEntity");
}

void Writer::textBody(const AcDbText& t, bool secondMarker) {
    const auto f = AcGePlaneFrame::fromNormal(t.normal());
    const AcGePoint3d p = f.toPlane(t.position());
    m_w.text(100, "AcDbText");
    m_w.real(39, t.thickness());
    m_w.point(10, p.x, p.y, p.z);
    m_w.real(40, t.height());
    m_w.text(1, t.displayText());
    m_w.real(50, t.rotation() * kDegrees);
    m_w.real(41, t.widthFactor());
    m_w.real(51, t.oblique() * kDegrees);
    m_w.text(7, nameOf(t.textStyle()).empty() ? L"Standard" : nameOf(t.textStyle()));
    m_w.integer(71, t.generationFlags());
    m_w.integer(72, t.horizontalMode());
    if (!t.isDefaultAlignment() || t.isAlignmentPointStated()) {
        const AcGePoint3d a = f.toPlane(t.alignmentPoint());
        m_w.point(11, a.x, a.y, a.z);
    }
    const AcGeVector3d n = t.normal();
    m_w.point(210, n.x, n.y, n.z);
    chunk(t, "AcDbText");
    if (secondMarker) {
        m_w.text(100, "AcDbText");
        m_w.integer(73, t.verticalMode());
    }
}

void Writer::circleBody(const AcDbEntity& ent, const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                        double thickness) {
    const AcGePoint3d c = AcGePlaneFrame::fromNormal(normal).toPlane(center);
    m_w.text(100, "AcDbCircle");
    if (thickness != 0.0) m_w.real(39, thickness);
    m_w.point(10, c.x, c.y, c.z);
    m_w.real(40, radius);
    m_w.point(210, normal.x, normal.y, normal.z);
    chunk(ent, "AcDbCircle");
}

void Writer::entity(const AcDbEntity& ent, std::uint64_t owner, bool paper) {
    const std::uint64_t h = handleOf(ent.objectId());
    if (const auto* e = AcDbLine::cast(&ent)) {
        entityCommon(ent, "LINE", h, owner, paper);
        m_w.text(100, "AcDbLine");
        if (e->thickness() != 0.0) m_w.real(39, e->thickness());
        m_w.point(10, e->startPoint().x, e->startPoint().y, e->startPoint().z);
        m_w.point(11, e->endPoint().x, e->endPoint().y, e->endPoint().z);
        if (!e->normal().isEqualTo(AcGeVector3d::kZAxis)) m_w.point(210, e->normal().x, e->normal().y, e->normal().z);
        chunk(ent, "AcDbLine");
    } else if (const auto* arc = AcDbArc::cast(&ent)) {
        entityCommon(ent, "ARC", h, owner, paper);
        circleBody(ent, arc->center(), arc->radius(), arc->normal(), arc->thickness());
        m_w.text(100, "AcDbArc");
        m_w.real(50, arc->startAngle() * kDegrees);
        m_w.real(51, arc->endAngle() * kDegrees);
        chunk(ent, "AcDbArc");
    } else if (const auto* circle = AcDbCircle::cast(&ent)) {
        entityCommon(ent, "CIRCLE", h, owner, paper);
        circleBody(ent, circle->center(), circle->radius(), circle->normal(), circle->thickness());
    } else if (const auto* pt = AcDbPoint::cast(&ent)) {
        entityCommon(ent, "POINT", h, owner, paper);
        m_w.text(100, "AcDbPoint");
        m_w.point(10, pt->position().x, pt->position().y, pt->position().z);
        if (pt->thickness() != 0.0) m_w.real(39, pt->thickness());
        m_w.point(210, pt->normal().x, pt->normal().y, pt->normal().z);
        m_w.real(50, pt->ecsRotation() * kDegrees);
        chunk(ent, "AcDbPoint");
    } else if (const auto* pl = AcDbPolyline::cast(&ent)) {
        entityCommon(ent, "LWPOLYLINE", h, owner, paper);
        m_w.text(100, "AcDbPolyline");
        m_w.integer(90, pl->numVerts());
        m_w.integer(70, (pl->isClosed() ? 1 : 0) | (pl->hasPlinegen() ? 128 : 0));
        if (pl->hasConstantWidth()) m_w.real(43, pl->constantWidth());
        if (pl->elevation() != 0.0) m_w.real(38, pl->elevation());
        if (pl->thickness() != 0.0) m_w.real(39, pl->thickness());
        for (const auto& v : pl->vertices()) {
            m_w.point2(10, v.point.x, v.point.y);
            if (v.startWidth != 0.0 || v.endWidth != 0.0) {
                m_w.real(40, v.startWidth);
                m_w.real(41, v.endWidth);
            }
            if (v.bulge != 0.0) m_w.real(42, v.bulge);
        }
        m_w.point(210, pl->normal().x, pl->normal().y, pl->normal().z);
        chunk(ent, "AcDbPolyline");
    } else if (const auto* def = AcDbAttributeDefinition::cast(&ent)) {
        entityCommon(ent, "ATTDEF", h, owner, paper);
        textBody(*def, false);
        m_w.text(100, "AcDbAttributeDefinition");
        m_w.text(3, def->promptConst());
        m_w.text(2, def->tagConst());
        m_w.integer(70, def->attributeFlags());
        m_w.integer(73, def->fieldLength());
        m_w.integer(74, def->verticalMode());
        chunk(ent, "AcDbAttributeDefinition");
    } else if (const auto* att = AcDbAttribute::cast(&ent)) {
        entityCommon(ent, "ATTRIB", h, owner, paper);
        textBody(*att, false);
        m_w.text(100, "AcDbAttribute");
        m_w.text(2, att->tagConst());
        m_w.integer(70, att->attributeFlags());
        m_w.integer(73, att->fieldLength());
        m_w.integer(74, att->verticalMode());
        chunk(ent, "AcDbAttribute");
    } else if (const auto* text = AcDbText::cast(&ent)) {
        entityCommon(ent, "TEXT", h, owner, paper);
        textBody(*text, true);
    } else if (const auto* mt = AcDbMText::cast(&ent)) {
        entityCommon(ent, "MTEXT", h, owner, paper);
        m_w.text(100, "AcDbMText");
        m_w.point(10, mt->location().x, mt->location().y, mt->location().z);
        m_w.real(40, mt->textHeight());
        if (mt->width() > 0.0) m_w.real(41, mt->width());
        m_w.integer(71, mt->attachment());
        m_w.integer(72, mt->flowDirection());
        const std::string contents = wideToUtf8(mt->displayText());
        std::size_t pos = 0;
        while (contents.size() - pos > 250) {
            std::size_t cut = pos + 250;
            while (cut > pos && (static_cast<unsigned char>(contents[cut]) & 0xC0) == 0x80) --cut;  // whole characters
            m_w.text(3, std::string_view(contents).substr(pos, cut - pos));
            pos = cut;
        }
        m_w.text(1, std::string_view(contents).substr(pos));
        m_w.text(7, nameOf(mt->textStyle()).empty() ? L"Standard" : nameOf(mt->textStyle()));
        m_w.point(210, mt->normal().x, mt->normal().y, mt->normal().z);
        m_w.point(11, mt->direction().x, mt->direction().y, mt->direction().z);
        m_w.integer(73, mt->lineSpacingStyle());
        m_w.real(44, mt->lineSpacingFactor());
        chunk(ent, "AcDbMText");
    } else if (const auto* ref = AcDbBlockReference::cast(&ent)) {
        std::vector<const AcDbAttribute*> attrs;
        for (AcDbObjectId id : ref->attributeIds())
            if (!id.isErased())
                if (const auto* a = AcDbAttribute::cast(id.slot()->object)) attrs.push_back(a);
        entityCommon(ent, "INSERT", h, owner, paper);
        m_w.text(100, "AcDbBlockReference");
        if (!attrs.empty()) m_w.integer(66, 1);
        m_w.text(2, nameOf(ref->blockTableRecord()));
        const auto f = AcGePlaneFrame::fromNormal(ref->normal());
        const AcGePoint3d p = f.toPlane(ref->position());
        m_w.point(10, p.x, p.y, p.z);
        m_w.real(41, ref->scaleFactors().x);
        m_w.real(42, ref->scaleFactors().y);
        m_w.real(43, ref->scaleFactors().z);
        m_w.real(50, ref->rotation() * kDegrees);
        m_w.point(210, ref->normal().x, ref->normal().y, ref->normal().z);
        chunk(ent, "AcDbBlockReference");
        endRecord(ent);
        if (attrs.empty()) return;
        for (const auto* a : attrs) entity(*a, h, paper);
        m_chunkDone.clear();
        m_w.text(0, "SEQEND");
        m_w.handle(5, handleOrFresh(ref->sequenceEndId()));
        m_w.handle(330, h);
        m_w.text(100, "AcDbEntity");
        m_w.text(8, ref->layerName().empty() ? L"0" : ref->layerName());
        return;
    } else if (const auto* dim = AcDbDimension::cast(&ent)) {
        entityCommon(ent, "DIMENSION", h, owner, paper);
        m_w.text(100, "AcDbDimension");
        m_w.text(2, nameOf(dim->dimBlockId()));
        m_w.point(10, dim->definitionPoint().x, dim->definitionPoint().y, dim->definitionPoint().z);
        m_w.point(11, dim->textPosition().x, dim->textPosition().y, dim->textPosition().z);
        if (!dim->dimBlockPosition().isEqualTo(AcGePoint3d::kOrigin))
            m_w.point(12, dim->dimBlockPosition().x, dim->dimBlockPosition().y, dim->dimBlockPosition().z);
        m_w.integer(70, dim->dimensionType());
        m_w.integer(71, dim->attachment());
        if (dim->measurement() >= 0.0) m_w.real(42, dim->measurement());
        if (!dim->dimensionText().empty()) m_w.text(1, dim->dimensionText());
        if (dim->textRotation() != 0.0) m_w.real(53, dim->textRotation());
        if (dim->horizontalRotation() != 0.0) m_w.real(51, dim->horizontalRotation());
        m_w.point(210, dim->normal().x, dim->normal().y, dim->normal().z);
        m_w.text(3, nameOf(dim->dimensionStyle()).empty() ? L"Standard" : nameOf(dim->dimensionStyle()));
        chunk(ent, "AcDbDimension");
    } else if (const auto* leader = AcDbLeader::cast(&ent)) {
        entityCommon(ent, "LEADER", h, owner, paper);
        m_w.text(100, "AcDbLeader");
        m_w.text(3, nameOf(leader->dimensionStyle()).empty() ? L"Standard" : nameOf(leader->dimensionStyle()));
        m_w.integer(71, leader->hasArrowHead() ? 1 : 0);
        m_w.integer(72, leader->isSplined() ? 1 : 0);
        m_w.integer(73, leader->annotationType());
        m_w.integer(74, leader->hookLineOnXDir() ? 0 : 1);
        m_w.integer(75, leader->hasHookLine() ? 1 : 0);
        m_w.real(40, leader->annoHeight());
        m_w.real(41, leader->annoWidth());
        m_w.integer(76, leader->numVertices());
        for (const auto& v : leader->vertices()) m_w.point(10, v.x, v.y, v.z);
        if (!leader->annotationObjId().isNull() && !leader->annotationObjId().isErased())
            m_w.handle(340, handleOf(leader->annotationObjId()));
        m_w.point(210, leader->normal().x, leader->normal().y, leader->normal().z);
        m_w.point(211, leader->horizontalDirection().x, leader->horizontalDirection().y, leader->horizontalDirection().z);
        m_w.point(212, leader->blockOffset().x, leader->blockOffset().y, leader->blockOffset().z);
        m_w.point(213, leader->annotationOffset().x, leader->annotationOffset().y, leader->annotationOffset().z);
        chunk(ent, "AcDbLeader");
    } else if (const auto* foreign = AcDbForeignEntity::cast(&ent)) {
        entityCommon(ent, foreign->dxfName(), h, owner, paper);
        endRecord(ent);
        for (const auto& follower : foreign->followers()) m_w.items(follower);
        return;
    } else {
        return;  // block begin/end and sequence ends are written by their owners
    }
    endRecord(ent);
}

// ---- blocks ----

void Writer::blocks() {
    m_w.text(0, "SECTION");
    m_w.text(2, "BLOCKS");
    const auto* table = AcDbBlockTable::cast(m_db.blockTableId().slot()->object);
    const AcDbObjectId model = m_db.modelSpaceId(), paper = m_db.paperSpaceId();
    for (AcDbObjectId id : table->recordIds()) {
        if (id.isErased()) continue;
        const auto* rec = AcDbBlockTableRecord::cast(id.slot()->object);
        const bool isPaper = id == paper;
        const AcDbObject* beginObj = rec->blockBeginId().isNull() ? nullptr : rec->blockBeginId().slot()->object;
        const auto* b = beginObj ? AcDbEntity::cast(beginObj) : nullptr;
        AcDbBlockBegin fallback;
        const AcDbEntity& beginEnt = b ? *b : fallback;
        begin(beginEnt, "BLOCK", handleOrFresh(rec->blockBeginId()), handleOf(id));
        m_w.text(100, "AcDbEntity");
        if (isPaper) m_w.integer(67, 1);
        m_w.text(8, beginEnt.layerName().empty() ? L"0" : beginEnt.layerName());
        chunk(beginEnt, "AcDbEntity");
        m_w.text(100, "AcDbBlockBegin");
        m_w.text(2, rec->name());
        m_w.integer(70, rec->flags() | (rec->hasAttributeDefinitions() ? AcDbBlockTableRecord::kHasAttributes : 0));
        m_w.point(10, rec->origin().x, rec->origin().y, rec->origin().z);
        m_w.text(3, rec->name());
        m_w.text(1, rec->pathName());
        if (!rec->comments().empty()) m_w.text(4, rec->comments());
        chunk(beginEnt, "AcDbBlockBegin");
        endRecord(beginEnt);
        if (id != model && !isPaper)
            for (AcDbObjectId eid : rec->entityIds())
                if (!eid.isErased())
                    if (const auto* e = AcDbEntity::cast(eid.slot()->object)) entity(*e, handleOf(id), false);
        const AcDbObject* endObj = rec->blockEndId().isNull() ? nullptr : rec->blockEndId().slot()->object;
        const auto* e = endObj ? AcDbEntity::cast(endObj) : nullptr;
        AcDbBlockEnd endFallback;
        const AcDbEntity& endEnt = e ? *e : endFallback;
        begin(endEnt, "ENDBLK", handleOrFresh(rec->blockEndId()), handleOf(id));
        m_w.text(100, "AcDbEntity");
        if (isPaper) m_w.integer(67, 1);
        m_w.text(8, endEnt.layerName().empty() ? L"0" : endEnt.layerName());
        chunk(endEnt, "AcDbEntity");
        m_w.text(100, "AcDbBlockEnd");
        chunk(endEnt, "AcDbBlockEnd");
        endRecord(endEnt);
    }
    m_w.text(0, "ENDSEC");
}

void Writer::entities() {
    m_w.text(0, "SECTION");
    m_w.text(2, "ENTITIES");
    for (const AcDbObjectId space : {m_db.modelSpaceId(), m_db.paperSpaceId()}) {
        if (space.isNull()) continue;
        const auto* rec = AcDbBlockTableRecord::cast(space.slot()->object);
        for (AcDbObjectId id : rec->entityIds())
            if (!id.isErased())
                if (const auto* e = AcDbEntity::cast(id.slot()->object)) entity(*e, handleOf(space), space != m_db.modelSpaceId());
    }
    m_w.text(0, "ENDSEC");
}

// ---- objects ----

void Writer::object(const AcDbObject& obj) {
    const std::uint64_t h = handleOf(obj.objectId());
    const std::uint64_t owner = handleOf(obj.ownerId());
    if (const auto* dict = AcDbDictionary::cast(&obj)) {
        begin(obj, "DICTIONARY", h, owner);
        m_w.text(100, "AcDbDictionary");
        if (dict->isTreatElementsAsHard()) m_w.integer(280, 1);
        m_w.integer(281, dict->mergeStyle());
        for (const auto& e : dict->entries()) {
            if (e.id.isErased()) continue;
            m_w.text(3, e.name);
            m_w.handle(dict->isTreatElementsAsHard() ? 360 : 350, handleOf(e.id));
        }
        chunk(obj, "AcDbDictionary");
    } else if (const auto* group = AcDbGroup::cast(&obj)) {
        begin(obj, "GROUP", h, owner);
        m_w.text(100, "AcDbGroup");
        m_w.text(300, group->description());
        m_w.integer(70, group->isAnonymous() ? 1 : 0);
        m_w.integer(71, group->isSelectable() ? 1 : 0);
        for (AcDbObjectId id : group->memberIds())
            if (id.isValid() && !id.isErased()) m_w.handle(340, handleOf(id));
        chunk(obj, "AcDbGroup");
    } else if (const auto* field = AcDbField::cast(&obj)) {
        begin(obj, "FIELD", h, owner);
        m_w.text(100, "AcDbField");
        m_chunkDone.insert("AcDbField");
        const auto* kept = obj.foreignData() ? obj.foreignData()->find("AcDbField") : nullptr;
        // A field read from a file goes back as it was unless its code or value changed.
        std::string keptCode, keptValue;
        bool valueNext = false;
        if (kept)
            for (const auto& item : *kept) {
                if (item.code == 2 || item.code == 3) keptCode += item.value;
                else if (item.code == 6 && item.value == "ACFD_FIELD_VALUE") valueNext = true;
                else if (valueNext && item.code == 1) keptValue = item.value, valueNext = false;
            }
        if (kept && wideToUtf8(field->getFieldCode()) == keptCode && wideToUtf8(field->value()) == keptValue) {
            m_w.items(*kept);
        } else {
            const std::string code = wideToUtf8(field->getFieldCode());
            m_w.text(1, field->customPropertyName().empty() ? "_text" : "AcVar");
            m_w.text(2, std::string_view(code).substr(0, 250));
            for (std::size_t pos = 250; pos < code.size(); pos += 250) m_w.text(3, std::string_view(code).substr(pos, 250));
            for (const auto& [c, v] : std::initializer_list<std::pair<int, long long>>{{90, 0}, {97, 0}, {91, 63}, {92, 0}, {94, 59}, {95, 2}, {96, 0}})
                m_w.integer(c, v);
            m_w.text(300, "");
            m_w.integer(93, 1);
            m_w.text(6, "ACFD_FIELD_VALUE");
            m_w.integer(90, 4);
            m_w.text(1, field->value());
            m_w.text(301, "");
            m_w.integer(98, 0);
        }
    } else if (const auto* foreign = AcDbForeignObject::cast(&obj)) {
        begin(obj, foreign->dxfName(), h, owner);
    } else {
        return;
    }
    endRecord(obj);
}

bool isObjectsSectionObject(const AcDbObject* obj) {
    return obj && !obj->isErased() && !AcDbEntity::cast(obj) && !AcDbSymbolTable::cast(obj) &&
           !AcDbSymbolTableRecord::cast(obj);
}

void Writer::objects() {
    m_w.text(0, "SECTION");
    m_w.text(2, "OBJECTS");
    const AcDbObjectId root = m_db.namedObjectsDictionaryId();
    if (!root.isNull()) object(*root.slot()->object);
    for (const auto& slot : m_db.slots())
        if (slot.object != (root.isNull() ? nullptr : root.slot()->object) && isObjectsSectionObject(slot.object))
            object(*slot.object);
    m_w.text(0, "ENDSEC");
}

std::string Writer::run() {
    header();
    m_w.text(0, "SECTION");
    m_w.text(2, "CLASSES");
    m_w.items(m_db.classes());
    m_w.text(0, "ENDSEC");
    tables();
    blocks();
    entities();
    objects();
    for (const auto& s : m_db.preservedSections()) {
        if (s.name.starts_with("TABLE:")) continue;
        m_w.text(0, "SECTION");
        m_w.text(2, s.name);
        m_w.items(s.items);
        m_w.text(0, "ENDSEC");
    }
    if (!m_db.thumbnailBitmap().empty()) {
        m_w.text(0, "SECTION");
        m_w.text(2, "THUMBNAILIMAGE");
        m_w.integer(90, static_cast<long long>(m_db.thumbnailBitmap().size()));
        m_w.binary(310, m_db.thumbnailBitmap());
        m_w.text(0, "ENDSEC");
    }
    m_w.text(0, "EOF");
    // The handle seed is known only now that every written record has its handle.
    std::string& out = m_w.data();
    char seed[24];
    std::snprintf(seed, sizeof seed, "%llX", static_cast<unsigned long long>(m_nextHandle));
    const auto at = out.find("@HANDSEED@");
    if (at != std::string::npos) out.replace(at, 10, seed);
    return std::move(out);
}

}  // namespace

std::string writeDrawing(const AcDbDatabase& db) {
    // Every object gets written, and the objects section walks all of them.
    db.loadAllContents();
    return Writer(db).run();
}

}  // namespace hostdxf
