#include "ed/pointinput.h"

#include "ed/editor.h"

#include <charconv>
#include <system_error>

namespace hosted {

int askPoint(const ACHAR* prompt, const wchar_t* expected, Request request, PointAnswer& answer) {
    Editor& editor = Editor::instance();
    const auto line = editor.ask(prompt ? prompt : L"", request);
    if (!line || Editor::isCancel(*line)) return RTCAN;
    if (line->text.empty()) return RTNONE;
    const auto answered = parsePoint(line->text);
    if (!answered) {
        editor.reject(*line, expected);
        return RTCAN;
    }
    answer = {*answered, line->aperture, line->sample};
    return RTNORM;
}

namespace {

void appendNumber(std::wstring& out, double value) {
    // Enough for the longest shortest-round-trip double ("-2.2250738585072014e-308").
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    if (ec != std::errc()) return;
    out.append(digits, end);
}

}  // namespace

std::wstring pointText(const AcGePoint3d& point) {
    std::wstring out;
    appendNumber(out, point.x);
    out += L',';
    appendNumber(out, point.y);
    if (point.z != 0.0) {
        out += L',';
        appendNumber(out, point.z);
    }
    return out;
}

}  // namespace hosted
