#include "app/commandlinewidget.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace hostapp {

namespace {
// A session of hours keeps its recent past, not every line since the start.
constexpr int kTranscriptBlocks = 5000;
}

CommandInputLine::CommandInputLine(QWidget* parent) : QLineEdit(parent) {}

void CommandInputLine::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const QString line = text();
            if (!line.isEmpty() && (m_history.isEmpty() || m_history.back() != line)) m_history.append(line);
            m_at = m_history.size();
            m_typed.clear();
            clear();
            emit submitted(line);
            return;
        }
        case Qt::Key_Escape:
            clear();
            m_at = m_history.size();
            emit cancelled();
            return;
        case Qt::Key_Up: walkHistory(-1); return;
        case Qt::Key_Down: walkHistory(+1); return;
        default: QLineEdit::keyPressEvent(event);
    }
}

void CommandInputLine::walkHistory(int step) {
    const qsizetype to = m_at + step;
    if (to < 0 || to > m_history.size()) return;
    if (m_at == m_history.size()) m_typed = text();
    m_at = to;
    setText(m_at == m_history.size() ? m_typed : m_history[m_at]);
}

CommandLineWidget::CommandLineWidget(QWidget* parent)
    : QWidget(parent), m_transcript(new QPlainTextEdit(this)), m_input(new CommandInputLine(this)) {
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_transcript->setReadOnly(true);
    m_transcript->setFont(fixed);
    m_transcript->setMaximumBlockCount(kTranscriptBlocks);
    m_transcript->setFocusPolicy(Qt::NoFocus);
    m_transcript->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_input->setFont(fixed);
    m_input->setObjectName(QStringLiteral("commandInput"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_transcript, 1);
    layout->addWidget(m_input);
}

void CommandLineWidget::append(const QString& text) {
    // The transcript's pieces are a prompt, then its answer on the same line: they are
    // inserted as they come, not as paragraphs.
    QTextCursor end(m_transcript->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    m_transcript->verticalScrollBar()->setValue(m_transcript->verticalScrollBar()->maximum());
}

QString CommandLineWidget::transcript() const { return m_transcript->toPlainText(); }

}  // namespace hostapp
