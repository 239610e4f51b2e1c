#include "ui/render/entityrenderer.h"

#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/dimension.h"
#include "db/foreignentity.h"
#include "db/layertable.h"
#include "db/mtext.h"
#include "db/text.h"
#include "ui/render/aci.h"
#include "ui/render/bulgepolyline.h"
#include "ui/render/renderercontext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace hostui {

namespace render {

namespace {
// Deeper nesting than this is a block that contains itself.
constexpr int kMaxDepth = 32;

double integerItem(const hostdb::ForeignData* data, int code, double fallback) {
    if (!data) return fallback;
    for (const auto& chunk : data->chunks())
        for (const auto& item : chunk.items)
            if (item.code == code) return std::strtod(item.value.c_str(), nullptr);
    return fallback;
}

// How a transform scales lengths in the drawing's plane (the square root of the area
// factor), for widths and text heights.
double planeScale(const AcGeMatrix3d& m) { return std::sqrt(std::abs(m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0))); }

AcGeMatrix3d translation(const AcGeVector3d& v) { return AcGeMatrix3d::translation(v); }

void drawLeader(RenderContext& rc, const AcDbLeader& leader, const Placement& at, QRgb color) {
    const auto& vertices = leader.vertices();
    if (vertices.size() < 2) return;
    std::vector<QPointF> points;
    points.reserve(vertices.size());
    for (const auto& v : vertices) points.push_back(rc.map(at, v));
    if (leader.isSplined() && vertices.size() > 2) {
        std::vector<QPointF> curve;
        for (const auto& p : smoothThrough(vertices)) curve.push_back(rc.map(at, p));
        rc.sink().polyline(curve, false, {color, 0.0});
    } else {
        rc.sink().polyline(points, false, {color, 0.0});
    }
    if (!leader.hasArrowHead()) return;
    const double size = std::abs(leader.dimscale() * leader.dimtxt()) * planeScale(at.xform);
    const QPointF tip = points[0], toward = points[1] - tip;
    const double length = std::hypot(toward.x(), toward.y());
    // As the drawing program does, a first segment too short for its arrow goes without.
    if (size <= 0 || length < 2 * size) return;
    const QPointF u = toward / length, n(-u.y(), u.x());
    const QPointF back = tip + u * size;
    const std::vector<QPointF> arrow{tip, back + n * (size / 6), back - n * (size / 6)};
    rc.sink().fill(std::span(&arrow, 1), color);
}

}  // namespace

int arcSegments(double sweep) {
    // 128 segments to a full circle: under half a pixel of error for a radius of 1,500 pixels.
    return std::clamp(static_cast<int>(std::ceil(std::abs(sweep) / (2 * std::numbers::pi) * 128.0)), 2, 128);
}

ReadAccess::ReadAccess(AcDbObjectId id) {
    AcDbObject* obj = nullptr;
    const Acad::ErrorStatus es = acdbOpenAcDbObject(obj, id, AcDb::kForRead);
    if (es == Acad::eOk) {
        m_obj = obj;
        m_opened = true;
    } else if (es == Acad::eWasOpenForWrite && id.slot()) {
        m_obj = id.slot()->object;  // held by a command that edits it: drawn as it stands
    }
}

ReadAccess::~ReadAccess() {
    if (m_opened) m_obj->close();
}

RenderContext::RenderContext(AcDbDatabase* db, GraphicsSink& sink, QRgb foreground)
    : m_db(db), m_sink(sink), m_foreground(foreground) {
    if (!db) return;
    ReadAccess table(db->layerTableId());
    if (const auto* layers = AcDbLayerTable::cast(table.get())) layers->getAt(L"0", m_layerZero);
}

QRgb RenderContext::aci(int index) const {
    index = std::abs(index);
    return index == 7 ? m_foreground : aciColor(index);
}

