#pragma once

#include "database.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace hostdb {

// The values of the drawing's header that a user's step may change; small whatever the
// drawing's size, so a step keeps them whole.
struct HeaderState {
    AcDbObjectId clayer, textstyle, dimstyle, celtype, currentSpace;
    AcDb::UnitsValue insunits = AcDb::kUnitsUndefined;
    double textsize = 0.0, dimscale = 0.0;
    int lunits = 0, luprec = 0, aunits = 0, auprec = 0;
    AcGePoint3d insbase;
    AcDbDatabase::CustomProperties customProperties;
    std::vector<std::pair<std::string, std::wstring>> summaryFields;  // sorted by name

    static HeaderState of(const AcDbDatabase& db);
    void applyTo(AcDbDatabase& db) const;
    bool operator==(const HeaderState&) const;
};

// The undo history of one drawing, kept as CAD databases keep it: a user's step (a
// command, a change from a palette) is one transaction that holds, in order, the state
// of each object as it was before the step first opened it for write, and the objects
// the step added. Undo puts the earlier states back in reverse order and takes the added
// objects out of their slots; redo does the opposite. Both swap whole objects in and out
// of their slots, so ids and handles stay the same across any number of undos and redos,
// and a step costs what it touched, never the size of the drawing.
//
// Steps nest: a step begun inside another joins it. A step that changed nothing leaves
// nothing behind. Outside a step nothing is recorded (reading a file, evaluating fields).
// Undo and redo refuse while a step is open or an object they would exchange is open.
class UndoRecord {
public:
    explicit UndoRecord(AcDbDatabase& db);
    ~UndoRecord();
    UndoRecord(const UndoRecord&) = delete;
    UndoRecord& operator=(const UndoRecord&) = delete;

    void beginStep(const std::wstring& name);
    void endStep();
    bool inStep() const { return m_depth > 0; }

    // Called by the database: before an object's first change within the step, and
    // when a new object joins it.
    void noteWrite(ObjectSlot& slot);
    void noteAppend(ObjectSlot& slot);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // The name of the step undo (redo) would take back (bring back); empty for none.
    std::wstring undoName() const;
    std::wstring redoName() const;
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }

    // eNotApplicable when there is nothing to undo (redo), eLockViolation while a step
    // is open, eWasOpenForWrite / eWasOpenForRead when an object of the step is open;
    // name receives the step's name.
    Acad::ErrorStatus undo(std::wstring& name);
    Acad::ErrorStatus redo(std::wstring& name);

    // The drawing as it is now is the saved one; modified() answers whether the steps
    // in effect differ from those at the last save (or the opening).
    void markSaved();
    bool modified() const;

    // The objects the last step, undo or redo exchanged, added or took out; for views
    // that redraw only what changed. Taken once: the listener is called after each.
    using ChangeListener = std::function<void(const std::vector<AcDbObjectId>& touched)>;
    void setChangeListener(ChangeListener listener) { m_listener = std::move(listener); }

    // While paused nothing is recorded: the file layer making deferred block contents
    // adds what was in the drawing all along. Pauses nest.
    void pause() { ++m_paused; }
    void resume() { --m_paused; }

private:
    struct Change {
        ObjectSlot* slot = nullptr;
        // The other state of the object: before the step while the step is in effect,
        // after it once undone. Null for an added object while it is in effect.
        std::unique_ptr<AcDbObject> other;
        bool added = false;
    };
    struct Step {
        std::wstring name;
        std::uint64_t serial = 0;
        std::vector<Change> changes;
        HeaderState headerBefore, headerAfter;
        AcDbHandle seedBefore, seedAfter;
    };

    void startRecording();
    void discardRedo();
    void exchange(Change& change, bool undoing);
    Acad::ErrorStatus checkClosed(const Step& step) const;
    void tell(const Step& step);

    AcDbDatabase& m_db;
    int m_depth = 0;
    int m_paused = 0;
    std::unique_ptr<Step> m_open;
    bool m_recording = false;  // the open step has made its first change
    std::unordered_set<ObjectSlot*> m_seen;
    std::vector<std::unique_ptr<Step>> m_undo, m_redo;
    std::uint64_t m_nextSerial = 1, m_savedSerial = 0;
    ChangeListener m_listener;
};

// Keeps a step open while it lives; for host code around a change.
class UndoStep {
public:
    UndoStep(AcDbDatabase* db, const std::wstring& name) : m_db(db) {
        if (m_db) m_db->undoRecord().beginStep(name);
    }
    ~UndoStep() {
        if (m_db) m_db->undoRecord().endStep();
    }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    AcDbDatabase* m_db;
};

}  // namespace hostdb
