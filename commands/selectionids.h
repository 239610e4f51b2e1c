#pragma once

#include "frame/hostapi.h"

// Owns a selection set and a filter list so that both are released on every path.
class SelectionResources {
public:
    explicit SelectionResources(resbuf* filter) : m_filter(filter) {}
    ~SelectionResources();
    SelectionResources(const SelectionResources&) = delete;
    SelectionResources& operator=(const SelectionResources&) = delete;

    const resbuf* filter() const { return m_filter; }
    // Asks the user for a selection through the filter; true when a set was made.
    bool select();
    const ads_name& set() const { return m_set; }

private:
    resbuf* m_filter;
    ads_name m_set = {0, 0};
    bool m_hasSet = false;
};

// The object ids of a selection set in selection order, null entity names skipped.
AcDbObjectIdArray selectedIds(const ads_name set);