const RenderContext::LayerInfo& RenderContext::layerInfo(AcDbObjectId layer) {
    if (const auto it = m_layers.find(layer); it != m_layers.end()) return it->second;
    LayerInfo info;
    info.color = AcCmColor::fromIndex(7);
    ReadAccess access(layer);
    if (const auto* record = AcDbLayerTableRecord::cast(access.get())) {
        info.shown = !record->isOff() && !record->isFrozen() && record->color().colorIndex() >= 0;
        info.color = record->color();
    }
    return m_layers.emplace(layer, info).first->second;
}

AcDbObjectId RenderContext::effectiveLayer(const AcDbEntity& e, const Placement& at) const {
    const AcDbObjectId own = e.layerId();
    return (!at.layer0.isNull() && (own == m_layerZero || own.isNull())) ? at.layer0 : own;
}

bool RenderContext::layerShown(AcDbObjectId layer) { return layer.isNull() || layerInfo(layer).shown; }

QRgb RenderContext::resolve(const AcCmColor& color, AcDbObjectId layer, const Placement& at) {
    if (color.hasTrueColor()) return 0xFF000000u | color.rgb();
    if (color.isByBlock()) return at.byBlock;
    if (color.isByLayer()) {
        if (layer.isNull()) return m_foreground;
        const AcCmColor lc = layerInfo(layer).color;
        return lc.hasTrueColor() ? (0xFF000000u | lc.rgb()) : aci(lc.colorIndex());
    }
    return aci(color.colorIndex());
}

void RenderContext::appendArc(std::vector<QPointF>& out, const Placement& at, const AcGePoint3d& center,
                              const AcGeVector3d& normal, double radius, double a, double b) const {
    const auto frame = AcGePlaneFrame::fromNormal(normal);
    const double sweep = b - a;
    const int n = arcSegments(sweep);
    for (int i = 0; i <= n; ++i) {
        const double t = a + sweep * i / n;
        out.push_back(map(at, center + frame.direction(t) * radius));
    }
}

void RenderContext::drawBlock(AcDbObjectId blockId, const Placement& at) {
    if (at.depth > kMaxDepth) return;
    ReadAccess access(blockId);
    const auto* block = AcDbBlockTableRecord::cast(access.get());
    if (!block) return;
    for (const AcDbObjectId id : block->entityIds()) {
        if (id.isErased()) continue;
        ReadAccess entity(id);
        if (const auto* e = AcDbEntity::cast(entity.get())) drawEntity(*e, at);
    }
}

