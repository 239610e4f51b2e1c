#include "ap/docmanager.h"

#include "db/undorecord.h"
#include "ed/commandline.h"
#include "ed/editor.h"

#include <algorithm>

bool AcApDocument::isModified() const { return m_modified || (m_db && m_db->undoRecord().modified()); }

void AcApDocument::setModified(bool modified) {
    m_modified = modified;
    if (!modified && m_db) m_db->undoRecord().markSaved();
}

// A lock is the frame of a change made from a window: one step of the drawing's undo
// record, named by the command name the locker gives (inside a command it joins the
// command's step).
Acad::ErrorStatus AcApDocManager::lockDocument(AcApDocument* doc, AcAp::DocLockMode mode, const ACHAR* globalCmdName,
                                               const ACHAR*, bool) {
    if (!doc) return Acad::eNullPtr;
    // A command asking for input owns the document: work from a window must not start
    // inside its prompt.
    if (hosted::Editor::instance().isWaitingForInput()) return Acad::eLockViolation;
    doc->m_locks.push_back(mode);
    if (AcDbDatabase* db = doc->database())
        db->undoRecord().beginStep(globalCmdName && *globalCmdName ? globalCmdName : L"Drawing change");
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::unlockDocument(AcApDocument* doc) {
    if (!doc) return Acad::eNullPtr;
    if (doc->m_locks.empty()) return Acad::eNotApplicable;
    doc->m_locks.pop_back();
    if (AcDbDatabase* db = doc->database()) db->undoRecord().endStep();
    // The change from a window is complete: what shows it (the view, the tab's mark, the
    // Edit menu's step) catches up, as it does after a command.
    if (doc->m_locks.empty() && m_documentsChanged) m_documentsChanged();
    return Acad::eOk;
}

namespace {

// "Recovered PATH: N problems repaired:", then each repair on a line of its own.
void printRecoveryReport(const std::wstring& path, const std::vector<std::wstring>& repairs) {
    const std::size_t n = repairs.size();
    std::wstring text = L"\nRecovered " + path + L": " + std::to_wstring(n) + (n == 1 ? L" problem" : L" problems") +
                        L" repaired:";
    for (const auto& repair : repairs) text += L"\n  " + repair;
    hosted::CommandLine::instance().print(text);
}

}  // namespace

Acad::ErrorStatus AcApDocManager::openDocument(const std::wstring& fileName, AcApDocument*& doc,
                                               std::wstring& message) {
    doc = nullptr;
    auto db = std::make_unique<AcDbDatabase>(fileName.empty(), false);
    if (!fileName.empty()) {
        if (const auto es = db->readDwgFile(fileName.c_str(), _SH_DENYWR); es != Acad::eOk) {
            message = db->readReport().message;
            return es;
        }
        // The drawing stays in memory; the file is free for others to read and replace.
        db->closeInput(true);
    }
    m_documents.push_back(std::make_unique<AcApDocument>(std::move(db), fileName));
    doc = m_documents.back().get();
    // A drawing recovered from a damaged file is not that file: it counts as changed
    // from the start, and the user reads what was repaired.
    if (const auto& report = doc->database()->readReport(); report.recovered()) {
        doc->setModified(true);
        printRecoveryReport(fileName, report.repairs);
    }
    return setCurDocument(doc);
}

Acad::ErrorStatus AcApDocManager::appContextOpenDocument(const ACHAR* fileName) {
    if (!fileName || !*fileName) return Acad::eInvalidInput;
    AcApDocument* doc = nullptr;
    std::wstring message;
    const Acad::ErrorStatus es = openDocument(fileName, doc, message);
    if (m_documentsChanged) m_documentsChanged();
    return es;
}

AcApDocument* AcApDocManager::document(int index) const {
    if (index < 0 || index >= documentCount()) return nullptr;
    return m_documents[static_cast<std::size_t>(index)].get();
}

Acad::ErrorStatus AcApDocManager::setCurDocument(AcApDocument* doc) {
    if (doc && std::none_of(m_documents.begin(), m_documents.end(), [&](const auto& d) { return d.get() == doc; }))
        return Acad::eInvalidInput;
    m_current = doc;
    acdbHostApplicationServices()->setWorkingDatabase(doc ? doc->database() : nullptr);
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::closeDocument(AcApDocument* doc) {
    const auto it = std::find_if(m_documents.begin(), m_documents.end(), [&](const auto& d) { return d.get() == doc; });
    if (it == m_documents.end()) return Acad::eInvalidInput;
    if (m_current == doc) setCurDocument(nullptr);
    m_documents.erase(it);
    if (!m_current && !m_documents.empty()) setCurDocument(m_documents.back().get());
    return Acad::eOk;
}

void AcApDocManager::closeAll() {
    setCurDocument(nullptr);
    m_documents.clear();
}

void AcApDocManager::pushResourceHandle(void* module) {
    m_resourceStack.push_back(std::make_unique<CAcModuleResourceOverride>(module));
}

void AcApDocManager::popResourceHandle() {
    if (!m_resourceStack.empty()) m_resourceStack.pop_back();
}

AcApDocManager* acDocManagerPtr() {
    static AcApDocManager manager;
    return &manager;
}

AcApDocument* curDoc() { return acDocManagerPtr()->curDocument(); }
