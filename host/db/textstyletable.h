#pragma once

#include "symboltable.h"

class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTableRecord)
    AcDbTextStyleTableRecord() = default;
    AcRxObject* clone() const override { return new AcDbTextStyleTableRecord(*this); }

    double textSize() const { return m_textSize; }  // 0: the height is asked for
    void setTextSize(double size) { m_textSize = size; }
    double xScale() const { return m_xScale; }
    void setXScale(double scale) { m_xScale = scale; }
    double obliquingAngle() const { return m_oblique; }
    void setObliquingAngle(double angle) { m_oblique = angle; }
    double priorSize() const { return m_priorSize; }
    void setPriorSize(double size) { m_priorSize = size; }
    int flagBits() const { return m_generation; }  // 2 backwards, 4 upside down
    void setFlagBits(int bits) { m_generation = bits; }
    const std::wstring& fileName() const { return m_fileName; }
    void setFileName(const std::wstring& name) { m_fileName = name; }
    const std::wstring& bigFontFileName() const { return m_bigFont; }
    void setBigFontFileName(const std::wstring& name) { m_bigFont = name; }

private:
    double m_textSize = 0.0;
    double m_xScale = 1.0;
    double m_oblique = 0.0;
    double m_priorSize = 2.5;
    int m_generation = 0;
    std::wstring m_fileName = L"txt";
    std::wstring m_bigFont;
};

class AcDbTextStyleTable : public AcDbSymbolTable {
public:
    ACRX_DECLARE_MEMBERS(AcDbTextStyleTable)
    AcDbTextStyleTable() = default;
};
