#include "ed/pointinput.h"

#include "ed/editor.h"

namespace hosted {

int askPoint(const ACHAR* prompt, const wchar_t* expected, AcGePoint3d& point) {
    Editor& editor = Editor::instance();
    const auto line = editor.ask(prompt ? prompt : L"");
    if (!line || Editor::isCancel(*line)) return RTCAN;
    if (line->text.empty()) return RTNONE;
    const auto answered = parsePoint(line->text);
    if (!answered) {
        editor.reject(*line, expected);
        return RTCAN;
    }
    point = *answered;
    return RTNORM;
}

}  // namespace hosted
