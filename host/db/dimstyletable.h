#pragma once

#include "symboltable.h"

// A dimension style. The host models the two variables that leaders and dimensions
// need for their text size; the others are kept as persisted data.
class AcDbDimStyleTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbDimStyleTableRecord)
    AcDbDimStyleTableRecord() = default;
    AcRxObject* clone() const override { return new AcDbDimStyleTableRecord(*this); }

    double dimscale() const { return m_dimscale; }
    void setDimscale(double v) { m_dimscale = v; }
    double dimtxt() const { return m_dimtxt; }
    void setDimtxt(double v) { m_dimtxt = v; }

private:
    double m_dimscale = 1.0;
    double m_dimtxt = 2.5;
};

class AcDbDimStyleTable : public AcDbSymbolTable {
public:
    ACRX_DECLARE_MEMBERS(AcDbDimStyleTable)
    AcDbDimStyleTable() = default;
};
