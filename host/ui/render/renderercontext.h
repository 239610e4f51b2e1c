#pragma once

// Shared by the files of the entity renderer (curves and references, texts, the kinds
// kept as persisted data); not for use outside the renderer.

#include "ui/render/graphicssink.h"

#include "db/cmcolor.h"
#include "db/entity.h"
#include "db/objectid.h"
#include "ge/matrix3d.h"

#include <unordered_map>
#include <string>
#include <vector>

class AcDbDatabase;
class AcDbEntity;
class AcDbText;
class AcDbMText;
class AcDbForeignEntity;

namespace hostui::render {

// What an entity inherits from the block references it is drawn through.
struct Placement {
    AcGeMatrix3d xform;          // block coordinates to world
    QRgb byBlock = 0xFFFFFFFF;   // the colour ByBlock resolves to
    AcDbObjectId layer0;         // the layer that entities on layer "0" take (null at top level)
    int depth = 0;
};

class RenderContext {
public:
    RenderContext(AcDbDatabase* db, GraphicsSink& sink, QRgb foreground);

    GraphicsSink& sink() { return m_sink; }
    AcDbDatabase* database() const { return m_db; }
    QRgb foreground() const { return m_foreground; }
    std::vector<std::wstring>& texts() { return m_texts; }
    const std::vector<std::wstring>& texts() const { return m_texts; }

    // The layer an entity is drawn on under this placement, and whether it is shown.
    AcDbObjectId effectiveLayer(const AcDbEntity& e, const Placement& at) const;
    bool layerShown(AcDbObjectId layer);
    QRgb resolve(const AcCmColor& color, AcDbObjectId layer, const Placement& at);
    QRgb colorOf(const AcDbEntity& e, const Placement& at) { return resolve(e.color(), effectiveLayer(e, at), at); }
    QRgb aci(int index) const;

    QPointF map(const Placement& at, const AcGePoint3d& world) const {
        const AcGePoint3d p = at.xform * world;
        return {p.x, p.y};
    }

    // Entity kinds.
    void drawEntity(const AcDbEntity& e, const Placement& at);
    void drawBlock(AcDbObjectId blockId, const Placement& at);
    // shown replaces the text's own (an attribute definition shows its tag).
    void drawText(const AcDbText& t, const Placement& at, QRgb color, const wchar_t* shown = nullptr);
    void drawMText(const AcDbMText& t, const Placement& at, QRgb color);
    void drawForeign(const AcDbForeignEntity& e, const Placement& at, QRgb color);

    // Circular arc from a to b (radians, counter-clockwise) in the plane frame of normal.
    void appendArc(std::vector<QPointF>& out, const Placement& at, const AcGePoint3d& center, const AcGeVector3d& normal,
                   double radius, double a, double b) const;

private:
    struct LayerInfo {
        bool shown = true;
        AcCmColor color;
    };
    const LayerInfo& layerInfo(AcDbObjectId layer);

    AcDbDatabase* m_db;
    GraphicsSink& m_sink;
    QRgb m_foreground;
    AcDbObjectId m_layerZero;
    std::unordered_map<AcDbObjectId, LayerInfo> m_layers;
    std::vector<std::wstring> m_texts;
};

// Points of a circular arc segment of the given sweep, enough for a smooth look at
// any zoom the view allows.
int arcSegments(double sweep);

// A smooth curve through the points (a Catmull-Rom curve), for splines that keep only
// their fit points and for splined leaders.
std::vector<AcGePoint3d> smoothThrough(const std::vector<AcGePoint3d>& points);

// Reads an entity open for read whatever its state: one the caller holds open for
// write is read in place. Closes what it opened.
class ReadAccess {
public:
    explicit ReadAccess(AcDbObjectId id);
    ~ReadAccess();
    ReadAccess(const ReadAccess&) = delete;
    ReadAccess& operator=(const ReadAccess&) = delete;
    const AcDbObject* get() const { return m_obj; }

private:
    AcDbObject* m_obj = nullptr;
    bool m_opened = false;
};

}  // namespace hostui::render
