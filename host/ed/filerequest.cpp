#include "ed/filerequest.h"

#include "ed/editor.h"

#include <cwchar>

namespace {

hosted::FileChooser g_chooser = nullptr;

// Without windows the name is typed, as at a host whose file dialogs are turned off; an
// empty answer takes the default name.
std::optional<std::wstring> askOnCommandLine(const hosted::FileChoice& choice) {
    hosted::Editor& editor = hosted::Editor::instance();
    std::wstring prompt = L"\n" + choice.title;
    if (!choice.defaultName.empty()) prompt += L" <" + choice.defaultName + L">";
    const auto line = editor.ask(prompt + L": ");
    if (!line || hosted::Editor::isCancel(*line)) return std::nullopt;
    const std::wstring text(hosted::trimmed(line->text));
    if (text.empty()) return choice.defaultName.empty() ? std::nullopt : std::optional(choice.defaultName);
    return text;
}

ACHAR* copyText(const std::wstring& text) {
    auto* out = new ACHAR[text.size() + 1];
    std::wmemcpy(out, text.c_str(), text.size() + 1);
    return out;
}

}  // namespace

int acedGetFileD(const ACHAR* title, const ACHAR* defaultName, const ACHAR* ext, int flags, resbuf* result) {
    if (!result) return RTERROR;
    hosted::FileChoice choice;
    choice.title = title ? title : L"";
    choice.defaultName = defaultName ? defaultName : L"";
    choice.extension = ext ? ext : L"";
    choice.existing = (flags & 1) == 0;
    const std::optional<std::wstring> path = g_chooser ? g_chooser(choice) : askOnCommandLine(choice);
    if (!path) return RTCAN;
    result->restype = RTSTR;
    result->resval.rstring = copyText(*path);
    return RTNORM;
}

namespace hosted {
void setFileChooser(FileChooser chooser) { g_chooser = chooser; }
}  // namespace hosted
