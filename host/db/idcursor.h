#pragma once

#include "objectid.h"

#include <vector>

namespace hostdb {

// A position in a snapshot of ids that can pass over erased objects: the common walk
// of the table, block and dictionary iterators.
class IdCursor {
public:
    IdCursor(std::vector<AcDbObjectId> ids, bool skipErased) : m_ids(std::move(ids)), m_skipErased(skipErased) {}

    void start(bool atBeginning, bool skipErased) {
        m_skipErased = skipErased;
        m_pos = atBeginning ? 0 : m_ids.size();
        skip();
    }
    bool done() const { return m_pos >= m_ids.size(); }
    // Backwards from the first id ends the walk (done() is then true).
    void step(bool forward, bool skipErased) {
        m_skipErased = skipErased;
        if (!forward) {
            m_pos = m_pos == 0 ? m_ids.size() : m_pos - 1;
            return;
        }
        ++m_pos;
        skip();
    }
    AcDbObjectId current() const { return done() ? AcDbObjectId() : m_ids[m_pos]; }

private:
    void skip() {
        while (m_skipErased && m_pos < m_ids.size() && m_ids[m_pos].isErased()) ++m_pos;
    }
    std::vector<AcDbObjectId> m_ids;
    std::size_t m_pos = 0;
    bool m_skipErased;
};

}  // namespace hostdb
