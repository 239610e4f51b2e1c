#include "blocktab/namefilter.h"

#include "frame/hostapi.h"
#include "storage/blocknameindex.h"

BlockNameFilter::BlockNameFilter(std::wstring text)
    : m_text(std::move(text)), m_folded(foldBlockName(m_text)),
      m_pattern(m_text.find_first_of(L"*?") != std::wstring::npos) {}

bool BlockNameFilter::matches(std::wstring_view name) const {
    if (m_text.empty()) return true;
    return matchesFolded(foldBlockName(name));
}

// The wildcard matcher reads a null-terminated name; the pattern is folded alike, so
// matching the folded texts with case counting is matching without regard to case.
bool BlockNameFilter::matchesFolded(std::wstring_view foldedName) const {
    if (m_text.empty()) return true;
    if (!m_pattern) return foldedName.find(m_folded) != std::wstring_view::npos;
    return acutWcMatch(std::wstring(foldedName).c_str(), m_folded.c_str()) == RTNORM;
}
