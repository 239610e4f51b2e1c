#include "ed/userio.h"

#include "ed/adscodes.h"
#include "ed/commandline.h"
#include "ed/editor.h"

#include <cwchar>

namespace {
void (*g_displayUpdater)() = nullptr;
void (*g_alertHandler)(const ACHAR*) = nullptr;
}

int acedGetFullString(int cronly, const ACHAR* prompt, ACHAR* result, std::size_t bufLen) {
    hosted::Editor& editor = hosted::Editor::instance();
    if (!result || bufLen == 0) return RTERROR;
    const auto line = editor.ask(prompt ? prompt : L"");
    if (!line || hosted::Editor::isCancel(*line)) return RTCAN;
    std::wstring text = line->text;
    if (!cronly) text = text.substr(0, text.find_first_of(L" \t"));
    if (text.size() >= bufLen) {
        editor.reject(*line, L"a text of at most " + std::to_wstring(bufLen - 1) + L" characters");
        return RTCAN;
    }
    std::wmemcpy(result, text.c_str(), text.size() + 1);
    return RTNORM;
}

int acedAlert(const ACHAR* message) {
    if (g_alertHandler) {
        g_alertHandler(message ? message : L"");
        return RTNORM;
    }
    hosted::CommandLine::instance().print(std::wstring(L"\n** ") + (message ? message : L"") + L" **");
    return RTNORM;
}

void acedUpdateDisplay() {
    if (g_displayUpdater) g_displayUpdater();
}

namespace hosted {
void setDisplayUpdater(void (*update)()) { g_displayUpdater = update; }
void setAlertHandler(void (*alert)(const ACHAR*)) { g_alertHandler = alert; }
}  // namespace hosted
