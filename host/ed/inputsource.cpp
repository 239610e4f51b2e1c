#include "ed/inputsource.h"

#include "rx/utf8.h"

namespace hosted {

std::optional<InputLine> ScriptInput::next(Request) {
    std::string line;
    while (std::getline(m_in, line)) {
        ++m_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with(";")) continue;
        return InputLine{hostrx::utf8ToWide(hostrx::repairUtf8(line)), m_number};
    }
    return std::nullopt;
}

}  // namespace hosted
