#include "ed/editor.h"

#include "ed/commandline.h"
#include "rx/numbertext.h"
#include "rx/textcase.h"

#include <cmath>
#include <cwchar>

namespace hosted {

Editor& Editor::instance() {
    static Editor editor;
    return editor;
}

std::optional<InputLine> Editor::ask(std::wstring_view prompt, Request request) {
    if (failed()) return std::nullopt;
    if (!m_samplingPrompt || *m_samplingPrompt != prompt) CommandLine::instance().print(prompt);
    m_samplingPrompt.reset();
    std::optional<InputLine> line;
    {
        struct Waiting {
            int& depth;
            explicit Waiting(int& d) : depth(d) { ++depth; }
            ~Waiting() { --depth; }
        } waiting(m_waiting);
        line = m_input ? m_input->next(request) : std::nullopt;
    }
    if (!line) {
        std::wstring shown(prompt);
        while (!shown.empty() && hostrx::isSpace(shown.front())) shown.erase(0, 1);
        fail((m_input ? m_input->name() : std::wstring(L"input")) + L": the input ended while the prompt \"" +
             shown + L"\" was waiting");
        return std::nullopt;
    }
    if (line->sample && request == Request::drag) {
        m_samplingPrompt = std::wstring(prompt);
        return line;
    }
    line->sample = false;
    CommandLine::instance().print(line->text);
    return line;
}

void Editor::reject(const InputLine& line, std::wstring_view what) {
    const std::wstring source = m_input ? m_input->name() : std::wstring(L"input");
    if (m_input && m_input->interactive() && !failed())
        CommandLine::instance().print(L"\nInvalid input: expected " + std::wstring(what) + L".");
    fail(source + L":" + std::to_wstring(line.number) + L": \"" + line.text + L"\" is not " + std::wstring(what));
}

void Editor::fail(std::wstring message) {
    if (m_failure.empty()) m_failure = std::move(message);
}

std::wstring_view trimmed(std::wstring_view s) {
    while (!s.empty() && hostrx::isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && hostrx::isSpace(s.back())) s.remove_suffix(1);
    return s;
}

std::optional<double> parseReal(std::wstring_view text) {
    double v = 0.0;
    if (!hostrx::parseNumber(trimmed(text), v) || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<AcGePoint3d> parsePoint(std::wstring_view text) {
    double c[3] = {0, 0, 0};
    int n = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(L',', start);
        if (n == 3) return std::nullopt;
        const auto v = parseReal(text.substr(start, comma == std::wstring_view::npos ? text.npos : comma - start));
        if (!v) return std::nullopt;
        c[n++] = *v;
        if (comma == std::wstring_view::npos) break;
        start = comma + 1;
    }
    if (n < 2) return std::nullopt;
    return AcGePoint3d(c[0], c[1], c[2]);
}

}  // namespace hosted
