#include "undorecord.h"

#include "blocktable.h"
#include "object.h"

#include <algorithm>

namespace hostdb {

HeaderState HeaderState::of(const AcDbDatabase& db) {
    HeaderState h;
    h.clayer = db.clayer();
    h.textstyle = db.textstyle();
    h.dimstyle = db.dimstyle();
    h.celtype = db.celtype();
    h.currentSpace = db.currentSpaceId();
    h.insunits = db.insunits();
    h.textsize = db.textsize();
    h.dimscale = db.dimscale();
    h.lunits = db.lunits();
    h.luprec = db.luprec();
    h.aunits = db.aunits();
    h.auprec = db.auprec();
    h.insbase = db.insbase();
    h.customProperties = db.customProperties();
    h.summaryFields.assign(db.summaryFields().begin(), db.summaryFields().end());
    std::sort(h.summaryFields.begin(), h.summaryFields.end());
    return h;
}

void HeaderState::applyTo(AcDbDatabase& db) const {
    db.setClayer(clayer);
    db.setTextstyle(textstyle);
    db.setDimstyle(dimstyle);
    db.setCeltype(celtype);
    db.setCurrentSpaceId(currentSpace);
    db.setInsunits(insunits);
    db.setTextsize(textsize);
    db.setDimscale(dimscale);
    db.setLunits(lunits);
    db.setLuprec(luprec);
    db.setAunits(aunits);
    db.setAuprec(auprec);
    db.setInsbase(insbase);
    db.setCustomProperties(customProperties);
    for (const auto& [name, value] : summaryFields) db.summaryField(name) = value;
}

bool HeaderState::operator==(const HeaderState& o) const {
    return clayer == o.clayer && textstyle == o.textstyle && dimstyle == o.dimstyle && celtype == o.celtype &&
           currentSpace == o.currentSpace && insunits == o.insunits && textsize == o.textsize &&
           dimscale == o.dimscale && lunits == o.lunits && luprec == o.luprec && aunits == o.aunits &&
           auprec == o.auprec && insbase == o.insbase && customProperties == o.customProperties &&
           summaryFields == o.summaryFields;
}

UndoRecord::UndoRecord(AcDbDatabase& db) : m_db(db) {}

UndoRecord::~UndoRecord() = default;

void UndoRecord::beginStep(const std::wstring& name) {
    if (m_depth++ > 0) return;
    m_open = std::make_unique<Step>();
    m_open->name = name;
    m_open->headerBefore = HeaderState::of(m_db);
    m_open->seedBefore = m_db.handseed();
    m_recording = false;
    m_seen.clear();
}

void UndoRecord::endStep() {
    if (m_depth == 0 || --m_depth > 0) return;
    std::unique_ptr<Step> step = std::move(m_open);
    m_seen.clear();
    step->headerAfter = HeaderState::of(m_db);
    // An object added and erased within the step (a field posted for a placement the
    // user cancelled) was never part of the drawing: it stays erased in its slot.
    std::erase_if(step->changes, [](const Change& c) { return c.added && c.slot->object && c.slot->object->isErased(); });
    if (step->changes.empty() && step->headerAfter == step->headerBefore) {
        m_recording = false;
        return;
    }
    startRecording();
    m_recording = false;
    step->seedAfter = m_db.handseed();
    step->serial = m_nextSerial++;
    tell(*step);
    m_undo.push_back(std::move(step));
}

// The first change of a step: what was undone before can no longer come back.
void UndoRecord::startRecording() {
    if (m_recording) return;
    m_recording = true;
    discardRedo();
}

void UndoRecord::discardRedo() {
    for (auto& step : m_redo)
        for (auto& change : step->changes)
            if (change.added && change.other) m_db.forgetHandle(*change.slot);
    m_redo.clear();
}

void UndoRecord::noteWrite(ObjectSlot& slot) {
    if (m_depth == 0 || m_paused > 0 || !slot.object || m_seen.count(&slot)) return;
    // A block whose entities the file layer has not made yet makes them now, so that
    // the state kept holds them and giving it back makes nothing twice.
    if (auto* block = AcDbBlockTableRecord::cast(slot.object); block && block->contentsDeferred())
        block->entityIds();
    std::unique_ptr<AcDbObject> before = slot.object->stateCopy();
    if (!before) return;
    startRecording();
    m_seen.insert(&slot);
    m_open->changes.push_back({&slot, std::move(before), false});
}

void UndoRecord::noteAppend(ObjectSlot& slot) {
    if (m_depth == 0 || m_paused > 0) return;
    startRecording();
    m_seen.insert(&slot);  // added within the step: nothing earlier to keep
    m_open->changes.push_back({&slot, nullptr, true});
}

void UndoRecord::exchange(Change& change, bool undoing) {
    ObjectSlot& slot = *change.slot;
    m_db.noteChanged(slot);
    if (change.added) {
        if (undoing) change.other.reset(std::exchange(slot.object, nullptr));
        else {
            slot.object = change.other.release();
            slot.object->takeSlot(&slot);
        }
        return;
    }
    std::unique_ptr<AcDbObject> current(slot.object);
    slot.object = change.other.release();
    slot.object->takeSlot(&slot);
    change.other = std::move(current);
}

Acad::ErrorStatus UndoRecord::checkClosed(const Step& step) const {
    for (const auto& change : step.changes)
        if (const AcDbObject* obj = change.slot->object; obj && obj->openCount() > 0)
            return obj->openMode() == AcDb::kForWrite ? Acad::eWasOpenForWrite : Acad::eWasOpenForRead;
    return Acad::eOk;
}

Acad::ErrorStatus UndoRecord::undo(std::wstring& name) {
    name.clear();
    if (inStep()) return Acad::eLockViolation;
    if (m_undo.empty()) return Acad::eNotApplicable;
    Step& step = *m_undo.back();
    if (const auto es = checkClosed(step); es != Acad::eOk) return es;
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) exchange(*it, true);
    step.headerBefore.applyTo(m_db);
    m_db.m_handseed = step.seedBefore;
    name = step.name;
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    tell(*m_redo.back());
    return Acad::eOk;
}

Acad::ErrorStatus UndoRecord::redo(std::wstring& name) {
    name.clear();
    if (inStep()) return Acad::eLockViolation;
    if (m_redo.empty()) return Acad::eNotApplicable;
    Step& step = *m_redo.back();
    if (const auto es = checkClosed(step); es != Acad::eOk) return es;
    for (auto& change : step.changes) exchange(change, false);
    step.headerAfter.applyTo(m_db);
    m_db.m_handseed = step.seedAfter;
    name = step.name;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    tell(*m_undo.back());
    return Acad::eOk;
}

std::wstring UndoRecord::undoName() const { return m_undo.empty() ? std::wstring() : m_undo.back()->name; }
std::wstring UndoRecord::redoName() const { return m_redo.empty() ? std::wstring() : m_redo.back()->name; }

void UndoRecord::markSaved() { m_savedSerial = m_undo.empty() ? 0 : m_undo.back()->serial; }

bool UndoRecord::modified() const { return (m_undo.empty() ? 0 : m_undo.back()->serial) != m_savedSerial; }

void UndoRecord::tell(const Step& step) {
    if (!m_listener) return;
    std::vector<AcDbObjectId> touched;
    touched.reserve(step.changes.size());
    for (const auto& change : step.changes) touched.emplace_back(change.slot);
    m_listener(touched);
}

}  // namespace hostdb
