#include "app/scriptverbs.h"

#include "app/documentfiles.h"
#include "app/uiverbs.h"
#include "ed/editor.h"
#include "ui/framework/frame.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cwctype>

namespace hostapp {

namespace {

bool open(VerbCall& v) {
    if (v.words.size() != 2 || v.words[1].text.empty()) return false;
    return openDrawing(v.words[1].text, v.why) == ExitStatus::done;
}

bool save(VerbCall& v) {
    if (v.words.size() > 2) return false;
    return saveDrawing(v.words.size() == 2 ? v.words[1].text : std::wstring(), v.why) == ExitStatus::done;
}

using enum VerbTarget;
using enum VerbReach;

// clang-format off
constexpr ScriptVerb kVerbs[] = {
    // name       file line  needs          modal window  action
    {L"open",     true,      none,          mainOnly,     &open},
    {L"save",     true,      none,          mainOnly,     &save},
    {L"click",    false,     control,       inside,       &uiverbs::click},
    {L"dclick",   false,     control,       inside,       &uiverbs::dclick},
    {L"rclick",   false,     control,       inside,       &uiverbs::rclick},
    {L"select",   false,     control,       inside,       &uiverbs::click},
    {L"type",     false,     control,       inside,       &uiverbs::type},
    {L"key",      false,     control,       inside,       &uiverbs::key},
    {L"focus",    false,     control,       inside,       &uiverbs::focus},
    {L"tick",     false,     control,       inside,       &uiverbs::tick},
    {L"untick",   false,     control,       inside,       &uiverbs::untick},
    {L"choose",   false,     control,       inside,       &uiverbs::choose},
    {L"header",   false,     control,       inside,       &uiverbs::header},
    {L"tab",      false,     control,       inside,       &uiverbs::tab},
    {L"browse",   false,     control,       inside,       &uiverbs::browse},
    {L"drag",     false,     control,       inside,       &uiverbs::drag},
    {L"close",    false,     control,       inside,       &uiverbs::close},
    {L"resize",   false,     control,       inside,       &uiverbs::resize},
    // The script's own popup menus and boxes take these while they are open.
    {L"menu",     false,     none,          answers,      &uiverbs::menu},
    {L"answer",   false,     none,          answers,      &uiverbs::answer},
    {L"dock",     false,     none,          mainOnly,     &uiverbs::dock},
    {L"show",     false,     control,       looks,        &uiverbs::show},
    {L"tip",      false,     control,       looks,        &uiverbs::tip},
    {L"shot",     false,     controlOrMain, looks,        &uiverbs::shot},
};
// clang-format on

const ScriptVerb* findVerb(std::wstring_view name, bool fileLine) {
    const auto it = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                 [&](const ScriptVerb& v) { return v.name == name && v.fileLine == fileLine; });
    return it == std::end(kVerbs) ? nullptr : it;
}

bool reachable(const QWidget* widget, const ModalReach& reach) {
    if (!reach.open) return true;
    return reach.window && widget && (widget == reach.window || reach.window->isAncestorOf(widget));
}

// Finds what the verb works on; false with why when it is missing or out of reach.
bool findTarget(const ScriptVerb& verb, VerbCall& call, const ModalReach& reach) {
    if (verb.reach == mainOnly && reach.open) {
        call.why = L"the main window cannot be used while a modal window is open";
        return false;
    }
    if (verb.target == none) return true;
    if (verb.target == controlOrMain && call.words.size() == 2) {
        call.control = {hostui::mainFrameWidget(), L"main"};
        return true;
    }
    if (call.words.size() < 2 || !findControl(call.words[1].text, call.control, call.why)) {
        if (call.why.empty()) call.why = L"the @ui " + call.words[0].text + L" line names no control";
        return false;
    }
    if (verb.reach == inside && !reachable(call.control.widget, reach)) {
        call.why = call.control.name + L" is behind the open modal window";
        return false;
    }
    return true;
}

}  // namespace

std::span<const ScriptVerb> scriptVerbs() { return kVerbs; }

bool splitUiWords(const std::wstring& line, std::vector<UiWord>& words) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (iswspace(static_cast<wint_t>(line[i]))) {
            ++i;
            continue;
        }
        UiWord word;
        if (line[i] == L'"') {
            word.quoted = true;
            ++i;
            for (; i < line.size() && line[i] != L'"'; ++i) {
                if (line[i] == L'\\' && i + 1 < line.size() && line[i + 1] == L'"') ++i;
                word.text += line[i];
            }
            if (i >= line.size()) return false;
            ++i;
        } else {
            while (i < line.size() && !iswspace(static_cast<wint_t>(line[i]))) word.text += line[i++];
        }
        words.push_back(std::move(word));
    }
    return true;
}

bool isUiLine(std::wstring_view line) {
    const std::wstring_view text = hosted::trimmed(line);
    return text == L"@ui" || text.starts_with(L"@ui ") || text.starts_with(L"@ui\t");
}

bool actOnUiLine(const std::vector<UiWord>& words, ScriptModals* modals, std::wstring& why) {
    if (words.empty()) {
        why = L"an empty @ui line";
        return false;
    }
    const ScriptVerb* verb = findVerb(words[0].text, false);
    if (!verb) {
        why = L"no @ui action is named " + words[0].text;
        return false;
    }
    VerbCall call;
    call.words = words;
    call.modals = modals;
    const bool done = findTarget(*verb, call, modals ? modals->reach() : ModalReach{}) && verb->action(call);
    why = call.why;
    if (call.settle) settleWindows();
    return done;
}

ExitStatus runFileLine(const std::wstring& line, std::wstring& message) {
    // A path is the rest of the line, blanks and quotes included.
    const std::wstring_view text = hosted::trimmed(line);
    const auto gap = text.find_first_of(L" \t");
    const std::wstring name(text.substr(1, gap == std::wstring_view::npos ? std::wstring_view::npos : gap - 1));
    std::vector<UiWord> words{{name}};
    if (gap != std::wstring_view::npos) words.push_back({std::wstring(hosted::trimmed(text.substr(gap)))});
    const ScriptVerb* verb = text.starts_with(L"@") ? findVerb(name, true) : nullptr;
    VerbCall call;
    call.words = std::move(words);
    if (verb && verb->action(call)) return ExitStatus::done;
    if (verb && !call.why.empty()) {
        message = call.why;
        return ExitStatus::fileFailed;
    }
    message = L"\"" + std::wstring(text) + L"\" is not a file action (@open PATH or @save [PATH])";
    return ExitStatus::notACommand;
}

void settleWindows() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace hostapp