void RenderContext::drawEntity(const AcDbEntity& e, const Placement& at) {
    if (e.visibility() == AcDb::kInvisible || !layerShown(effectiveLayer(e, at))) return;
    const QRgb color = colorOf(e, at);
    const Stroke thin{color, 0.0};
    if (const auto* line = AcDbLine::cast(&e)) {
        const QPointF p[2] = {map(at, line->startPoint()), map(at, line->endPoint())};
        m_sink.segments(p, thin);
    } else if (const auto* arc = AcDbArc::cast(&e)) {
        double end = arc->endAngle();
        while (end <= arc->startAngle()) end += 2 * std::numbers::pi;
        std::vector<QPointF> points;
        appendArc(points, at, arc->center(), arc->normal(), arc->radius(), arc->startAngle(), end);
        m_sink.polyline(points, false, thin);
    } else if (const auto* circle = AcDbCircle::cast(&e)) {
        std::vector<QPointF> points;
        appendArc(points, at, circle->center(), circle->normal(), circle->radius(), 0, 2 * std::numbers::pi);
        points.pop_back();
        m_sink.polyline(points, true, thin);
    } else if (const auto* pline = AcDbPolyline::cast(&e)) {
        std::vector<BulgeVertex> vertices;
        vertices.reserve(pline->numVerts());
        for (const auto& v : pline->vertices()) {
            const double sw = pline->hasConstantWidth() ? pline->constantWidth() : v.startWidth;
            const double ew = pline->hasConstantWidth() ? pline->constantWidth() : v.endWidth;
            vertices.push_back({{v.point.x, v.point.y, pline->elevation()}, v.bulge, sw, ew});
        }
        drawBulgePolyline(*this, vertices, pline->isClosed(), pline->normal(), at, color);
    } else if (const auto* point = AcDbPoint::cast(&e)) {
        m_sink.point(map(at, point->position()), color);
    } else if (const auto* attdef = AcDbAttributeDefinition::cast(&e)) {
        // In a reference only constant attributes show (with their text); on its own
        // the definition shows its tag.
        // A multiline one shows every line of its MText.
        if (at.depth == 0 && !attdef->isConstant()) {
            drawText(*attdef, at, color, attdef->tagConst());
        } else if (attdef->isConstant() && !attdef->isInvisible()) {
            if (const AcDbMText* lines = attdef->mtextAttributeDefinitionConst()) drawMText(*lines, at, color);
            else drawText(*attdef, at, color);
        }
    } else if (const auto* attribute = AcDbAttribute::cast(&e)) {
        if (attribute->isInvisible()) return;
        if (const AcDbMText* lines = attribute->mtextAttributeConst()) drawMText(*lines, at, color);
        else drawText(*attribute, at, color);
    } else if (const auto* text = AcDbText::cast(&e)) {
        drawText(*text, at, color);
    } else if (const auto* mtext = AcDbMText::cast(&e)) {
        drawMText(*mtext, at, color);
    } else if (const auto* ref = AcDbBlockReference::cast(&e)) {
        Placement inner;
        inner.byBlock = color;
        inner.layer0 = effectiveLayer(e, at);
        inner.depth = at.depth + 1;
        const hostdb::ForeignData* extra = ref->foreignData();
        const int columns = std::max(1, static_cast<int>(integerItem(extra, 70, 1)));
        const int rows = std::max(1, static_cast<int>(integerItem(extra, 71, 1)));
        const double dx = integerItem(extra, 44, 0), dy = integerItem(extra, 45, 0);
        const auto frame = AcGePlaneFrame::fromNormal(ref->normal());
        const AcGeVector3d across = frame.direction(ref->rotation()), up = frame.direction(ref->rotation() + std::numbers::pi / 2);
        const AcGeMatrix3d base = ref->blockTransform();
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                inner.xform = at.xform * translation(across * (c * dx) + up * (r * dy)) * base;
                drawBlock(ref->blockTableRecord(), inner);
            }
        Placement own = at;
        own.byBlock = color;
        for (const AcDbObjectId id : ref->attributeIds()) {
            if (id.isErased()) continue;
            ReadAccess access(id);
            if (const auto* a = AcDbEntity::cast(access.get())) drawEntity(*a, own);
        }
    } else if (const auto* dim = AcDbDimension::cast(&e)) {
        Placement inner;
        inner.xform = at.xform * translation(dim->dimBlockPosition().asVector());
        inner.byBlock = color;
        inner.layer0 = effectiveLayer(e, at);
        inner.depth = at.depth + 1;
        drawBlock(dim->dimBlockId(), inner);
    } else if (const auto* leader = AcDbLeader::cast(&e)) {
        drawLeader(*this, *leader, at, color);
    } else if (const auto* foreign = AcDbForeignEntity::cast(&e)) {
        drawForeign(*foreign, at, color);
    }
}

}  // namespace render

EntityRenderer::EntityRenderer(AcDbDatabase* db, GraphicsSink& sink, QRgb foreground)
    : m_context(std::make_unique<render::RenderContext>(db, sink, foreground)) {}

EntityRenderer::~EntityRenderer() = default;

void EntityRenderer::drawBlockContents(AcDbObjectId blockRecordId) {
    m_context->drawBlock(blockRecordId, render::Placement{AcGeMatrix3d(), m_context->foreground(), {}, 0});
}

void EntityRenderer::drawEntity(const AcDbEntity& entity) {
    m_context->drawEntity(entity, render::Placement{AcGeMatrix3d(), m_context->foreground(), {}, 0});
}

void EntityRenderer::drawEntity(const AcDbEntity& entity, const AcGeMatrix3d& toView) {
    m_context->drawEntity(entity, render::Placement{toView, m_context->foreground(), {}, 0});
}

const std::vector<std::wstring>& EntityRenderer::displayedTexts() const { return m_context->texts(); }

}  // namespace hostui
