#pragma once

#include "frame/hostapi.h"

// A document locked for writing while this lives, as every change the palette makes to a
// drawing is; a document that cannot be locked (a command waiting for input holds it)
// is left alone, and locked() says so. The name is what the change is called where the
// user takes it back ("Undo Block Manager insertion"), as a command is by its own.
class DocumentLock {
public:
    DocumentLock(AcApDocument* document, const ACHAR* changeName)
        : m_document(document),
          m_locked(document &&
                   acDocManager->lockDocument(document, AcAp::kWrite, changeName, changeName, true) == Acad::eOk) {}
    ~DocumentLock() {
        if (m_locked) acDocManager->unlockDocument(m_document);
    }
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;
    bool locked() const { return m_locked; }

private:
    AcApDocument* m_document;
    bool m_locked;
};
