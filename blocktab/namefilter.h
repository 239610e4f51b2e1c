#pragma once

#include <string>
#include <string_view>

// Which block names the Block Manager's filter lets through. A text holding "*" or "?"
// is a pattern over the whole name, matched as the host matches wildcards; any other
// text is looked for anywhere in the name. Both compare letters by Unicode's letter
// case as the host does (the process locale plays no part), so "door" finds "DOOR-2"
// under any locale. An empty text lets every name through.
class BlockNameFilter {
public:
    BlockNameFilter() = default;
    explicit BlockNameFilter(std::wstring text);

    bool empty() const { return m_text.empty(); }
    bool isPattern() const { return m_pattern; }
    const std::wstring& text() const { return m_text; }
    // The text in the host's upper case: what a name, upper-cased alike, must contain.
    const std::wstring& folded() const { return m_folded; }

    bool matches(std::wstring_view name) const;
    // The same test on a name already in the host's upper case.
    bool matchesFolded(std::wstring_view foldedName) const;

private:
    std::wstring m_text;
    std::wstring m_folded;
    bool m_pattern = false;
};
