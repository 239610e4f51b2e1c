#pragma once

#include "../db/database.h"
#include "resources.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace AcAp {
enum DocLockMode {
    kNone = 0x0,
    kAutoWrite = 0x1,
    kNotLocked = 0x2,
    kWrite = 0x4,
    kProtectedAutoWrite = 0x14,
    kRead = 0x20,
    kXWrite = 0x40,
};
}

// An open drawing: its database (owned) and the file it came from. Write locks nest:
// each lock is counted and the document is unlocked when the count is back at zero.
class AcApDocument {
public:
    AcApDocument(std::unique_ptr<AcDbDatabase> db, std::wstring fileName)
        : m_db(std::move(db)), m_fileName(std::move(fileName)) {}

    AcDbDatabase* database() const { return m_db.get(); }
    const ACHAR* fileName() const { return m_fileName.c_str(); }
    void setFileName(std::wstring name) { m_fileName = std::move(name); }
    AcAp::DocLockMode myLockMode() const { return m_locks.empty() ? AcAp::kNotLocked : m_locks.back(); }
    int lockCount() const { return static_cast<int>(m_locks.size()); }
    // Whether the drawing changed since it was opened or saved: the steps of its undo
    // record in effect differ from those at that time (undoing back to the saved state
    // makes it unmodified again), or the host marked it modified outright.
    bool isModified() const;
    // false: the drawing as it is now is the saved one.
    void setModified(bool modified);

private:
    friend class AcApDocManager;
    std::unique_ptr<AcDbDatabase> m_db;
    std::wstring m_fileName;
    bool m_modified = false;
    std::vector<AcAp::DocLockMode> m_locks;
};

// The open documents and which one is current; the current document's database is the
// working database.
class AcApDocManager {
public:
    AcApDocument* curDocument() const { return m_current; }
    AcApDocument* mdiActiveDocument() const { return m_current; }
    int documentCount() const { return static_cast<int>(m_documents.size()); }
    // The open documents in the order they were opened; nullptr out of range.
    AcApDocument* document(int index) const;

    Acad::ErrorStatus lockDocument(AcApDocument* doc, AcAp::DocLockMode mode = AcAp::kWrite,
                                   const ACHAR* globalCmdName = nullptr, const ACHAR* localCmdName = nullptr,
                                   bool prompt = true);
    // eNotApplicable when the document holds no lock.
    Acad::ErrorStatus unlockDocument(AcApDocument* doc);
    // Opens a drawing file as a new current document, as the user's File Open would.
    Acad::ErrorStatus appContextOpenDocument(const ACHAR* fileName);
    // Makes a module's resources current (its instance handle) until the matching pop,
    // which restores those current before; pushes nest. A pop without a push does nothing.
    void pushResourceHandle(void* module);
    void popResourceHandle();

    // The program's windows follow the open documents; told after appContextOpenDocument.
    void setDocumentsChangedListener(std::function<void()> listener) { m_documentsChanged = std::move(listener); }

    // The host's side: opening a drawing file (or a new drawing for an empty path) as
    // a new current document, beside those already open. The database's read report says why a file was refused.
    Acad::ErrorStatus openDocument(const std::wstring& fileName, AcApDocument*& doc, std::wstring& message);
    Acad::ErrorStatus setCurDocument(AcApDocument* doc);
    Acad::ErrorStatus closeDocument(AcApDocument* doc);
    void closeAll();

private:
    std::vector<std::unique_ptr<AcApDocument>> m_documents;
    AcApDocument* m_current = nullptr;
    std::function<void()> m_documentsChanged;
    std::vector<std::unique_ptr<CAcModuleResourceOverride>> m_resourceStack;
};

AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()
AcApDocument* curDoc();
