#pragma once

#include "cmcolor.h"
#include "symboltable.h"

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord)
    AcDbLayerTableRecord() = default;
    AcRxObject* clone() const override { return new AcDbLayerTableRecord(*this); }

    // Entities on a locked layer cannot be opened for write.
    bool isLocked() const { return (flags() & 4) != 0; }
    void setIsLocked(bool locked) { setFlags(locked ? flags() | 4 : flags() & ~4); }
    bool isFrozen() const { return (flags() & 1) != 0; }
    void setIsFrozen(bool frozen) { setFlags(frozen ? flags() | 1 : flags() & ~1); }
    bool isOff() const { return m_off; }
    void setIsOff(bool off) { m_off = off; }
    bool isPlottable() const { return m_plottable; }
    void setIsPlottable(bool plot) { m_plottable = plot; }

    AcCmColor color() const { return m_color; }
    void setColor(const AcCmColor& color) { m_color = color; }
    AcDbObjectId linetypeObjectId() const { return m_linetypeId; }
    void setLinetypeObjectId(AcDbObjectId id) { m_linetypeId = id; }
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    void setLineWeight(AcDb::LineWeight w) { m_lineWeight = w; }

    void remapIds(const AcDbIdMapping& map) override;
    void collectReferences(AcDbObjectIdArray& hard) const override;

private:
    AcCmColor m_color = AcCmColor::fromIndex(7);
    AcDbObjectId m_linetypeId;
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLwDefault;
    bool m_off = false;
    bool m_plottable = true;
};

class AcDbLayerTable : public AcDbSymbolTable {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayerTable)
    AcDbLayerTable() = default;
};
