// libFuzzer target: the script line reader. The bytes are a script as a file holds it;
// each line is read as the host reads it (UTF-8, comments, line ends), an "@ui" line is
// split into its words, and every word goes through what reads a control's name, an
// item's row, a number and a point. Whatever the bytes, each answers a value or a
// refusal, and a number or a point read is finite.

#include "app/scriptverbs.h"
#include "app/uicontrols.h"
#include "ed/editor.h"
#include "ed/inputsource.h"
#include "rx/numbertext.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

void readWord(const hostapp::UiWord& word) {
    const hostapp::Rows rows = {{QStringLiteral("GEOM"), QStringLiteral("")}, {QStringLiteral("#1")}};
    if (const auto row = hostapp::itemIndex(word, rows); row && (*row < 0 || *row >= static_cast<int>(rows.size())))
        __builtin_trap();
    (void)hostapp::wholeNumber(word.text);
    double value = 0;
    (void)hostrx::parseNumber(word.text, value);
    if (const auto real = hosted::parseReal(word.text); real && !std::isfinite(*real)) __builtin_trap();
    if (const auto p = hosted::parsePoint(word.text);
        p && !(std::isfinite(p->x) && std::isfinite(p->y) && std::isfinite(p->z)))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    hosted::ScriptInput script(in, L"fuzz.scr");
    while (const auto line = script.next()) {
        const std::wstring text(hosted::trimmed(line->text));
        if (!hostapp::isUiLine(text)) {
            readWord({text, false});
            continue;
        }
        std::vector<hostapp::UiWord> words;
        if (!hostapp::splitUiWords(text.substr(3), words)) continue;
        for (const auto& word : words) {
            if (!word.quoted && word.text.find_first_of(L" \t\r\n\v\f") != std::wstring::npos) __builtin_trap();
            readWord(word);
        }
    }
    return 0;
}
