#pragma once

#include "../rx/adesk.h"

// Wildcard matching as the host does it for names and filters. Special characters:
// "#" a digit, "@" a letter, "." any character that is neither, "*" any run of
// characters, "?" any one character, "[...]" one of the characters (a "~" first
// negates, "a-z" a range), "`" takes the next character literally, "," separates
// alternatives and a "~" at the start of the pattern negates the whole match.
// Answers RTNORM on a match, RTERROR otherwise (also for a null argument).
int acutWcMatch(const ACHAR* string, const ACHAR* pattern);

namespace hosted {
// The same match without regard to letter case (entity type names in filters).
bool wildcardMatchNoCase(const wchar_t* string, const wchar_t* pattern);
}
