#pragma once

#include "ed/inputsource.h"

#include <QObject>

#include <deque>
#include <functional>
#include <optional>

class QEventLoop;
class AcGePoint3d;

namespace hostapp {

class MainWindow;

// A person at the main window answering the editor. next() runs a nested event loop
// until the person gives a line: one typed into the command line (Enter submits, an
// empty line too; Esc gives "^C"), or, as the request allows, a mouse answer in the
// drawing view — a click gives "x,y" with the view's pick box (3 pixels at its current
// zoom); a rectangle dragged at a selection gives "W x1,y1 x2,y2" left to right and
// "C x1,y1 x2,y2" right to left; during a drag every cursor move gives a sample. Typed
// lines wait in order until asked for; mouse answers count only while a prompt that
// takes them waits. next() answers nullopt once the window has closed.
//
// Calls of next() may nest (a window handler that prompts while the command line
// waits): the innermost call takes the next line.
class GuiInput : public hosted::InputSource {
public:
    explicit GuiInput(MainWindow& window);
    ~GuiInput() override;
    GuiInput(const GuiInput&) = delete;
    GuiInput& operator=(const GuiInput&) = delete;

    using InputSource::next;
    std::optional<hosted::InputLine> next(hosted::Request request) override;
    std::wstring name() const override { return L"input"; }
    bool interactive() const override { return true; }
    // A menu item's macro: its lines wait behind what the person typed before.
    bool typeAhead(const std::vector<hosted::InputLine>& lines) override;

    // What the innermost next() waits for; nullopt when nothing waits.
    std::optional<hosted::Request> waitingFor() const { return m_request; }
    // Called each time next() begins to wait, before the event loop runs: tests play
    // the person from here.
    void setWaitObserver(std::function<void(hosted::Request)> observer) { m_observer = std::move(observer); }

private:
    void give(hosted::InputLine line);
    void giveClick(const AcGePoint3d& point);
    void giveRectangle(const AcGePoint3d& from, const AcGePoint3d& to);
    void giveSample(const AcGePoint3d& point);
    bool hasAnswer() const;
    void wake();

    MainWindow& m_window;
    QObject m_context;  // the connections' lifetime
    std::deque<hosted::InputLine> m_lines;
    std::optional<hosted::InputLine> m_sample;  // only the latest cursor position counts
    std::optional<hosted::Request> m_request;
    QEventLoop* m_loop = nullptr;
    bool m_closed = false;
    std::function<void(hosted::Request)> m_observer;
};

}  // namespace hostapp
