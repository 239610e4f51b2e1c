#include "blocks/blockworker.h"

#include "blocks/placementjigs.h"
#include "blocks/unitsfactor.h"
#include "frame/errorreport.h"

#include <cwchar>
#include <iterator>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr const ACHAR* kBlockActions = L"BlockWorker::blockActions";
constexpr const ACHAR* kCopyFields = L"BlockWorker::CopyFields";

void copyTextProperties(const AcDbAttributeDefinition& def, AcDbAttribute& att, const AcGeVector3d& offset) {
    att.setPropertiesFrom(&def, true);
    att.setInvisible(def.isInvisible());
    att.setHorizontalMode(def.horizontalMode());
    att.setVerticalMode(def.verticalMode());
    att.setHeight(def.height());
    att.setRotation(def.rotation());
    att.setPosition(def.position() + offset);
    att.setAlignmentPoint(def.alignmentPoint() + offset);
    att.setTextStyle(def.textStyle());
    att.setTag(def.tagConst());
    att.setFieldLength(def.fieldLength());
    // A multiline definition makes a multiline attribute with every line of its default.
    if (def.isMTextAttributeDefinition()) {
        const std::unique_ptr<AcDbMText> lines(def.getMTextAttributeDefinition());
        lines->setLocation(lines->location() + offset);
        att.setMTextAttribute(lines.get());
    }
}

// MText contents that show text as typed: its backslashes and braces are not codes.
std::wstring asMTextContents(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\\' || c == L'{' || c == L'}') out += L'\\';
        out += c;
    }
    return out;
}

// A typed value replaces the whole text, every line of a multiline attribute too.
void setTypedValue(AcDbAttribute& attribute, const ACHAR* value) {
    attribute.setTextString(value);
    if (!attribute.isMTextAttribute()) return;
    const std::unique_ptr<AcDbMText> lines(attribute.getMTextAttribute());
    lines->setContents(asMTextContents(value).c_str());
    attribute.setMTextAttribute(lines.get());
}

// The default as a one-line prompt shows it: a multiline default's first line.
std::wstring firstLine(const std::wstring& text) { return text.substr(0, text.find(L"\\P")); }


}  // namespace

Acad::ErrorStatus BlockWorker::blockActions(double scale, double rotation, const std::wstring& blockName) {
    AcDbBlockTable* table = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(table, targetDb->blockTableId(), AcDb::kForRead);
    if (es != Acad::eOk) return es;
    if (!table->has(blockName.c_str())) {
        table->close();
        const std::wstring message = L"Can't find BlockReference: " + blockName;
        acedAlert(message.c_str());
        return Acad::eBlockNotFound;
    }
    AcDbObjectId recordId;
    AcDbBlockTableRecord* record = nullptr;
    if ((es = table->getAt(blockName.c_str(), recordId)) != Acad::eOk ||
        (es = acdbOpenObject(record, recordId, AcDb::kForRead)) != Acad::eOk) {
        table->close();
        return es;
    }
    auto reference = std::make_unique<AcDbBlockReference>();
    reference->setBlockTableRecord(recordId);
    if (!layerName.empty()) reference->setLayer(layerName.c_str(), true, false);
    if (record->hasAttributeDefinitions()) appendAttributes(*record, *reference);

    double factor = 1.0;
    if (record->blockInsertUnits() <= AcDb::kUnitsMax)
        factor = insertUnitsFactor(targetDb->insunits(), record->blockInsertUnits());
    reference->transformBy(AcGeMatrix3d::scaling(scale * factor, AcGePoint3d::kOrigin));
    reference->transformBy(AcGeMatrix3d::rotation(rotation, AcGeVector3d::kZAxis, AcGePoint3d::kOrigin));

    const auto [placement, referenceId] = placeBlockReference(reference.release(), rotate);
    es = referenceId.isNull() ? placement : Acad::eOk;
    if (!referenceId.isNull() && explode) es = explodePlaced(referenceId);
    record->close();
    table->close();
    return es;
}

void BlockWorker::appendAttributes(const AcDbBlockTableRecord& record, AcDbBlockReference& reference) {
    AcDbBlockTableRecordIterator* raw = nullptr;
    if (record.newIterator(raw, true, true) != Acad::eOk || !raw) return;
    const std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    const AcGeVector3d offset = reference.position().asVector();
    for (it->start(); !it->done(); it->step()) {
        AcDbEntity* entity = nullptr;
        if (it->getEntity(entity, AcDb::kForRead) != Acad::eOk) continue;
        // A constant definition draws its text in every reference itself: it is neither
        // asked for nor given an attribute.
        const auto* def = AcDbAttributeDefinition::cast(entity);
        if (def && !def->isConstant()) {
            auto* attribute = new AcDbAttribute();
            copyTextProperties(*def, *attribute, offset);
            setAttributeText(*def, *attribute);
            // The reference owns its attributes from here on.
            if (reference.appendAttribute(attribute) != Acad::eOk) delete attribute;
            else attribute->close();
        }
        entity->close();
    }
}

