#pragma once

#include "ui/render/graphicssink.h"

#include "db/objectid.h"

#include <memory>
#include <string>
#include <vector>

class AcDbDatabase;
class AcDbEntity;
class AcGeMatrix3d;

namespace hostui {

namespace render {
class RenderContext;
}

// Turns entities into drawing primitives on a sink: every kind the host reads, with
// block references drawn through their definitions, ByLayer and ByBlock colours
// resolved, and entities on layers that are off or frozen left out. The sink gets
// world coordinates (the XY plane of the drawing).
class EntityRenderer {
public:
    // foreground is the colour of palette index 7 (white on dark, black on light).
    EntityRenderer(AcDbDatabase* db, GraphicsSink& sink, QRgb foreground);
    ~EntityRenderer();
    EntityRenderer(const EntityRenderer&) = delete;
    EntityRenderer& operator=(const EntityRenderer&) = delete;

    // The entities of a block record (a space or a block definition) in order.
    void drawBlockContents(AcDbObjectId blockRecordId);
    // One entity as if it stood in the drawing's space (a transient of a jig).
    void drawEntity(const AcDbEntity& entity);
    // One entity seen through a camera: toView takes world points to the camera's
    // coordinates, whose XY plane the sink gets.
    void drawEntity(const AcDbEntity& entity, const AcGeMatrix3d& toView);

    // Every text, MText, attribute and field drawn so far, as shown, in drawing order;
    // the paragraphs of an MText are joined by '\n'.
    const std::vector<std::wstring>& displayedTexts() const;

private:
    std::unique_ptr<render::RenderContext> m_context;
};

}  // namespace hostui
