#include "field.h"

#include "database.h"
#include "entity.h"

ACRX_DEFINE_MEMBERS(AcDbField, AcDbObject, "FIELD")

namespace {
std::wstring stripMarkers(std::wstring code) {
    if (code.starts_with(L"%<") && code.ends_with(L">%") && code.size() >= 4) code = code.substr(2, code.size() - 4);
    return code;
}
}  // namespace

AcDbField::AcDbField(const ACHAR* fieldCode, bool textField) : m_textField(textField) { setFieldCode(fieldCode); }

Acad::ErrorStatus AcDbField::setFieldCode(const ACHAR* fieldCode) {
    if (const auto es = assertWriteEnabled(); es != Acad::eOk) return es;
    if (!fieldCode) return Acad::eInvalidInput;
    m_code = stripMarkers(fieldCode);
    m_evaluated = false;
    return Acad::eOk;
}

std::wstring AcDbField::getFieldCode(int flags) const {
    return (flags & AcFd::kAddMarkers) ? L"%<" + m_code + L">%" : m_code;
}

std::wstring AcDbField::customPropertyName() const {
    static const std::wstring prefix = L"\\AcVar CustomDP.";
    if (!m_code.starts_with(prefix)) return {};
    std::wstring name = m_code.substr(prefix.size());
    // The name runs to the end of the code, blanks and all ("Project No"); a format
    // option (" \f "%tc1"") may follow it.
    const auto option = name.find(L" \\f ");
    if (option != std::wstring::npos) name.resize(option);
    return name;
}

Acad::ErrorStatus AcDbField::postInDatabase(AcDbDatabase* db) {
    if (!db) return Acad::eNoDatabase;
    if (!objectId().isNull()) return Acad::eAlreadyInDb;
    AcDbObjectId id;
    return db->addAcDbObject(id, this);
}

Acad::ErrorStatus AcDbField::evaluate(int, AcDbDatabase* db) {
    if (!db) db = database() ? database() : acdbHostApplicationServices()->workingDatabase();
    const std::wstring key = customPropertyName();
    if (key.empty() || !db) {
        // Codes the host cannot evaluate keep the value they had.
        return key.empty() ? Acad::eOk : Acad::eNoDatabase;
    }
    m_value = L"####";
    for (const auto& [k, v] : db->customProperties())
        if (k == key) {
            m_value = v;
            break;
        }
    m_evaluated = true;
    return Acad::eOk;
}

ACHAR* AcDbField::getValue() const { return hostdbDuplicateString(m_value); }

int hostdb::evaluateFields(AcDbDatabase& db) {
    int changed = 0;
    for (ObjectSlot* slot : db.fieldSlots()) {
        if (!AcDbField::cast(slot->object) || slot->object->isErased()) continue;
        AcDbField* field = nullptr;
        if (acdbOpenObject(field, AcDbObjectId(slot), AcDb::kForRead) != Acad::eOk) continue;
        // Opened for write only when the value moves: a write open is a change to the
        // undo record and to the views.
        AcDbField trial;
        trial.setFieldCode(field->getFieldCode().c_str());
        trial.setCachedValue(field->value());
        trial.setEvaluatedFlag(field->isEvaluated());
        trial.evaluate(0, &db);
        if ((trial.value() != field->value() || trial.isEvaluated() != field->isEvaluated()) &&
            field->upgradeOpen() == Acad::eOk) {
            field->evaluate(0, &db);
            ++changed;
        }
        field->close();
    }
    return changed;
}

std::optional<std::wstring> evaluatedFieldText(const AcDbObject& obj, const ACHAR* property) {
    const AcDbObjectId fieldId = obj.getField(property);
    AcDbField* field = nullptr;
    if (fieldId.isNull() || acdbOpenObject(field, fieldId, AcDb::kForRead) != Acad::eOk) return std::nullopt;
    std::optional<std::wstring> value;
    if (field->isEvaluated()) value = field->value();
    field->close();
    return value;
}
