#pragma once

#include <QLineEdit>
#include <QWidget>

#include <QStringList>

class QPlainTextEdit;

namespace hostapp {

// The line a person types into. Enter submits the text (an empty line too) and keeps
// it in the history; Up and Down walk the history; Esc cancels.
class CommandInputLine : public QLineEdit {
    Q_OBJECT
public:
    explicit CommandInputLine(QWidget* parent = nullptr);
    const QStringList& history() const { return m_history; }

signals:
    void submitted(const QString& text);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void walkHistory(int step);

    QStringList m_history;
    // Where Up/Down stand in the history; history().size() is the line being typed.
    qsizetype m_at = 0;
    QString m_typed;
};

// The command line at the foot of the main window: the read-only transcript of every
// prompt, answer and message, over the input line.
class CommandLineWidget : public QWidget {
    Q_OBJECT
public:
    explicit CommandLineWidget(QWidget* parent = nullptr);

    void append(const QString& text);
    QString transcript() const;
    CommandInputLine* input() const { return m_input; }
    QPlainTextEdit* transcriptView() const { return m_transcript; }

private:
    QPlainTextEdit* m_transcript;
    CommandInputLine* m_input;
};

}  // namespace hostapp
