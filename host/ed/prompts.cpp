#include "ed/prompts.h"

#include "ed/editor.h"
#include "ed/pointinput.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <limits>

namespace {

using hosted::Editor;
using hosted::InputLine;

// Takes one answer; calls take(line) for a non-empty, non-cancel line, which answers
// whether the line was usable.
template <class Take>
int request(const ACHAR* prompt, bool allowEmpty, const wchar_t* expected, Take&& take) {
    Editor& editor = Editor::instance();
    const auto line = editor.ask(prompt ? prompt : L"");
    if (!line || Editor::isCancel(*line)) return RTCAN;
    if (line->text.empty() && allowEmpty) return RTNONE;
    if (!take(*line)) {
        editor.reject(*line, expected);
        return RTCAN;
    }
    return RTNORM;
}

}  // namespace

int acedGetPoint(const ads_point, const ACHAR* prompt, ads_point result) {
    hosted::PointAnswer answer;
    const int rc = hosted::askPoint(prompt, L"a point (x,y or x,y,z)", hosted::Request::point, answer);
    if (rc == RTNORM) {
        result[0] = answer.point.x;
        result[1] = answer.point.y;
        result[2] = answer.point.z;
    }
    return rc;
}

int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result) {
    constexpr std::size_t kLongest = 132;
    const int rc = request(prompt, false, L"a text of at most 132 characters", [&](const InputLine& line) {
        std::wstring text = line.text;
        if (!cronly) text = text.substr(0, text.find_first_of(L" \t"));
        if (text.size() > kLongest) return false;
        std::wmemcpy(result, text.c_str(), text.size() + 1);
        return true;
    });
    return rc;
}

int acedGetReal(const ACHAR* prompt, ads_real* result) {
    return request(prompt, true, L"a number", [&](const InputLine& line) {
        const auto v = hosted::parseReal(line.text);
        if (!v) return false;
        *result = *v;
        return true;
    });
}

int acedGetInt(const ACHAR* prompt, int* result) {
    return request(prompt, true, L"a whole number", [&](const InputLine& line) {
        const auto v = hosted::parseReal(line.text);
        if (!v || *v != std::floor(*v) || std::fabs(*v) > std::numeric_limits<short>::max()) return false;
        *result = static_cast<int>(*v);
        return true;
    });
}

int acedGetFunCode() { return RTERROR; }
