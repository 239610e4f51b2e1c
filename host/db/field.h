#pragma once

#include <optional>

#include "object.h"

#include <string>

namespace AcFd {
enum FieldCodeFlag { kFieldCode = 0x1, kEvaluatedText = 0x2, kEvaluatedChildren = 0x4, kObjectReference = 0x8,
                     kAddMarkers = 0x10, kEscapeBackslash = 0x20, kStripOptions = 0x40, kPreserveFields = 0x80,
                     kTextField = 0x100 };
}

// A field: a code that names a value of the drawing, and the value it last evaluated
// to. The host evaluates custom-property fields ("\AcVar CustomDP.Name"); a field
// whose property is missing shows "####".
// The evaluated value of the field attached to obj under property, when it has one.
std::optional<std::wstring> evaluatedFieldText(const AcDbObject& obj, const ACHAR* property = L"TEXT");

namespace hostdb {
// Evaluates every field of the drawing again, so that fields follow custom properties
// however they changed; a field open elsewhere keeps its value. Answers how many fields
// now show another value.
int evaluateFields(AcDbDatabase& db);
}  // namespace hostdb

class AcDbField : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbField)
    AcDbField() = default;
    explicit AcDbField(const ACHAR* fieldCode, bool textField = false);
    AcRxObject* clone() const override { return new AcDbField(*this); }

    Acad::ErrorStatus setFieldCode(const ACHAR* fieldCode);
    // The code with or without the enclosing "%<" ">%" markers (kAddMarkers).
    std::wstring getFieldCode(int flags = AcFd::kFieldCode) const;
    bool isTextField() const { return m_textField; }
    void setTextField(bool v) { m_textField = v; }
    // Adds the field to the database without an owner (setField gives it one).
    Acad::ErrorStatus postInDatabase(AcDbDatabase* db);
    Acad::ErrorStatus evaluate(int context = 0, AcDbDatabase* db = nullptr);
    // The evaluated value, copied for acutDelString.
    ACHAR* getValue() const;
    const std::wstring& value() const { return m_value; }
    void setCachedValue(const std::wstring& v) { m_value = v; }
    bool isEvaluated() const { return m_evaluated; }
    void setEvaluatedFlag(bool v) { m_evaluated = v; }
    // The property name of a custom-property field ("Title", "Project No"), empty for
    // other codes: all that follows "CustomDP." up to a format option (" \f ").
    std::wstring customPropertyName() const;

private:
    std::wstring m_code;  // without markers
    std::wstring m_value;
    bool m_textField = false;
    bool m_evaluated = false;
};
