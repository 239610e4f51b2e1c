#include "app/uiscript.h"

#include "app/scriptverbs.h"
#include "ed/commandline.h"
#include "ed/editor.h"
#include "ui/framework/boxbuttons.h"
#include "ui/framework/dialog.h"

#include <QAbstractButton>

#include <algorithm>
#include <utility>

namespace hostapp {

namespace {

void print(const std::wstring& text) { hosted::CommandLine::instance().print(text); }

}  // namespace

UiScript::UiScript(hosted::InputSource& lines) : m_lines(lines) { hostui::setModalDriver(this); }

UiScript::~UiScript() { hostui::setModalDriver(nullptr); }

std::optional<hosted::InputLine> UiScript::next(hosted::Request request) {
    // The prompt waiting for this line. When "@ui" lines print facts or set off output,
    // the prompt is shown again below them, so that the answer stands beside it.
    const std::wstring& transcript = hosted::CommandLine::instance().transcript();
    const std::size_t printedBefore = transcript.size();
    const std::size_t lineStart = transcript.rfind(L'\n');
    const std::wstring prompt = transcript.substr(lineStart == std::wstring::npos ? 0 : lineStart + 1);
    while (true) {
        if (hosted::Editor::instance().failed()) return std::nullopt;
        std::optional<hosted::InputLine> line;
        if (m_typed.empty()) {
            line = m_lines.next(request);
        } else {
            line = std::move(m_typed.front());
            m_typed.pop_front();
        }
        if (!line || !isUiLine(line->text)) {
            if (line && transcript.size() != printedBefore && !prompt.empty()) print(L"\n" + prompt);
            return line;
        }
        act(*line);
    }
}

bool UiScript::typeAhead(const std::vector<hosted::InputLine>& lines) {
    if (!m_modals.empty()) {
        m_typingRefused = true;
        return false;
    }
    for (hosted::InputLine line : lines) {
        line.number = m_actingLine;
        m_typed.push_back(std::move(line));
    }
    return true;
}

void UiScript::act(const hosted::InputLine& line) {
    std::vector<UiWord> words;
    std::wstring why;
    const int outerLine = std::exchange(m_actingLine, line.number);
    m_typingRefused = false;
    const std::wstring text(hosted::trimmed(line.text));
    bool done = splitUiWords(text.substr(3), words);
    if (!done) why = L"a quote is not closed";
    else done = actOnUiLine(words, this, why);
    if (std::exchange(m_typingRefused, false)) {
        done = false;
        why = L"the main window's menus cannot be used while a modal window is open";
    }
    m_actingLine = outerLine;
    if (!done) hosted::Editor::instance().reject(line, L"a @ui line the host can act on: " + why);
}

ModalReach UiScript::reach() const {
    if (m_modals.empty()) return {};
    const Modal& top = m_modals.back();
    return {true, top.dialog && !top.waiting ? top.dialog->widget() : nullptr};
}

bool UiScript::answer(const UiWord& answer, std::wstring& why) {
    const std::wstring& word = answer.text;
    const bool quoted = answer.quoted;
    if (m_modals.empty()) {
        why = L"no message box, file dialog or dialog is open";
        return false;
    }
    const Modal top = m_modals.back();
    if (top.waiting && top.waiting->menu) {
        if (quoted || word != L"Cancel") {
            why = L"a menu takes @ui menu \"ENTRY\" or @ui answer Cancel";
            return false;
        }
        top.waiting->answered = true;
        return true;
    }
    if (top.waiting && top.waiting->fileDialog) {
        if (!quoted && word != L"Cancel") {
            why = L"a file dialog takes a path in quotes or Cancel";
            return false;
        }
        top.waiting->answer = quoted ? std::optional(word) : std::nullopt;
        top.waiting->answered = true;
        print(L"\n-> " + word);
        return true;
    }
    const auto button = hostui::boxButtonNamed(word);
    if (quoted || !button) {
        why = L"the buttons are OK, Cancel, Yes and No";
        return false;
    }
    if (top.waiting) {
        const auto shown = hostui::messageBoxButtons(top.waiting->type);
        if (std::none_of(shown.begin(), shown.end(), [&](const hostui::BoxButton& b) { return b.id == button->id; })) {
            why = L"the message box has no " + word + L" button";
            return false;
        }
        top.waiting->answer = word;
        top.waiting->answered = true;
        print(L"\n-> " + word);
        return true;
    }
    // A dialog's button by its id, pressed as a person would; else the dialog ends so.
    if (CWnd* control = top.dialog->GetDlgItem(button->id)) {
        if (auto* b = qobject_cast<QAbstractButton*>(control->widget())) {
            b->click();
            settleWindows();
            return true;
        }
    }
    top.dialog->EndDialog(button->id);
    return true;
}

bool UiScript::popupMenuOpen() const { return !m_modals.empty() && m_modals.back().waiting && m_modals.back().waiting->menu; }

bool UiScript::choosePopupEntry(const std::vector<UiWord>& words, std::wstring& why) {
    Waiting& menu = *m_modals.back().waiting;
    if (words.size() != 2) {
        why = L"menu takes one entry";
        return false;
    }
    const auto it = std::find(menu.menu->begin(), menu.menu->end(), words[1].text);
    if (words[1].text.empty() || it == menu.menu->end()) {
        why = L"the open menu has no entry " + words[1].text;
        return false;
    }
    menu.chosen = static_cast<int>(it - menu.menu->begin());
    menu.answered = true;
    return true;
}

template <class Done>
void UiScript::pump(Done done, const wchar_t* waitingFor) {
    hosted::Editor& editor = hosted::Editor::instance();
    while (!done() && !editor.failed()) {
        std::optional<hosted::InputLine> line = m_lines.next();
        if (!line) {
            hosted::InputLine end{L"", 0};
            editor.reject(end, std::wstring(L"an answer: the script ended while ") + waitingFor + L" was open");
            return;
        }
        if (!isUiLine(line->text)) {
            editor.reject(*line, std::wstring(L"a @ui line for the open ") + waitingFor);
            return;
        }
        act(*line);
    }
}

void UiScript::runDialog(CAdUiBaseDialog& dialog) {
    // A dialog that closes itself on its timer takes no lines of the script.
    if (hostui::runWhileTimed(dialog)) return;
    m_modals.push_back({&dialog, nullptr});
    pump([&] { return dialog.hasEnded() || !dialog.widget(); }, L"dialog");
    m_modals.pop_back();
    if (!dialog.hasEnded()) dialog.EndDialog(IDCANCEL);
}

int UiScript::messageBox(const std::wstring& caption, const std::wstring& text, UINT type) {
    print(L"\n[" + caption + L"] " + text);
    Waiting waiting;
    waiting.type = type;
    m_modals.push_back({nullptr, &waiting});
    pump([&] { return waiting.answered; }, L"message box");
    m_modals.pop_back();
    // A box left without an answer (the script ended) takes its last button: Cancel, else No, else OK.
    if (!waiting.answered) return hostui::messageBoxButtons(type).back().id;
    const auto button = hostui::boxButtonNamed(*waiting.answer);
    return button ? button->id : IDCANCEL;
}

std::optional<std::wstring> UiScript::chooseFile(const hostui::FileRequest& request) {
    print(L"\n[" + request.title + L"] file dialog");
    Waiting waiting;
    waiting.fileDialog = true;
    m_modals.push_back({nullptr, &waiting});
    pump([&] { return waiting.answered; }, L"file dialog");
    m_modals.pop_back();
    return waiting.answered ? waiting.answer : std::nullopt;
}

int UiScript::popupMenu(const std::vector<std::wstring>& entries, int, int) {
    Waiting waiting;
    waiting.menu = &entries;
    m_modals.push_back({nullptr, &waiting});
    pump([&] { return waiting.answered; }, L"menu");
    m_modals.pop_back();
    return waiting.chosen;
}

}  // namespace hostapp
