#pragma once

#include "frame/hostapi.h"

// A document locked for writing while this lives, as every change the palette makes to a
// drawing is; a document that cannot be locked (a command waiting for input holds it)
// is left alone, and locked() says so.
class DocumentLock {
public:
    explicit DocumentLock(AcApDocument* document)
        : m_document(document),
          m_locked(document && acDocManager->lockDocument(document, AcAp::kWrite, nullptr, nullptr, true) == Acad::eOk) {}
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
