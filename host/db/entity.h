#pragma once

#include "cmcolor.h"
#include "object.h"

#include "../ge/extents.h"
#include "../ge/matrix3d.h"

#include <functional>

class AcDbEntity;
using AcDbVoidPtrArray = AcArray<void*>;

// Base of everything that is drawn: common properties (layer, colour, linetype,
// lineweight) and the geometric protocol (transformBy, extents, explode).
class AcDbEntity : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbEntity)

    AcDbObjectId blockId() const { return ownerId(); }

    AcCmColor color() const { return m_color; }
    Adesk::UInt16 colorIndex() const { return static_cast<Adesk::UInt16>(m_color.colorIndex()); }
    Acad::ErrorStatus setColor(const AcCmColor& color, bool doSubents = true);
    Acad::ErrorStatus setColorIndex(Adesk::UInt16 index, bool doSubents = true);

    // The layer's name, copied for the caller to free with acutDelString.
    ACHAR* layer() const;
    std::wstring layerName() const;
    AcDbObjectId layerId() const { return m_layerId; }
    // By name: the layer must exist in the entity's database (or the working database
    // for an entity outside any database).
    Acad::ErrorStatus setLayer(const ACHAR* name, bool doSubents = true, bool allowHiddenLayer = false);
    Acad::ErrorStatus setLayer(AcDbObjectId layerId, bool doSubents = true, bool allowHiddenLayer = false);

    ACHAR* linetype() const;
    AcDbObjectId linetypeId() const { return m_linetypeId; }
    Acad::ErrorStatus setLinetype(const ACHAR* name, bool doSubents = true);
    Acad::ErrorStatus setLinetype(AcDbObjectId id, bool doSubents = true);
    double linetypeScale() const { return m_linetypeScale; }
    Acad::ErrorStatus setLinetypeScale(double scale, bool doSubents = true);
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight w, bool doSubents = true);
    AcDb::Visibility visibility() const { return m_visibility; }
    Acad::ErrorStatus setVisibility(AcDb::Visibility v, bool doSubents = true);

    // Copies layer, colour, linetype, linetype scale, lineweight and visibility.
    Acad::ErrorStatus setPropertiesFrom(const AcDbEntity* other, bool doSubents = true);
    // Gives an entity without layer or linetype of this database the database's
    // current ones; properties already set in that database stay.
    void setDatabaseDefaults(AcDbDatabase* db = nullptr);
    // What a kind takes from the database besides: a leader its dimension style.
    virtual void subSetDatabaseDefaults(AcDbDatabase* db) { (void)db; }
    // Called once the entity has joined a database (a reference brings in its attributes).
    virtual void onAppended() {}

    virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);
    virtual Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& copy) const;
    virtual Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const;
    // Breaks the entity into simpler new entities (owned by the caller); the entity
    // itself is unchanged.
    virtual Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const;
    // Asks the graphics system to show the entity's current state at once.
    Adesk::Boolean draw();

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

    // Hook of the graphics layer; draw() calls it when set.
    static std::function<void(AcDbEntity*)>& drawHook();

    // Direct assignment of the stored property ids, for the file reader.
    void setPropertyIds(AcDbObjectId layer, AcDbObjectId linetype) {
        m_layerId = layer;
        m_linetypeId = linetype;
    }

protected:
    AcDbEntity() = default;
    AcDbEntity(const AcDbEntity&) = default;
    // Applies a property change to sub-entities (the attributes of a block reference).
    virtual void forEachSubentity(const std::function<void(AcDbEntity&)>& change);

private:
    AcDbObjectId m_layerId;
    AcDbObjectId m_linetypeId;
    AcCmColor m_color;
    double m_linetypeScale = 1.0;
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLayer;
    AcDb::Visibility m_visibility = AcDb::kVisible;
};

// Frees a string that the host handed out (names, layer names).
void acutDelString(ACHAR*& text);
// A heap copy of a wide string, for the host functions that hand out strings.
ACHAR* hostdbDuplicateString(const std::wstring& text);