void BlockWorker::setAttributeText(const AcDbAttributeDefinition& def, AcDbAttribute& attribute) {
    const std::wstring defaultText = def.textStringConst();
    if (def.hasFields()) {
        if (CopyFields(&def, &attribute) != Acad::eOk) attribute.setTextString(defaultText.c_str());
        return;
    }
    if (!prompt || promptCancelled) {
        attribute.setTextString(defaultText.c_str());
        return;
    }
    wchar_t question[1024];
    swprintf(question, std::size(question), L"%ls <%ls>: ", def.promptConst(), firstLine(defaultText).c_str());
    ACHAR answer[2049] = {};
    const int rc = acedGetFullString(1, question, answer, std::size(answer));
    if (rc != RTNORM) promptCancelled = true;
    if (rc == RTNORM && *answer) setTypedValue(attribute, answer);
    else attribute.setTextString(defaultText.c_str());
}

Acad::ErrorStatus BlockWorker::explodePlaced(AcDbObjectId referenceId) {
    AcDbBlockReference* placed = nullptr;
    if (acdbOpenObject(placed, referenceId, AcDb::kForRead) != Acad::eOk) return Acad::eOk;
    Acad::ErrorStatus es = placed->explodeToOwnerSpace();
    if (es != Acad::eOk) MARVOLT_REPORT(es, L"Failed explode block", kBlockActions);
    if ((es = placed->upgradeOpen()) != Acad::eOk) MARVOLT_REPORT(es, L"Failed upgradeOpen", kBlockActions);
    if ((es = placed->erase()) != Acad::eOk) MARVOLT_REPORT(es, L"Failed erase", kBlockActions);
    placed->close();
    return es;
}

Acad::ErrorStatus BlockWorker::CopyFields(const AcDbAttributeDefinition* definition, AcDbAttribute* attribute) {
    AcDbObjectId dictId;
    AcDbDictionary* fields = nullptr;
    if (definition->getFieldDictionary(dictId) != Acad::eOk ||
        acdbOpenObject(fields, dictId, AcDb::kForRead) != Acad::eOk)
        return Acad::eOk;
    Acad::ErrorStatus kept = Acad::eOk;
    const std::unique_ptr<AcDbDictionaryIterator> it(fields->newIterator());
    for (; it && !it->done(); it->next()) {
        AcDbField* source = nullptr;
        Acad::ErrorStatus es = acdbOpenObject(source, it->objectId(), AcDb::kForRead);
        if (es != Acad::eOk) {
            MARVOLT_REPORT(kept = es, L"Failed to open Field", kCopyFields);
            continue;
        }
        kept = copyField(*source, it->name(), *attribute);
        source->close();
    }
    fields->close();
    return kept;
}

Acad::ErrorStatus BlockWorker::copyField(const AcDbField& source, const ACHAR* key, AcDbAttribute& attribute) {
    const std::wstring code = source.getFieldCode(AcFd::kAddMarkers);
    std::unique_ptr<AcDbField> created(new (std::nothrow) AcDbField(code.c_str(), source.isTextField()));
    if (!created) {
        MARVOLT_REPORT(Acad::eNullPtr, L"Failed to create Field", kCopyFields);
        return Acad::eNullPtr;
    }
    Acad::ErrorStatus es = created->postInDatabase(targetDb);
    if (es != Acad::eOk) {
        MARVOLT_REPORT(es, L"Failed to add Field to Database", kCopyFields);
        return es;
    }
    AcDbField* field = created.release();  // the target drawing owns it now
    AcDbObjectId fieldId;
    if ((es = attribute.setField(key, field, fieldId)) != Acad::eOk) {
        MARVOLT_REPORT(es, L"Failed to set Field", kCopyFields);
        // Nothing would ever reach an unattached field: take it out again.
        field->erase();
        field->close();
        return es;
    }
    if (const auto evaluated = field->evaluate(0, targetDb); evaluated != Acad::eOk)
        MARVOLT_REPORT(evaluated, L"Failed to evaluate Field", kCopyFields);
    if ((es = field->close()) != Acad::eOk) MARVOLT_REPORT(es, L"Failed to close Field", kCopyFields);
    return es;
}
