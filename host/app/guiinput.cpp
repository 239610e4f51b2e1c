#include "app/guiinput.h"

#include "app/commandlinewidget.h"
#include "app/mainwindow.h"
#include "ed/pointinput.h"
#include "ui/render/drawingview.h"

#include <QEventLoop>

#include <utility>

namespace hostapp {

namespace {
constexpr double kPickBoxPixels = 3.0;
}

GuiInput::GuiInput(MainWindow& window) : m_window(window) {
    CommandInputLine* typed = window.commandLine()->input();
    QObject::connect(typed, &CommandInputLine::submitted, &m_context,
                     [this](const QString& text) { give({text.toStdWString()}); });
    QObject::connect(typed, &CommandInputLine::cancelled, &m_context, [this] { give({L"^C"}); });
    hostui::DrawingView* view = window.view();
    QObject::connect(view, &hostui::DrawingView::pointClicked, &m_context,
                     [this](const AcGePoint3d& p) { giveClick(p); });
    QObject::connect(view, &hostui::DrawingView::rectangleDragged, &m_context,
                     [this](const AcGePoint3d& from, const AcGePoint3d& to) { giveRectangle(from, to); });
    QObject::connect(view, &hostui::DrawingView::cursorMoved, &m_context,
                     [this](const AcGePoint3d& p) { giveSample(p); });
    QObject::connect(&window, &MainWindow::closed, &m_context, [this] {
        m_closed = true;
        wake();
    });
}

GuiInput::~GuiInput() = default;

bool GuiInput::hasAnswer() const { return m_closed || !m_lines.empty() || m_sample; }

void GuiInput::wake() {
    if (m_loop) m_loop->quit();
}

void GuiInput::give(hosted::InputLine line) {
    m_sample.reset();
    m_lines.push_back(std::move(line));
    wake();
}

bool GuiInput::typeAhead(const std::vector<hosted::InputLine>& lines) {
    for (const hosted::InputLine& line : lines) give(line);
    return true;
}

void GuiInput::giveClick(const AcGePoint3d& point) {
    using hosted::Request;
    if (m_request != Request::point && m_request != Request::pick && m_request != Request::selection &&
        m_request != Request::drag)
        return;
    give({hosted::pointText(point), 0, kPickBoxPixels * m_window.view()->unitsPerPixel()});
}

void GuiInput::giveRectangle(const AcGePoint3d& from, const AcGePoint3d& to) {
    if (m_request != hosted::Request::selection) {
        // A hand that moved a little while clicking still means the point let go at.
        giveClick(to);
        return;
    }
    const wchar_t* kind = from.x <= to.x ? L"W " : L"C ";
    give({kind + hosted::pointText(from) + L" " + hosted::pointText(to)});
}

void GuiInput::giveSample(const AcGePoint3d& point) {
    if (m_request != hosted::Request::drag || !m_lines.empty()) return;
    m_sample = hosted::InputLine{hosted::pointText(point), 0, 0.0, true};
    wake();
}

std::optional<hosted::InputLine> GuiInput::next(hosted::Request request) {
    if (request != hosted::Request::drag) m_sample.reset();
    if (!hasAnswer()) {
        QEventLoop loop;
        QEventLoop* outer = std::exchange(m_loop, &loop);
        const std::optional<hosted::Request> outerRequest = std::exchange(m_request, request);
        m_window.setIdle(request == hosted::Request::command);
        if (m_observer) m_observer(request);
        while (!hasAnswer()) loop.exec();
        m_window.setIdle(outerRequest == hosted::Request::command);
        m_request = outerRequest;
        m_loop = outer;
    }
    if (m_closed) return std::nullopt;
    std::optional<hosted::InputLine> line;
    if (!m_lines.empty()) {
        line = std::move(m_lines.front());
        m_lines.pop_front();
    } else {
        line = std::exchange(m_sample, std::nullopt);
    }
    // An outer wait resumes only when its loop is told to end.
    if (m_loop && hasAnswer()) m_loop->quit();
    return line;
}

}  // namespace hostapp
