#include "ed/macro.h"

#include "ed/editor.h"

#include <utility>

namespace hosted {

std::vector<std::wstring> macroInputs(std::wstring_view macro) {
    std::vector<std::wstring> inputs;
    std::wstring typed;
    for (const wchar_t c : macro) {
        if (c == L' ' || c == L';') inputs.push_back(std::exchange(typed, std::wstring()));
        else typed += c;
    }
    if (!typed.empty()) inputs.push_back(std::move(typed));
    return inputs;
}

bool typeMacro(std::wstring_view macro) {
    InputSource* input = Editor::instance().input();
    if (!input) return false;
    std::vector<InputLine> lines;
    for (std::wstring& text : macroInputs(macro)) lines.push_back(InputLine{std::move(text)});
    return input->typeAhead(lines);
}

}  // namespace hosted
